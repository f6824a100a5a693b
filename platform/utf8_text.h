// Reading UTF-8: the texts of the Linux desktop, and scripts written in it.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace tallow::platform {

// The characters of text when it is valid UTF-8 (no overlong forms, no
// surrogates, nothing past U+10FFFF); false, with characters cut short,
// when it is not.
bool DecodeUtf8(std::string_view text, std::vector<uint32_t>& characters);

}  // namespace tallow::platform
