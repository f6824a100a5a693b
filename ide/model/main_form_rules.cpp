// The main window's rules that need no window.
#include "ide/model/main_form_rules.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "ide/model/ide_messages.h"
#include "ide/model/recent_files.h"

namespace tallow::ide {

namespace {

// Every element and menu item the main window owns besides the dialogs;
// a dialog can take none of these names.
constexpr const char* kReservedNames[] = {
    "TabSet", "Panel1", "Panel2", "Notebook", "Editor", "Status", "Doc", "MainMenu", "DlgMenu", "EditorMenu",
    "FindDialog", "ReplaceDialog", "Idler1", "SaveEXEDialog", "RegExtDialog", "PrnSetupDlg", "PrnDlg",
    // menus and their items
    "File1", "Utilities1", "Help1", "Edit1", "Resources1", "EditMenu", "New1", "NewDialog1", "Open1", "Save1",
    "SaveAs1", "PrintSetup1", "Print1", "Exit1", "Run1", "CompileMenuItem", "RegisterExtensionMenuItem",
    "Contents1", "TopicSearch1", "UsingHelp1", "RevisionHistory1", "AboutTallow951", "CutItem", "CopyItem",
    "PasteItem", "DeleteItem", "FindItem", "FindAgainItem", "ReplaceItem", "CutToolItem", "CopyToolItem",
    "PasteToolItem", "DelToolItem", "GridSettings1", "TabOrder", "Test1", "RenameDialog1", "DeleteDialog1",
    "N1", "N2", "N3", "N4", "N5", "N6", "N7", "N8", "N9", "N10"};

constexpr const char* kDesignerHelpSubject = "Dialog Resource Editor";
constexpr const char* kExtensionContentsHeading = "1 Extension Objects";
constexpr int kListingBlankLines = 3;

bool IsAlnum(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0;
}

void EnsureLine(std::vector<std::string>& lines, const std::string& line) {
    if (std::ranges::none_of(lines, [&](const std::string& l) { return EqualNoCase(l, line); }))
        lines.push_back(line);
}

}  // namespace

bool IsValidComponentName(std::string_view name) {
    if (name.empty() || name.size() > kMaxComponentName) return false;
    if (std::isdigit(static_cast<unsigned char>(name[0]))) return false;
    return std::ranges::all_of(name, [](char c) { return IsAlnum(c) || c == '_'; });
}

bool IsReservedName(std::string_view name, const std::vector<std::string>& dialogNames) {
    auto same = [&](std::string_view other) { return EqualNoCase(name, other); };
    for (const ControlCommand& command : kControlCommands)
        if (same(command.itemName)) return true;
    return std::ranges::any_of(kReservedNames, same) || std::ranges::any_of(dialogNames, same);
}

std::string NextDialogName(const std::vector<std::string>& dialogNames) {
    for (int n = 1;; ++n) {
        std::string name = kFirstDialogName + std::to_string(n);
        if (!IsReservedName(name, dialogNames)) return name;
    }
}

std::string InvalidNameMessage(std::string_view name) {
    return msg::kInvalidComponentNameBefore + std::string(name) + msg::kInvalidComponentNameAfter;
}

int NewControlHeight(const ControlCommand& command, int fontHeight) {
    return command.height != 0 ? command.height : std::abs(fontHeight) + 4;
}

EditMenuState DesignerEditMenu(bool showTabs, bool selectedTool, bool dialogToolSelected,
                               bool clipboardHasToolFormat) {
    EditMenuState state;
    bool control = selectedTool && !dialogToolSelected;
    state.cut = state.copy = state.del = control;
    state.paste = clipboardHasToolFormat;
    state.tabOrderChecked = showTabs;
    return state;
}

EditMenuState EditorEditMenu(bool hasSelection, bool clipboardHasText) {
    EditMenuState state;
    state.cut = state.copy = state.del = hasSelection;
    state.paste = clipboardHasText;
    return state;
}

bool CanDeleteDialog(int activeTab) {
    return activeTab >= 2;
}

std::string PositionStatus(int line, int column) {
    return std::to_string(line + 1) + ": " + std::to_string(column + 1);
}

std::string ModifiedStatus(bool modified) {
    return modified ? msg::kModified : "";
}

std::string NotFoundMessage(std::string_view text) {
    return msg::kSearchNotFoundBefore + std::string(text) + msg::kSearchNotFoundAfter;
}

std::string ReplaceAllMessage(int count, std::string_view text) {
    if (count == 0) return NotFoundMessage(text);
    return msg::kReplacedBefore + std::to_string(count) + msg::kReplacedMiddle + std::string(text) + "'";
}

std::vector<std::string> PrintListing(std::string_view path, const std::vector<std::string>& code) {
    std::vector<std::string> lines{"Begin listing: " + std::string(path)};
    lines.insert(lines.end(), kListingBlankLines, "");
    lines.insert(lines.end(), code.begin(), code.end());
    lines.insert(lines.end(), kListingBlankLines, "");
    lines.push_back("End listing: " + std::string(path));
    return lines;
}

std::string HelpTopicName(std::string_view subject) {
    std::string topic;
    for (char c : subject) {
        unsigned char u = static_cast<unsigned char>(c);
        topic += std::isalpha(u) ? static_cast<char>(std::toupper(u)) : 'x';
    }
    return topic;
}

std::string DesignerHelpSubject(int controlRow) {
    if (controlRow < 0 || controlRow >= static_cast<int>(std::size(kControlCommands)))
        return kDesignerHelpSubject;
    return kControlCommands[controlRow].helpTopic;
}

std::string ContextHelpWord(std::string_view line, int column) {
    if (column < 0 || column >= static_cast<int>(line.size())) return "";
    size_t at = column;
    if (IsAlnum(line[at]))
        while (at > 0 && IsAlnum(line[at - 1]))
            --at;
    while (at < line.size() && !IsAlnum(line[at]))
        ++at;
    size_t end = at;
    while (end < line.size() && IsAlnum(line[end]))
        ++end;
    return std::string(line.substr(at, end - at));
}

std::vector<std::string> MergeHelpContents(std::vector<std::string> lines,
                                           const std::vector<std::string>& contentsFiles) {
    EnsureLine(lines, kExtensionContentsHeading);
    for (const std::string& file : contentsFiles)
        if (!EqualNoCase(file, kHelpContentsName)) EnsureLine(lines, ":Include " + file);
    return lines;
}

std::string ExecutableNameFor(std::string_view codePath) {
    size_t dot = codePath.find_last_of('.');
    size_t slash = codePath.find_last_of("\\/");
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return std::string(codePath) + ".exe";
    return std::string(codePath.substr(0, dot)) + ".exe";
}

std::string BuilderCommandLine(std::string_view builderPath, std::string_view codePath,
                               std::string_view exePath) {
    std::string builder(builderPath);
    if (builder.find_first_of(" \t") != std::string::npos) builder = "\"" + builder + "\"";
    return builder + " " + std::string(codePath) + "\"" + std::string(exePath);
}

std::vector<RegistryDefault> FileTypeRegistration(std::string_view programPath) {
    std::string quoted = "\"" + std::string(programPath) + "\"";
    return {
        {".cod", "Tallow95CodFile"},
        {"Tallow95CodFile", "Tallow95 Code File"},
        {"Tallow95CodFile\\shell\\edit", "&Edit"},
        {"Tallow95CodFile\\shell\\edit\\command", quoted + " \"%1\""},
        {"Tallow95CodFile\\DefaultIcon", "\"" + std::string(programPath) + ",0\""},
    };
}

}  // namespace tallow::ide
