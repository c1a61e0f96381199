Dim V(3)
BeginProg
  Scan(1, Sec)
    VoltSe(V(1), 3, 3, 1.0, 0)
    PanelTemp(V(2))
    Battery(V(3))
    PortSet(1, V(1) > 2)
    Delay(1, 100)
  NextScan
EndProg
