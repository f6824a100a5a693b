// The symbolic names of dialog-script text: window, dialog and control style
// bits and the common control ids, for reading names and for writing them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tallow::codec {

struct RcName {
    std::string_view name;
    uint32_t value;
};

// The value of a style or id name, exactly as the Windows headers define it;
// nothing for an unknown name. Names are matched exactly (they are macros).
std::optional<uint32_t> LookUpRcName(std::string_view name);

// Every name the reader knows, for tests that compare them with the system
// headers.
std::span<const RcName> AllRcNames();

// Which control family a style belongs to; it decides how the low 16 bits
// are named.
enum class StyleFamily { Dialog, Window, Button, Edit, Static, ListBox, ComboBox };

// The family of a control class given by name ("BUTTON", case-insensitive)
// or by the ordinal of a predefined class (0x80 to 0x85).
StyleFamily FamilyOfClass(std::u16string_view name);
StyleFamily FamilyOfOrdinal(uint16_t ordinal);

// Style bits as text: "WS_DISABLED | BS_FLAT", the named parts first and one
// hexadecimal number for bits without a name. With negate, every part is
// preceded by NOT (bits to clear). Empty when bits is 0.
std::string NameStyleBits(uint32_t bits, StyleFamily family, bool negate);

// Extended style bits as text ("WS_EX_TOPMOST | 0x40000000"), "0" for none.
std::string NameExStyleBits(uint32_t bits);

}  // namespace tallow::codec
