Public A, B
Sub Twice
  A = A * 2
EndSub
DataTable(T, True, -1)
  DataInterval(0, 10, Min, 10)
  Sample(1, A)
  Maximum(1, B, FP2, False, False)
EndTable
BeginProg
  Scan(5, Sec)
    Twice
    For B = 1 To 3 : A = A + B : Next
    Do While A < 100 : A = A + 1 : Loop
    Print "a:b", A
    CallTable T
  NextScan
EndProg
