REM count: a WHILE loop whose body is one increment; prints "count <i>".
n = 30000000 : REM COUNT
i = 0
WHILE i < n
  i = i + 1
WEND
PRINT "count "; i
SYSTEM
