REM loop: a counted FOR loop of arithmetic; prints "loop <checksum>".
n = 30000000 : REM COUNT
s = 0
FOR i = 1 TO n
  s = (s * 7 + i) MOD 1000003
NEXT i
PRINT "loop "; s
SYSTEM
