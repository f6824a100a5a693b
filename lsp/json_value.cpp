// JSON reading and writing for the language server. The reader is a plain
// recursive descent over bytes with a nesting limit, so that no message can
// exhaust the stack.
#include "json_value.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tallow::lsp {

namespace {

constexpr int kMaxDepth = 200;

const std::string kEmptyString;
const JsonValue::Array kEmptyArray;
const JsonValue kNull;

class Reader {
public:
    explicit Reader(std::string_view text) : s_(text) {}

    bool ReadWhole(JsonValue& out) {
        if (!Value(out, 0)) return false;
        SkipSpace();
        return i_ == s_.size();
    }

private:
    void SkipSpace() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\n' || s_[i_] == '\r'))
            ++i_;
    }
    bool Literal(std::string_view word) {
        if (s_.substr(i_, word.size()) != word) return false;
        i_ += word.size();
        return true;
    }

    bool Value(JsonValue& out, int depth) {
        if (depth > kMaxDepth) return false;
        SkipSpace();
        if (i_ >= s_.size()) return false;
        char c = s_[i_];
        if (c == '{') return ObjectValue(out, depth);
        if (c == '[') return ArrayValue(out, depth);
        if (c == '"') {
            std::string text;
            if (!String(text)) return false;
            out = JsonValue(std::move(text));
            return true;
        }
        if (Literal("null")) return out = JsonValue(), true;
        if (Literal("true")) return out = JsonValue(true), true;
        if (Literal("false")) return out = JsonValue(false), true;
        return Number(out);
    }

    bool Number(JsonValue& out) {
        size_t start = i_;
        if (i_ < s_.size() && s_[i_] == '-') ++i_;
        size_t digits = i_;
        while (i_ < s_.size() && ((s_[i_] >= '0' && s_[i_] <= '9') || s_[i_] == '.' || s_[i_] == 'e' ||
                                  s_[i_] == 'E' || s_[i_] == '+' || s_[i_] == '-'))
            ++i_;
        if (i_ == digits || s_[digits] < '0' || s_[digits] > '9') return false;
        std::string text(s_.substr(start, i_ - start));
        char* end = nullptr;
        double value = std::strtod(text.c_str(), &end);
        if (!end || *end || !std::isfinite(value)) return false;
        out = JsonValue(value);
        return true;
    }

    bool Hex4(unsigned& code) {
        if (i_ + 4 > s_.size()) return false;
        code = 0;
        for (int k = 0; k < 4; ++k) {
            char h = s_[i_++];
            code <<= 4;
            if (h >= '0' && h <= '9')
                code |= unsigned(h - '0');
            else if (h >= 'a' && h <= 'f')
                code |= unsigned(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F')
                code |= unsigned(h - 'A' + 10);
            else
                return false;
        }
        return true;
    }

    static void PutUtf8(std::string& out, unsigned code) {
        if (code < 0x80) {
            out += char(code);
        } else if (code < 0x800) {
            out += char(0xC0 | (code >> 6));
            out += char(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += char(0xE0 | (code >> 12));
            out += char(0x80 | ((code >> 6) & 0x3F));
            out += char(0x80 | (code & 0x3F));
        } else {
            out += char(0xF0 | (code >> 18));
            out += char(0x80 | ((code >> 12) & 0x3F));
            out += char(0x80 | ((code >> 6) & 0x3F));
            out += char(0x80 | (code & 0x3F));
        }
    }

    bool String(std::string& out) {
        ++i_;  // the opening quote
        while (i_ < s_.size()) {
            char c = s_[i_++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 0x20) return false;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (i_ >= s_.size()) return false;
            char e = s_[i_++];
            switch (e) {
                case '"':
                    out += '"';
                    break;
                case '\\':
                    out += '\\';
                    break;
                case '/':
                    out += '/';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    unsigned code = 0;
                    if (!Hex4(code)) return false;
                    if (code >= 0xD800 && code < 0xDC00 && s_.substr(i_, 2) == "\\u") {
                        size_t keep = i_;
                        i_ += 2;
                        unsigned low = 0;
                        if (Hex4(low) && low >= 0xDC00 && low < 0xE000)
                            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                        else
                            i_ = keep;
                    }
                    PutUtf8(out, code);
                    break;
                }
                default:
                    return false;
            }
        }
        return false;
    }

    bool ArrayValue(JsonValue& out, int depth) {
        ++i_;
        JsonValue::Array items;
        SkipSpace();
        if (i_ < s_.size() && s_[i_] == ']') {
            ++i_;
            out = JsonValue(std::move(items));
            return true;
        }
        for (;;) {
            JsonValue item;
            if (!Value(item, depth + 1)) return false;
            items.push_back(std::move(item));
            SkipSpace();
            if (i_ >= s_.size()) return false;
            char c = s_[i_++];
            if (c == ']') break;
            if (c != ',') return false;
        }
        out = JsonValue(std::move(items));
        return true;
    }

    bool ObjectValue(JsonValue& out, int depth) {
        ++i_;
        JsonValue::Object members;
        SkipSpace();
        if (i_ < s_.size() && s_[i_] == '}') {
            ++i_;
            out = JsonValue(std::move(members));
            return true;
        }
        for (;;) {
            SkipSpace();
            std::string key;
            if (i_ >= s_.size() || s_[i_] != '"' || !String(key)) return false;
            SkipSpace();
            if (i_ >= s_.size() || s_[i_++] != ':') return false;
            JsonValue value;
            if (!Value(value, depth + 1)) return false;
            members[std::move(key)] = std::move(value);
            SkipSpace();
            if (i_ >= s_.size()) return false;
            char c = s_[i_++];
            if (c == '}') break;
            if (c != ',') return false;
        }
        out = JsonValue(std::move(members));
        return true;
    }

    std::string_view s_;
    size_t i_ = 0;
};

void WriteString(std::string& out, const std::string& s) {
    out += '"';
    for (unsigned char c : s) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                    out += buffer;
                } else {
                    out += char(c);
                }
        }
    }
    out += '"';
}

}  // namespace

const std::string& JsonValue::Str() const {
    return kind_ == Kind::String ? string_ : kEmptyString;
}

const JsonValue::Array& JsonValue::Items() const {
    return kind_ == Kind::Array && array_ ? *array_ : kEmptyArray;
}

const JsonValue& JsonValue::operator[](std::string_view key) const {
    if (kind_ != Kind::Object || !object_) return kNull;
    auto it = object_->find(std::string(key));
    return it == object_->end() ? kNull : it->second;
}

JsonValue& JsonValue::Set(const std::string& key, JsonValue value) {
    if (kind_ != Kind::Object || !object_) {
        kind_ = Kind::Object;
        object_ = std::make_shared<Object>();
    } else if (object_.use_count() > 1) {
        object_ = std::make_shared<Object>(*object_);
    }
    return (*object_)[key] = std::move(value);
}

void JsonValue::Push(JsonValue value) {
    if (kind_ != Kind::Array || !array_) {
        kind_ = Kind::Array;
        array_ = std::make_shared<Array>();
    } else if (array_.use_count() > 1) {
        array_ = std::make_shared<Array>(*array_);
    }
    array_->push_back(std::move(value));
}

void JsonValue::WriteTo(std::string& out) const {
    switch (kind_) {
        case Kind::Null:
            out += "null";
            break;
        case Kind::Bool:
            out += number_ != 0 ? "true" : "false";
            break;
        case Kind::Number: {
            char buffer[32];
            if (number_ == std::floor(number_) && std::fabs(number_) < 1e15)
                std::snprintf(buffer, sizeof buffer, "%.0f", number_);
            else
                std::snprintf(buffer, sizeof buffer, "%.17g", number_);
            out += buffer;
            break;
        }
        case Kind::String:
            WriteString(out, string_);
            break;
        case Kind::Array: {
            out += '[';
            bool first = true;
            for (const JsonValue& item : Items()) {
                if (!first) out += ',';
                first = false;
                item.WriteTo(out);
            }
            out += ']';
            break;
        }
        case Kind::Object: {
            out += '{';
            bool first = true;
            if (object_) {
                for (const auto& [key, value] : *object_) {
                    if (!first) out += ',';
                    first = false;
                    WriteString(out, key);
                    out += ':';
                    value.WriteTo(out);
                }
            }
            out += '}';
            break;
        }
    }
}

std::string JsonValue::Write() const {
    std::string out;
    WriteTo(out);
    return out;
}

std::optional<JsonValue> JsonValue::Parse(std::string_view text) {
    JsonValue value;
    if (!Reader(text).ReadWhole(value)) return std::nullopt;
    return value;
}

}  // namespace tallow::lsp
