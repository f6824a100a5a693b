-- loop: a counted FOR loop of arithmetic; prints "loop <checksum>".
local n = 30000000 -- COUNT
local s = 0
for i = 1, n do
  s = (s * 7 + i) % 1000003
end
print("loop " .. s)
