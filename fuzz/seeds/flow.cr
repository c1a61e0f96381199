Public X, Y(4)
Const K = 3
Alias Y(1) = First
Units X = mV
BeginProg
  Scan(1, Sec)
    X = K * 2 + First
    If X > 1 Then Y(2) = 1 : Y(3) = 2
    Select Case X
      Case 1 To 3
        Y(4) = -X
      Case Is > 5
    EndSelect
  NextScan
EndProg
