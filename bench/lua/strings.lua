-- strings: append one character per pass, cut the text back with left/mid/right when it
-- grows past 60 characters, and collect 3-character slices into a second text.
local n = 1000000 -- COUNT
local s = "thequickbrownfoxjumpsoverthelazydog0123456789"
local t = ""
for i = 1, n do
  s = s .. string.char(97 + i % 26)
  if #s > 60 then
    s = s:sub(21, 50) .. s:sub(-5) .. s:sub(1, 10)
  end
  t = t .. s:sub(i % 40 + 1, i % 40 + 3)
  if #t > 30 then
    t = t:sub(-12)
  end
end
print("strings " .. s .. " " .. t)
