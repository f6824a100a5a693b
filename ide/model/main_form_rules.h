// The main window's rules that need no window: component names, the
// Resources menu's controls, command enabling, status and message texts,
// help topics, the builder's command line, the print listing, the help
// contents merge and the code-file type's registry values.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tallow::ide {

// A dialog's name fills a 16-byte field of the code file with its NUL.
inline constexpr size_t kMaxComponentName = 15;
inline constexpr const char* kFirstDialogName = "Dialog";
inline constexpr const char* kCodeTabCaption = "Code";
inline constexpr const char* kProgramName = "Tallow95";
inline constexpr const char* kUntitledFileName = "untitled.cod";
inline constexpr const char* kSettingsKey = "Software\\Quenby Software\\Tallow\\Editor";
inline constexpr const char* kHelpFileName = "TALLOW.HLP";
inline constexpr const char* kHelpContentsName = "Tallow.cnt";
inline constexpr const char* kBuilderName = "TallowMake.exe";

// Letters, digits and underscores, not starting with a digit, at most
// kMaxComponentName characters.
bool IsValidComponentName(std::string_view name);
// Whether the window owns an element of that name (compared without case):
// one of its fixed elements and menu items, or one of the dialogs.
bool IsReservedName(std::string_view name, const std::vector<std::string>& dialogNames);
// "Dialog%d" with the smallest n >= 1 that names no element of the window.
std::string NextDialogName(const std::vector<std::string>& dialogNames);
// "''name'' is not a valid component name".
std::string InvalidNameMessage(std::string_view name);

// ---- the Resources menu: one row per control kind, in menu order
struct ControlCommand {
    const char* itemName;   // the menu item
    const char* caption;    // its caption
    const char* helpTopic;  // the kind's plural, for context help
    int width;              // the size of a new control in pixels
    int height;             // 0: the surface's absolute font height + 4
};
inline constexpr ControlCommand kControlCommands[] = {
    {"Button1", "&Button", "Buttons", 75, 25},
    {"Static1", "&Static", "Statics", 180, 0},
    {"TextBox1", "&Text Box", "Text Boxes", 180, 20},
    {"CheckBox1", "&Check Box", "Check Boxes", 90, 15},
    {"RadioButton1", "&Radio Button", "Radio Buttons", 90, 15},
    {"ListBox1", "&List Box", "List Boxes", 180, 90},
    {"ComboBox1", "C&ombo Box", "Combo Boxes", 180, 90},
};
// The height of a new control of that row on a surface with that font height.
int NewControlHeight(const ControlCommand& command, int fontHeight);

// ---- command enabling
struct EditMenuState {
    bool cut = false, copy = false, paste = false, del = false;
    bool tabOrderChecked = false;  // the designer's menu only
};
// The designer's Edit menu as it opens. selectedTool: a tool is selected;
// dialogToolSelected: that tool is the dialog frame.
EditMenuState DesignerEditMenu(bool showTabs, bool selectedTool, bool dialogToolSelected,
                               bool clipboardHasToolFormat);
// The editor's Edit menu, kept up to date while idle.
EditMenuState EditorEditMenu(bool hasSelection, bool clipboardHasText);
// Delete Dialog is offered for every dialog but the first (tab index >= 2).
bool CanDeleteDialog(int activeTab);

// ---- texts
// Status panel 0 for a 0-based cursor line and column: "%d: %d", 1-based.
std::string PositionStatus(int line, int column);
// Status panel 1.
std::string ModifiedStatus(bool modified);
std::string NotFoundMessage(std::string_view text);
// After Replace All: the count, or the not-found message when it is 0.
std::string ReplaceAllMessage(int count, std::string_view text);
// The printed lines: a heading, three empty lines, the code, three empty
// lines and a closing line.
std::vector<std::string> PrintListing(std::string_view path, const std::vector<std::string>& code);

// ---- help
// A help topic from a subject: upper case, every non-letter an "x".
std::string HelpTopicName(std::string_view subject);
// The subject of context help on a dialog page: the selected control's
// plural, or the designer's own subject (dialog frame or nothing selected).
// controlRow indexes kControlCommands; -1 for none.
std::string DesignerHelpSubject(int controlRow);
// The word to look up for the cursor at a 0-based column of a line: empty
// when the column lies beyond the line.
std::string ContextHelpWord(std::string_view line, int column);
// "Tallow.cnt" merged with the other contents files of the program folder:
// the "1 Extension Objects" heading and one ":Include NAME" per file, each
// appended unless a line equal to it (without case) is there already.
std::vector<std::string> MergeHelpContents(std::vector<std::string> lines,
                                           const std::vector<std::string>& contentsFiles);

// ---- running and building
// The code file's path with its extension replaced by ".exe".
std::string ExecutableNameFor(std::string_view codePath);
// The builder's command line: its path + " " + code path + a double quote +
// executable path (no blank, no closing quote). A builder path with a blank
// is quoted, or the builder would read its own path as its arguments.
std::string BuilderCommandLine(std::string_view builderPath, std::string_view codePath,
                               std::string_view exePath);

// ---- the code-file type with the shell: default values under the classes root
struct RegistryDefault {
    std::string key;
    std::string value;
};
std::vector<RegistryDefault> FileTypeRegistration(std::string_view programPath);

}  // namespace tallow::ide
