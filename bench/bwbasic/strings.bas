REM strings: append one character per pass, cut the text back with left/mid/right when it
REM grows past 60 characters, and collect 3-character slices into a second text.
n = 1000000 : REM COUNT
s$ = "thequickbrownfoxjumpsoverthelazydog0123456789"
t$ = ""
FOR i = 1 TO n
  s$ = s$ + CHR$(97 + i MOD 26)
  IF LEN(s$) > 60 THEN
    s$ = MID$(s$, 21, 30) + RIGHT$(s$, 5) + LEFT$(s$, 10)
  END IF
  t$ = t$ + MID$(s$, i MOD 40 + 1, 3)
  IF LEN(t$) > 30 THEN
    t$ = RIGHT$(t$, 12)
  END IF
NEXT i
PRINT "strings "; s$; " "; t$
SYSTEM
