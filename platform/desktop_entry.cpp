// Desktop entries for shortcuts. Exec values are quoted in two layers, as the
// format defines: first each argument by the quoting rules of the Exec key,
// then the whole line by the escapes of string values, so a literal
// backslash inside a quoted argument ends up as four.
#include "desktop_entry.h"

#include "command_words.h"

namespace tallow::platform {

namespace {

// Characters that make an Exec argument need double quotes.
constexpr std::string_view kReservedInExec = " \t\n\"'\\><~|&;$*?#()`";
// Characters escaped with a backslash inside double quotes.
constexpr std::string_view kEscapedInQuotes = "\"`$\\";

std::string QuoteExecArgument(std::string_view arg) {
    std::string out;
    bool quote = arg.empty() || arg.find_first_of(kReservedInExec) != std::string_view::npos;
    if (quote) out += '"';
    for (char c : arg) {
        if (c == '%') {
            out += "%%";  // a literal percent sign, not a field code
            continue;
        }
        if (quote && kEscapedInQuotes.find(c) != std::string_view::npos) out += '\\';
        out += c;
    }
    if (quote) out += '"';
    return out;
}

// The link file's name without its directory and its extension.
std::string LinkName(std::string_view linkFile) {
    size_t slash = linkFile.rfind('/');
    std::string_view name = slash == std::string_view::npos ? linkFile : linkFile.substr(slash + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
    return std::string(name);
}

void AddKey(std::string& text, const char* key, const std::string& value) {
    if (value.empty()) return;
    text += key;
    text += '=';
    text += value;
    text += '\n';
}

}  // namespace

std::string ExecValue(const std::string& program, const std::vector<std::string>& arguments) {
    std::string line = QuoteExecArgument(program);
    for (const std::string& arg : arguments)
        line += ' ' + QuoteExecArgument(arg);
    return EscapeValue(line);
}

std::string EscapeValue(std::string_view value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        switch (value[i]) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            case ' ':
                out += i == 0 ? "\\s" : " ";
                break;
            default:
                out += value[i];
        }
    }
    return out;
}

std::string DesktopEntryText(const ShellLinkFields& link, std::string_view linkFile) {
    std::string text = "[Desktop Entry]\nType=Application\n";
    AddKey(text, "Name", EscapeValue(LinkName(linkFile)));
    AddKey(text, "Comment", EscapeValue(link.description));
    AddKey(text, "Exec", ExecValue(link.target, SplitCommandWords(link.arguments)));
    AddKey(text, "Path", EscapeValue(link.workingDir));
    AddKey(text, "Icon", EscapeValue(link.iconFile));
    return text;
}

}  // namespace tallow::platform
