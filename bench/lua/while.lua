-- while: a WHILE loop with an IF/ELSE inside, driven by a small congruential generator.
local n = 10000000 -- COUNT
local i, x, a, b = 0, 7, 0, 0
while i < n do
  i = i + 1
  x = (x * 13 + 7) % 1009
  if x < 500 then
    a = a + x
  else
    b = b + 1
  end
end
print("while " .. a .. " " .. b .. " " .. x)
