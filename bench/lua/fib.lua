-- fib: naive recursive fibonacci, fib(n) makes 2 * fib(n + 1) - 1 calls; prints "fib <fib(n)>".
local n = 32 -- COUNT
local function fib(k)
  if k < 2 then return k end
  return fib(k - 1) + fib(k - 2)
end
print("fib " .. fib(n))
