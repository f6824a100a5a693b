REM arrays_script: each round fills a number array and a string array of m elements from a
REM congruential generator, sums the numbers and shell-sorts both arrays in the script.
r = 300 : REM COUNT
m = 500
DIM a(m), s$(m), g(20)
REM Knuth's gaps 1, 4, 13, ... below m
g(1) = 1
ng = 1
h = 1
WHILE h * 3 + 1 < m
  h = h * 3 + 1
  ng = ng + 1
  g(ng) = h
WEND
x = 1
c = 0
z$ = ""
FOR k = 1 TO r
  FOR i = 1 TO m
    x = (x * 1101 + 12345) MOD 65536
    a(i) = x
    y = INT(x / 26)
    w = INT(y / 26)
    s$(i) = CHR$(97 + x MOD 26) + CHR$(97 + y MOD 26) + CHR$(97 + w MOD 26)
  NEXT i
  total = 0
  FOR i = 1 TO m
    total = total + a(i)
  NEXT i
  c = (c + total) MOD 1000003
  REM The inner WHILE stands for "while j > h and a(j - h) > v": j = 0 leaves it.
  FOR gi = ng TO 1 STEP -1
    h = g(gi)
    FOR i = h + 1 TO m
      v = a(i)
      j = i
      k2 = i
      WHILE j > h
        IF a(j - h) > v THEN
          a(j) = a(j - h)
          j = j - h
          k2 = j
        ELSE
          j = 0
        END IF
      WEND
      a(k2) = v
    NEXT i
  NEXT gi
  FOR gi = ng TO 1 STEP -1
    h = g(gi)
    FOR i = h + 1 TO m
      v$ = s$(i)
      j = i
      k2 = i
      WHILE j > h
        IF s$(j - h) > v$ THEN
          s$(j) = s$(j - h)
          j = j - h
          k2 = j
        ELSE
          j = 0
        END IF
      WEND
      s$(k2) = v$
    NEXT i
  NEXT gi
  FOR i = 1 TO m
    c = (c + a(i) * i) MOD 1000003
  NEXT i
  REM RIGHT$ gives "" here when the text is shorter than the count, hence the test.
  z$ = z$ + s$(m / 2)
  IF LEN(z$) > 12 THEN z$ = RIGHT$(z$, 12)
NEXT k
PRINT "arrays "; c; " "; s$(1); " "; s$(m); " "; z$
SYSTEM
