// The built-in object clipboard: text, lines and raw memory blocks to and
// from the system clipboard. It holds no state of its own.
#pragma once

#include "expr/script_object.h"

namespace tallow {

namespace msg {
constexpr const char kCannotOpenClipboard[] = "Cannot open clipboard!";
constexpr const char kClipboardFormatNotAvailable[] = "Clipboard format not available!";
constexpr const char kCannotRetrieveClipboardData[] = "Cannot retrieve clipboard data!";
}  // namespace msg

class ClipboardObject : public ScriptObject {
public:
    // Registers as "clipboard".
    explicit ClipboardObject(Program& program);

    // text is a property: reading it is gettext, writing it settext.
    void SetStringMember(std::string_view name, std::string value) override;
    std::string GetStringMember(std::string_view name) override;

    // The members of its table, one per id; each reads its own parameters.
    void SetText();
    void SetTextArray();
    void GetTextArray();
    void SetBuffer();
    void GetBuffer();
    double RegisterFormat();
    double IsFormatAvailable();
    std::string GetText();

private:
    void PutText(const std::string& text);
    std::string ReadText();
};

}  // namespace tallow
