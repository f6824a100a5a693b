-- thirds: a counted loop with an IF/ELSE on i % 3 = 0 and two counting assignments;
-- prints "thirds <a> <b>".
local n = 10000000 -- COUNT
local a, b = 0, 0
for i = 1, n do
  if i % 3 == 0 then
    a = a + 2
  else
    b = b + 1
  end
end
print("thirds " .. a .. " " .. b)
