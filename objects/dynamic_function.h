// Functions of a loaded library as a script declares them: the signature
// string ("NU4, S, @NS2") decoded into a result type and parameter types,
// and the integer conversions between script numbers and native widths.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace tallow {

// The numbering is the signature's own, void 0 to string 7.
enum class DynamicType : uint8_t { Void, U8, U16, U32, S8, S16, S32, String };

struct DynamicParam {
    DynamicType type = DynamicType::Void;
    bool byReference = false;  // "@": a script variable, passed by address and written back
};

struct DynamicSignature {
    DynamicParam result;
    std::vector<DynamicParam> params;
};

struct DynamicFunction {
    void* address = nullptr;
    // True for order 0: the first parameter is placed on the stack first.
    bool firstPlacedFirst = false;
    DynamicSignature signature;
};

// Items are separated by commas or blanks; the first is the result. Only an
// item's first three characters count. Empty when an item is invalid (also
// when there is no item at all, or an N code is shorter than three).
std::optional<DynamicSignature> ParseSignature(std::string_view text);

bool IsInteger(DynamicType type);
// A number truncated toward zero, kept at the type's width.
uint32_t ToNativeWidth(DynamicType type, double value);
// The type's low bits of raw, zero- or sign-extended by the type.
double FromNativeWidth(DynamicType type, uint64_t raw);

}  // namespace tallow
