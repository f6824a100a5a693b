REM while: a WHILE loop with an IF/ELSE inside, driven by a small congruential generator.
n = 10000000 : REM COUNT
i = 0
x = 7
a = 0
b = 0
WHILE i < n
  i = i + 1
  x = (x * 13 + 7) MOD 1009
  IF x < 500 THEN
    a = a + x
  ELSE
    b = b + 1
  END IF
WEND
PRINT "while "; a; " "; b; " "; x
SYSTEM
