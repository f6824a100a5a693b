// The JSON values of the language server's messages: parsed from any bytes
// without throwing (a fault gives no value) and written compactly.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tallow::lsp {

class JsonValue {
public:
    enum class Kind { Null, Bool, Number, String, Array, Object };
    using Array = std::vector<JsonValue>;
    using Object = std::map<std::string, JsonValue>;

    JsonValue() = default;
    JsonValue(std::nullptr_t) {}
    JsonValue(bool b) : kind_(Kind::Bool), number_(b ? 1 : 0) {}
    JsonValue(int n) : kind_(Kind::Number), number_(n) {}
    JsonValue(double n) : kind_(Kind::Number), number_(n) {}
    JsonValue(const char* s) : kind_(Kind::String), string_(s) {}
    JsonValue(std::string s) : kind_(Kind::String), string_(std::move(s)) {}
    JsonValue(std::string_view s) : kind_(Kind::String), string_(s) {}
    JsonValue(Array a) : kind_(Kind::Array), array_(std::make_shared<Array>(std::move(a))) {}
    JsonValue(Object o) : kind_(Kind::Object), object_(std::make_shared<Object>(std::move(o))) {}

    Kind kind() const { return kind_; }
    bool IsNull() const { return kind_ == Kind::Null; }
    bool IsString() const { return kind_ == Kind::String; }
    bool IsNumber() const { return kind_ == Kind::Number; }
    bool IsObject() const { return kind_ == Kind::Object; }
    bool IsArray() const { return kind_ == Kind::Array; }

    // Typed reads with a fallback for a value of another kind.
    const std::string& Str() const;
    double Num(double fallback = 0) const { return kind_ == Kind::Number ? number_ : fallback; }
    bool Bool(bool fallback = false) const { return kind_ == Kind::Bool ? number_ != 0 : fallback; }
    const Array& Items() const;
    // A member of an object; a null value for anything else or a missing key.
    const JsonValue& operator[](std::string_view key) const;
    // The object's members, made an object first if it is not one.
    JsonValue& Set(const std::string& key, JsonValue value);
    void Push(JsonValue value);

    std::string Write() const;
    // Parses a whole text; nothing for text that is not one JSON value.
    static std::optional<JsonValue> Parse(std::string_view text);

private:
    void WriteTo(std::string& out) const;

    Kind kind_ = Kind::Null;
    double number_ = 0;
    std::string string_;
    std::shared_ptr<Array> array_;  // shared until written to: values are copied freely
    std::shared_ptr<Object> object_;
};

}  // namespace tallow::lsp
