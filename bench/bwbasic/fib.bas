REM fib: naive recursive fibonacci, fib(n) makes 2 * fib(n + 1) - 1 calls; prints "fib <fib(n)>".
REM This interpreter's FUNCTION cannot recurse, so fib is a GOSUB routine that takes n and
REM gives r, keeps its partial sums on an explicit stack and hands n back unchanged.
n = 32 : REM COUNT
DIM st(100)
sp = 0
GOSUB fib
PRINT "fib "; r
SYSTEM

fib:
  IF n < 2 THEN
    r = n
    RETURN
  END IF
  n = n - 1
  GOSUB fib
  sp = sp + 1
  st(sp) = r
  n = n - 1
  GOSUB fib
  r = st(sp) + r
  sp = sp - 1
  n = n + 2
  RETURN
