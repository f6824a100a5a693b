-- count: a WHILE loop whose body is one increment; prints "count <i>".
local n = 30000000 -- COUNT
local i = 0
while i < n do
  i = i + 1
end
print("count " .. i)
