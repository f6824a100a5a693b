#include "objects/dynamic_function.h"

#include "expr/operators.h"

namespace tallow {

namespace {

bool IsSeparator(char c) {
    return c == ',' || c == ' ' || c == '\t';
}

std::optional<DynamicParam> ParseItem(std::string_view item) {
    DynamicParam param;
    if (item.front() == '@') {
        param.byReference = true;
        item.remove_prefix(1);
    }
    if (item.empty()) return std::nullopt;
    switch (item[0]) {
        case 'V':
            param.type = DynamicType::Void;
            return param;
        case 'S':
            param.type = DynamicType::String;
            return param;
        case 'N':
            break;
        default:
            return std::nullopt;
    }
    if (item.size() < 3) return std::nullopt;
    bool isUnsigned = item[1] == 'U';
    switch (item[2]) {
        case '1':
            param.type = isUnsigned ? DynamicType::U8 : DynamicType::S8;
            break;
        case '2':
            param.type = isUnsigned ? DynamicType::U16 : DynamicType::S16;
            break;
        case '4':
            param.type = isUnsigned ? DynamicType::U32 : DynamicType::S32;
            break;
        default:
            return std::nullopt;
    }
    return param;
}

}  // namespace

std::optional<DynamicSignature> ParseSignature(std::string_view text) {
    DynamicSignature signature;
    bool haveResult = false;
    size_t i = 0;
    while (i < text.size()) {
        if (IsSeparator(text[i])) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < text.size() && !IsSeparator(text[end]))
            ++end;
        std::optional<DynamicParam> param = ParseItem(text.substr(i, end - i));
        if (!param) return std::nullopt;
        if (haveResult) {
            signature.params.push_back(*param);
        } else {
            signature.result = {param->type, false};
            haveResult = true;
        }
        i = end;
    }
    if (!haveResult) return std::nullopt;
    return signature;
}

bool IsInteger(DynamicType type) {
    return type != DynamicType::Void && type != DynamicType::String;
}

uint32_t ToNativeWidth(DynamicType type, double value) {
    // Unsigned 32-bit values above the signed range keep their bits.
    uint32_t n = value >= 2147483648.0 && value < 4294967296.0 ? uint32_t(value) : uint32_t(ToInt32(value));
    switch (type) {
        case DynamicType::U8:
        case DynamicType::S8:
            return n & 0xFFu;
        case DynamicType::U16:
        case DynamicType::S16:
            return n & 0xFFFFu;
        default:
            return n;
    }
}

double FromNativeWidth(DynamicType type, uint64_t raw) {
    switch (type) {
        case DynamicType::U8:
            return double(uint8_t(raw));
        case DynamicType::U16:
            return double(uint16_t(raw));
        case DynamicType::U32:
            return double(uint32_t(raw));
        case DynamicType::S8:
            return double(int8_t(raw));
        case DynamicType::S16:
            return double(int16_t(raw));
        case DynamicType::S32:
            return double(int32_t(raw));
        default:
            return 0;
    }
}

}  // namespace tallow
