REM thirds: a counted loop with an IF/ELSE on i % 3 = 0 and two counting assignments;
REM prints "thirds <a> <b>".
n = 10000000 : REM COUNT
a = 0
b = 0
FOR i = 1 TO n
  IF i MOD 3 = 0 THEN
    a = a + 2
  ELSE
    b = b + 1
  END IF
NEXT i
PRINT "thirds "; a; " "; b
SYSTEM
