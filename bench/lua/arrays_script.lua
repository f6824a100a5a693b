-- arrays_script: each round fills a number array and a string array of m elements from a
-- congruential generator, sums the numbers and shell-sorts both arrays in the script.
local r = 300 -- COUNT
local m = 500
local char = string.char
local a, s = {}, {}
local g, ng, h = {1}, 1, 1 -- Knuth's gaps 1, 4, 13, ... below m
while h * 3 + 1 < m do
  h = h * 3 + 1
  ng = ng + 1
  g[ng] = h
end
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
  for gi = ng, 1, -1 do
    h = g[gi]
    for i = h + 1, m do
      local v = a[i]
      local j = i
      while j > h and a[j - h] > v do
        a[j] = a[j - h]
        j = j - h
      end
      a[j] = v
    end
  end
  for gi = ng, 1, -1 do
    h = g[gi]
    for i = h + 1, m do
      local v = s[i]
      local j = i
      while j > h and s[j - h] > v do
        s[j] = s[j - h]
        j = j - h
      end
      s[j] = v
    end
  end
  for i = 1, m do
    c = (c + a[i] * i) % 1000003
  end
  z = (z .. s[m // 2]):sub(-12)
end
print("arrays " .. c .. " " .. s[1] .. " " .. s[m] .. " " .. z)
