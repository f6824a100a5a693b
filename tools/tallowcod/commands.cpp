// pack, unpack and list: file handling around the codec and the dialog
// script reader and writer.
#include "tools/tallowcod/commands.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "codec/code_file.h"
#include "codec/dialog_template.h"
#include "support/system.h"
#include "tools/tallowcod/dialog_script_parser.h"
#include "tools/tallowcod/dialog_script_writer.h"

namespace tallow::codec {
namespace {

namespace fs = std::filesystem;

// The dialog count is an int16 in the file.
constexpr size_t kMaxDialogs = 32767;

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ToolError("cannot open " + path);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw ToolError("cannot read " + path);
    return bytes;
}

// Replaces the file whole, so that a failed write leaves an old file of the
// name as it was.
void WriteWholeFile(const std::string& path, std::string_view bytes) {
    if (!support::ReplaceFileContents(path, bytes)) throw ToolError("cannot write " + path);
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

// Adds the dialogs of one script to file, refusing names the runner could
// not tell apart (it looks objects up without regard to case) and names
// longer than the 15 characters of the name field.
void AddDialogs(const std::string& path, CodeFile& file, std::set<std::string>& seen) {
    std::vector<ScriptDialog> dialogs;
    try {
        dialogs = ParseDialogScript(ReadWholeFile(path), path);
    } catch (const DialogScriptError& error) {
        throw ToolError(error.what());
    }
    for (ScriptDialog& dialog : dialogs) {
        std::string where = path + ":" + std::to_string(dialog.line) + ": dialog '" + dialog.name + "'";
        if (dialog.name.size() >= kDialogNameSize)
            throw ToolError(where + ": the name is longer than " + std::to_string(kDialogNameSize - 1) +
                            " characters");
        if (!seen.insert(Upper(dialog.name)).second)
            throw ToolError(where + ": a dialog of that name came before");
        if (file.dialogs.size() == kMaxDialogs)
            throw ToolError(where + ": too many dialogs for one code file");
        file.dialogs.push_back({dialog.name, NameField(dialog.name), WriteDialogTemplate(dialog.dialog)});
    }
}

std::string StageMessage(CodeFileError error) {
    switch (error) {
        case CodeFileError::InvalidType:
            return "not a code file (invalid file type)";
        case CodeFileError::DialogResource:
            return "could not load dialog resource";
        case CodeFileError::CodeResource:
            return "could not load code resource";
        case CodeFileError::None:
            break;
    }
    return "";
}

CodeFile LoadCodeFile(const std::string& path) {
    std::string bytes = ReadWholeFile(path);
    CodeFile file;
    size_t dialogsRead = 0;
    CodeFileError error =
        ReadCodeFile({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, file, &dialogsRead);
    if (error == CodeFileError::DialogResource)
        throw ToolError(path + ": " + StageMessage(error) + " (dialog " + std::to_string(dialogsRead + 1) +
                        ")");
    if (error != CodeFileError::None) throw ToolError(path + ": " + StageMessage(error));
    return file;
}

// A file name for a dialog: its name with every character that some file
// system refuses replaced, unique without regard to case among taken.
std::string DialogFileName(const std::string& name, std::set<std::string>& taken) {
    std::string base;
    for (char c : name)
        base += std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' ? c : '_';
    if (base.empty()) base = "dialog";
    std::string candidate = base + ".rc";
    for (int n = 2; !taken.insert(Upper(candidate)).second; ++n)
        candidate = base + "-" + std::to_string(n) + ".rc";
    return candidate;
}

// A name from a code file as a terminal may show it: control characters
// (C0, DEL and C1, which could move the cursor or retitle the window) and
// the backslash that introduces the escapes are written as \xHH and \\.
std::string Printable(std::string_view name) {
    std::string out;
    for (unsigned char c : name) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string FormatDate(int year, int month, int day) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    return text;
}

// Quotes a path for the shell line that unpack prints, when it needs it.
std::string ShellWord(const std::string& word) {
    bool plain = std::all_of(word.begin(), word.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) ||
               std::string_view("_-./:\\").find(c) != std::string_view::npos;
    });
    return plain && !word.empty() ? word : "\"" + word + "\"";
}

}  // namespace

Date Today() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return {static_cast<int16_t>(local.tm_year + 1900), static_cast<int16_t>(local.tm_mon + 1),
            static_cast<int16_t>(local.tm_mday)};
}

bool ParseDate(const std::string& text, Date& date) {
    int year, month, day;
    char rest;
    if (std::sscanf(text.c_str(), "%d-%d-%d%c", &year, &month, &day, &rest) != 3) return false;
    if (year < 0 || year > 32767 || month < 1 || month > 12 || day < 1 || day > 31) return false;
    date = {static_cast<int16_t>(year), static_cast<int16_t>(month), static_cast<int16_t>(day)};
    return true;
}

void PackCodeFile(const std::string& script, const std::vector<std::string>& dialogScripts,
                  const std::string& output, const Date& date) {
    CodeFile file;
    file.version = 1;
    file.year = date.year;
    file.month = date.month;
    file.day = date.day;
    file.code = ReadWholeFile(script);
    file.code.push_back('\0');
    if (file.code.size() > 0x7FFFFFFF) throw ToolError(script + ": too big for a code file");
    std::set<std::string> seen;
    for (const std::string& path : dialogScripts)
        AddDialogs(path, file, seen);
    std::vector<uint8_t> bytes = WriteCodeFile(file);
    WriteWholeFile(output, {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
}

void UnpackCodeFile(const std::string& path, const std::string& directory, std::ostream& out) {
    CodeFile file = LoadCodeFile(path);
    std::vector<std::pair<std::string, std::string>> outputs;  // file name, contents
    std::string stem = fs::path(path).stem().string();
    if (stem.empty()) stem = "script";
    std::string text = file.code;
    if (!text.empty() && text.back() == '\0') text.pop_back();
    outputs.emplace_back(stem + ".tal", text);
    std::set<std::string> taken{Upper(stem + ".tal")};
    for (const CodeFileDialog& dialog : file.dialogs) {
        DialogTemplate parsed;
        ReadDialogTemplate(dialog.templateBytes, parsed);  // checked when the file was read
        try {
            outputs.emplace_back(DialogFileName(dialog.name, taken), WriteDialogScript(dialog.name, parsed));
        } catch (const DialogScriptError& error) {
            throw ToolError(path + ": " + Printable(error.what()));  // the message holds the name
        }
    }
    std::error_code error;
    fs::create_directories(directory, error);
    if (error) throw ToolError("cannot create " + directory + ": " + error.message());
    std::string command = "tallowcod pack";
    for (const auto& [name, contents] : outputs) {
        WriteWholeFile((fs::path(directory) / name).string(), contents);
        out << (fs::path(directory) / name).string() << "\n";
        command += " " + ShellWord(name);
    }
    out << "to build it again: " << command << " --date " << FormatDate(file.year, file.month, file.day)
        << " -o " << ShellWord(fs::path(path).filename().string()) << "\n";
}

void ListCodeFile(const std::string& path, std::ostream& out) {
    CodeFile file = LoadCodeFile(path);
    out << "version " << file.version << " (" << (file.version == 0 ? kMagicVersion0 : kMagicVersion1)
        << ")\n";
    out << "date stamp " << FormatDate(file.year, file.month, file.day) << "\n";
    out << "dialogs " << file.dialogs.size() << "\n";
    for (const CodeFileDialog& dialog : file.dialogs)
        out << "  " << Printable(dialog.name) << " " << dialog.templateBytes.size() << " bytes\n";
    out << "code " << file.code.size() << " bytes\n";
}

}  // namespace tallow::codec
