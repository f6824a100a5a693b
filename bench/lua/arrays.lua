-- arrays: as arrays_script (fill, sum, sort a number array and a string array of m elements
-- per round), but both arrays are sorted with the built-in table.sort.
local r = 300 -- COUNT
local m = 500
local char = string.char
local a, s = {}, {}
local x, c, z = 1, 0, ""
for k = 1, r do
  for i = 1, m do
    x = (x * 1101 + 12345) % 65536
    a[i] = x
    local y = x // 26
    local w = y // 26
    s[i] = char(97 + x % 26) .. char(97 + y % 26) .. char(97 + w % 26)
  end
  local total = 0
  for i = 1, m do
    total = total + a[i]
  end
  c = (c + total) % 1000003
  table.sort(a)
  table.sort(s)
  for i = 1, m do
    c = (c + a[i] * i) % 1000003
  end
  z = (z .. s[m // 2]):sub(-12)
end
print("arrays " .. c .. " " .. s[1] .. " " .. s[m] .. " " .. z)
