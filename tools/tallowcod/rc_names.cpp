// The style and id names of dialog scripts with their values, and the
// per-family lists that decide how the writer spells a style.
#include "tools/tallowcod/rc_names.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace tallow::codec {
namespace {

constexpr RcName kNames[] = {
    // Window styles.
    {"WS_OVERLAPPED", 0x00000000},
    {"WS_POPUP", 0x80000000},
    {"WS_CHILD", 0x40000000},
    {"WS_MINIMIZE", 0x20000000},
    {"WS_VISIBLE", 0x10000000},
    {"WS_DISABLED", 0x08000000},
    {"WS_CLIPSIBLINGS", 0x04000000},
    {"WS_CLIPCHILDREN", 0x02000000},
    {"WS_MAXIMIZE", 0x01000000},
    {"WS_CAPTION", 0x00C00000},
    {"WS_BORDER", 0x00800000},
    {"WS_DLGFRAME", 0x00400000},
    {"WS_VSCROLL", 0x00200000},
    {"WS_HSCROLL", 0x00100000},
    {"WS_SYSMENU", 0x00080000},
    {"WS_THICKFRAME", 0x00040000},
    {"WS_GROUP", 0x00020000},
    {"WS_TABSTOP", 0x00010000},
    {"WS_MINIMIZEBOX", 0x00020000},
    {"WS_MAXIMIZEBOX", 0x00010000},
    {"WS_TILED", 0x00000000},
    {"WS_ICONIC", 0x20000000},
    {"WS_SIZEBOX", 0x00040000},
    {"WS_OVERLAPPEDWINDOW", 0x00CF0000},
    {"WS_TILEDWINDOW", 0x00CF0000},
    {"WS_POPUPWINDOW", 0x80880000},
    {"WS_CHILDWINDOW", 0x40000000},
    // Extended window styles.
    {"WS_EX_DLGMODALFRAME", 0x00000001},
    {"WS_EX_NOPARENTNOTIFY", 0x00000004},
    {"WS_EX_TOPMOST", 0x00000008},
    {"WS_EX_ACCEPTFILES", 0x00000010},
    {"WS_EX_TRANSPARENT", 0x00000020},
    {"WS_EX_MDICHILD", 0x00000040},
    {"WS_EX_TOOLWINDOW", 0x00000080},
    {"WS_EX_WINDOWEDGE", 0x00000100},
    {"WS_EX_CLIENTEDGE", 0x00000200},
    {"WS_EX_CONTEXTHELP", 0x00000400},
    {"WS_EX_RIGHT", 0x00001000},
    {"WS_EX_LEFT", 0x00000000},
    {"WS_EX_RTLREADING", 0x00002000},
    {"WS_EX_LTRREADING", 0x00000000},
    {"WS_EX_LEFTSCROLLBAR", 0x00004000},
    {"WS_EX_RIGHTSCROLLBAR", 0x00000000},
    {"WS_EX_CONTROLPARENT", 0x00010000},
    {"WS_EX_STATICEDGE", 0x00020000},
    {"WS_EX_APPWINDOW", 0x00040000},
    {"WS_EX_OVERLAPPEDWINDOW", 0x00000300},
    {"WS_EX_PALETTEWINDOW", 0x00000188},
    // Dialog styles.
    {"DS_ABSALIGN", 0x0001},
    {"DS_SYSMODAL", 0x0002},
    {"DS_3DLOOK", 0x0004},
    {"DS_FIXEDSYS", 0x0008},
    {"DS_NOFAILCREATE", 0x0010},
    {"DS_LOCALEDIT", 0x0020},
    {"DS_SETFONT", 0x0040},
    {"DS_MODALFRAME", 0x0080},
    {"DS_NOIDLEMSG", 0x0100},
    {"DS_SETFOREGROUND", 0x0200},
    {"DS_CONTROL", 0x0400},
    {"DS_CENTER", 0x0800},
    {"DS_CENTERMOUSE", 0x1000},
    {"DS_CONTEXTHELP", 0x2000},
    // Button styles.
    {"BS_PUSHBUTTON", 0x0},
    {"BS_DEFPUSHBUTTON", 0x1},
    {"BS_CHECKBOX", 0x2},
    {"BS_AUTOCHECKBOX", 0x3},
    {"BS_RADIOBUTTON", 0x4},
    {"BS_3STATE", 0x5},
    {"BS_AUTO3STATE", 0x6},
    {"BS_GROUPBOX", 0x7},
    {"BS_USERBUTTON", 0x8},
    {"BS_AUTORADIOBUTTON", 0x9},
    {"BS_PUSHBOX", 0xA},
    {"BS_OWNERDRAW", 0xB},
    {"BS_TYPEMASK", 0xF},
    {"BS_LEFTTEXT", 0x20},
    {"BS_RIGHTBUTTON", 0x20},
    {"BS_TEXT", 0x0},
    {"BS_ICON", 0x40},
    {"BS_BITMAP", 0x80},
    {"BS_LEFT", 0x100},
    {"BS_RIGHT", 0x200},
    {"BS_CENTER", 0x300},
    {"BS_TOP", 0x400},
    {"BS_BOTTOM", 0x800},
    {"BS_VCENTER", 0xC00},
    {"BS_PUSHLIKE", 0x1000},
    {"BS_MULTILINE", 0x2000},
    {"BS_NOTIFY", 0x4000},
    {"BS_FLAT", 0x8000},
    // Edit styles.
    {"ES_LEFT", 0x0},
    {"ES_CENTER", 0x1},
    {"ES_RIGHT", 0x2},
    {"ES_MULTILINE", 0x4},
    {"ES_UPPERCASE", 0x8},
    {"ES_LOWERCASE", 0x10},
    {"ES_PASSWORD", 0x20},
    {"ES_AUTOVSCROLL", 0x40},
    {"ES_AUTOHSCROLL", 0x80},
    {"ES_NOHIDESEL", 0x100},
    {"ES_OEMCONVERT", 0x400},
    {"ES_READONLY", 0x800},
    {"ES_WANTRETURN", 0x1000},
    {"ES_NUMBER", 0x2000},
    // Static styles.
    {"SS_LEFT", 0x0},
    {"SS_CENTER", 0x1},
    {"SS_RIGHT", 0x2},
    {"SS_ICON", 0x3},
    {"SS_BLACKRECT", 0x4},
    {"SS_GRAYRECT", 0x5},
    {"SS_WHITERECT", 0x6},
    {"SS_BLACKFRAME", 0x7},
    {"SS_GRAYFRAME", 0x8},
    {"SS_WHITEFRAME", 0x9},
    {"SS_USERITEM", 0xA},
    {"SS_SIMPLE", 0xB},
    {"SS_LEFTNOWORDWRAP", 0xC},
    {"SS_OWNERDRAW", 0xD},
    {"SS_BITMAP", 0xE},
    {"SS_ENHMETAFILE", 0xF},
    {"SS_ETCHEDHORZ", 0x10},
    {"SS_ETCHEDVERT", 0x11},
    {"SS_ETCHEDFRAME", 0x12},
    {"SS_TYPEMASK", 0x1F},
    {"SS_REALSIZECONTROL", 0x40},
    {"SS_NOPREFIX", 0x80},
    {"SS_NOTIFY", 0x100},
    {"SS_CENTERIMAGE", 0x200},
    {"SS_RIGHTJUST", 0x400},
    {"SS_REALSIZEIMAGE", 0x800},
    {"SS_SUNKEN", 0x1000},
    {"SS_EDITCONTROL", 0x2000},
    {"SS_ENDELLIPSIS", 0x4000},
    {"SS_PATHELLIPSIS", 0x8000},
    {"SS_WORDELLIPSIS", 0xC000},
    {"SS_ELLIPSISMASK", 0xC000},
    // List box styles.
    {"LBS_NOTIFY", 0x1},
    {"LBS_SORT", 0x2},
    {"LBS_NOREDRAW", 0x4},
    {"LBS_MULTIPLESEL", 0x8},
    {"LBS_OWNERDRAWFIXED", 0x10},
    {"LBS_OWNERDRAWVARIABLE", 0x20},
    {"LBS_HASSTRINGS", 0x40},
    {"LBS_USETABSTOPS", 0x80},
    {"LBS_NOINTEGRALHEIGHT", 0x100},
    {"LBS_MULTICOLUMN", 0x200},
    {"LBS_WANTKEYBOARDINPUT", 0x400},
    {"LBS_EXTENDEDSEL", 0x800},
    {"LBS_DISABLENOSCROLL", 0x1000},
    {"LBS_NODATA", 0x2000},
    {"LBS_NOSEL", 0x4000},
    {"LBS_COMBOBOX", 0x8000},
    {"LBS_STANDARD", 0xA00003},
    // Combo box styles.
    {"CBS_SIMPLE", 0x1},
    {"CBS_DROPDOWN", 0x2},
    {"CBS_DROPDOWNLIST", 0x3},
    {"CBS_OWNERDRAWFIXED", 0x10},
    {"CBS_OWNERDRAWVARIABLE", 0x20},
    {"CBS_AUTOHSCROLL", 0x40},
    {"CBS_OEMCONVERT", 0x80},
    {"CBS_SORT", 0x100},
    {"CBS_HASSTRINGS", 0x200},
    {"CBS_NOINTEGRALHEIGHT", 0x400},
    {"CBS_DISABLENOSCROLL", 0x800},
    {"CBS_UPPERCASE", 0x2000},
    {"CBS_LOWERCASE", 0x4000},
    // Control ids of the standard buttons.
    {"IDOK", 1},
    {"IDCANCEL", 2},
    {"IDABORT", 3},
    {"IDRETRY", 4},
    {"IDIGNORE", 5},
    {"IDYES", 6},
    {"IDNO", 7},
    {"IDCLOSE", 8},
    {"IDHELP", 9},
};

// How the writer spells bits: a family's type names (a value under a mask,
// not single bits) and its flags, in the order they are tried.
struct FamilyNames {
    uint32_t typeMask;
    std::span<const std::string_view> types;
    std::span<const std::string_view> flags;
};

constexpr std::string_view kDialogWindowFlags[] = {
    "WS_POPUP",        "WS_CHILD",    "WS_MINIMIZE",   "WS_VISIBLE",     "WS_DISABLED",   "WS_CLIPSIBLINGS",
    "WS_CLIPCHILDREN", "WS_MAXIMIZE", "WS_CAPTION",    "WS_BORDER",      "WS_DLGFRAME",   "WS_VSCROLL",
    "WS_HSCROLL",      "WS_SYSMENU",  "WS_THICKFRAME", "WS_MINIMIZEBOX", "WS_MAXIMIZEBOX"};
constexpr std::string_view kControlWindowFlags[] = {
    "WS_POPUP",        "WS_CHILD",    "WS_MINIMIZE",   "WS_VISIBLE", "WS_DISABLED", "WS_CLIPSIBLINGS",
    "WS_CLIPCHILDREN", "WS_MAXIMIZE", "WS_CAPTION",    "WS_BORDER",  "WS_DLGFRAME", "WS_VSCROLL",
    "WS_HSCROLL",      "WS_SYSMENU",  "WS_THICKFRAME", "WS_GROUP",   "WS_TABSTOP"};
constexpr std::string_view kDialogFlags[] = {
    "DS_ABSALIGN",  "DS_SYSMODAL", "DS_3DLOOK",      "DS_FIXEDSYS",   "DS_NOFAILCREATE",
    "DS_LOCALEDIT", "DS_SETFONT",  "DS_MODALFRAME",  "DS_NOIDLEMSG",  "DS_SETFOREGROUND",
    "DS_CONTROL",   "DS_CENTER",   "DS_CENTERMOUSE", "DS_CONTEXTHELP"};
constexpr std::string_view kButtonTypes[] = {"BS_DEFPUSHBUTTON", "BS_CHECKBOX",   "BS_AUTOCHECKBOX",
                                             "BS_RADIOBUTTON",   "BS_3STATE",     "BS_AUTO3STATE",
                                             "BS_GROUPBOX",      "BS_USERBUTTON", "BS_AUTORADIOBUTTON",
                                             "BS_PUSHBOX",       "BS_OWNERDRAW"};
constexpr std::string_view kButtonFlags[] = {
    "BS_LEFTTEXT", "BS_ICON",   "BS_BITMAP",   "BS_CENTER",    "BS_LEFT",   "BS_RIGHT", "BS_VCENTER",
    "BS_TOP",      "BS_BOTTOM", "BS_PUSHLIKE", "BS_MULTILINE", "BS_NOTIFY", "BS_FLAT"};
constexpr std::string_view kEditFlags[] = {
    "ES_CENTER",   "ES_RIGHT",       "ES_MULTILINE",   "ES_UPPERCASE", "ES_LOWERCASE",
    "ES_PASSWORD", "ES_AUTOVSCROLL", "ES_AUTOHSCROLL", "ES_NOHIDESEL", "ES_OEMCONVERT",
    "ES_READONLY", "ES_WANTRETURN",  "ES_NUMBER"};
constexpr std::string_view kStaticTypes[] = {
    "SS_CENTER",     "SS_RIGHT",     "SS_ICON",        "SS_BLACKRECT",  "SS_GRAYRECT",   "SS_WHITERECT",
    "SS_BLACKFRAME", "SS_GRAYFRAME", "SS_WHITEFRAME",  "SS_USERITEM",   "SS_SIMPLE",     "SS_LEFTNOWORDWRAP",
    "SS_OWNERDRAW",  "SS_BITMAP",    "SS_ENHMETAFILE", "SS_ETCHEDHORZ", "SS_ETCHEDVERT", "SS_ETCHEDFRAME"};
constexpr std::string_view kStaticFlags[] = {"SS_REALSIZECONTROL", "SS_NOPREFIX",    "SS_NOTIFY",
                                             "SS_CENTERIMAGE",     "SS_RIGHTJUST",   "SS_REALSIZEIMAGE",
                                             "SS_SUNKEN",          "SS_EDITCONTROL", "SS_WORDELLIPSIS",
                                             "SS_ENDELLIPSIS",     "SS_PATHELLIPSIS"};
constexpr std::string_view kListBoxFlags[] = {"LBS_NOTIFY",
                                              "LBS_SORT",
                                              "LBS_NOREDRAW",
                                              "LBS_MULTIPLESEL",
                                              "LBS_OWNERDRAWFIXED",
                                              "LBS_OWNERDRAWVARIABLE",
                                              "LBS_HASSTRINGS",
                                              "LBS_USETABSTOPS",
                                              "LBS_NOINTEGRALHEIGHT",
                                              "LBS_MULTICOLUMN",
                                              "LBS_WANTKEYBOARDINPUT",
                                              "LBS_EXTENDEDSEL",
                                              "LBS_DISABLENOSCROLL",
                                              "LBS_NODATA",
                                              "LBS_NOSEL",
                                              "LBS_COMBOBOX"};
constexpr std::string_view kComboBoxTypes[] = {"CBS_SIMPLE", "CBS_DROPDOWN", "CBS_DROPDOWNLIST"};
constexpr std::string_view kComboBoxFlags[] = {
    "CBS_OWNERDRAWFIXED", "CBS_OWNERDRAWVARIABLE", "CBS_AUTOHSCROLL",     "CBS_OEMCONVERT", "CBS_SORT",
    "CBS_HASSTRINGS",     "CBS_NOINTEGRALHEIGHT",  "CBS_DISABLENOSCROLL", "CBS_UPPERCASE",  "CBS_LOWERCASE"};
constexpr std::string_view kExStyleFlags[] = {
    "WS_EX_DLGMODALFRAME", "WS_EX_NOPARENTNOTIFY", "WS_EX_TOPMOST",    "WS_EX_ACCEPTFILES",
    "WS_EX_TRANSPARENT",   "WS_EX_MDICHILD",       "WS_EX_TOOLWINDOW", "WS_EX_WINDOWEDGE",
    "WS_EX_CLIENTEDGE",    "WS_EX_CONTEXTHELP",    "WS_EX_RIGHT",      "WS_EX_RTLREADING",
    "WS_EX_LEFTSCROLLBAR", "WS_EX_CONTROLPARENT",  "WS_EX_STATICEDGE", "WS_EX_APPWINDOW"};

FamilyNames NamesOf(StyleFamily family) {
    switch (family) {
        case StyleFamily::Dialog:
            return {0, {}, kDialogFlags};
        case StyleFamily::Button:
            return {0xF, kButtonTypes, kButtonFlags};
        case StyleFamily::Edit:
            return {0, {}, kEditFlags};
        case StyleFamily::Static:
            return {0x1F, kStaticTypes, kStaticFlags};
        case StyleFamily::ListBox:
            return {0, {}, kListBoxFlags};
        case StyleFamily::ComboBox:
            return {0x3, kComboBoxTypes, kComboBoxFlags};
        case StyleFamily::Window:
            break;
    }
    return {0, {}, {}};
}

// Appends the names of list whose every bit is in bits, taking them out.
void TakeNames(std::span<const std::string_view> list, uint32_t& bits, std::string& out, const char* prefix) {
    for (std::string_view name : list) {
        uint32_t value = *LookUpRcName(name);
        if (value == 0 || (bits & value) != value) continue;
        bits &= ~value;
        if (!out.empty()) out += " | ";
        out += prefix;
        out += name;
    }
}

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

}  // namespace

std::optional<uint32_t> LookUpRcName(std::string_view name) {
    auto found =
        std::find_if(std::begin(kNames), std::end(kNames), [&](const RcName& n) { return n.name == name; });
    if (found == std::end(kNames)) return std::nullopt;
    return found->value;
}

std::span<const RcName> AllRcNames() {
    return kNames;
}

StyleFamily FamilyOfClass(std::u16string_view name) {
    static constexpr std::pair<std::u16string_view, StyleFamily> kClasses[] = {
        {u"BUTTON", StyleFamily::Button},
        {u"EDIT", StyleFamily::Edit},
        {u"STATIC", StyleFamily::Static},
        {u"LISTBOX", StyleFamily::ListBox},
        {u"COMBOBOX", StyleFamily::ComboBox}};
    for (auto [className, family] : kClasses) {
        bool same =
            std::equal(name.begin(), name.end(), className.begin(), className.end(),
                       [](char16_t a, char16_t b) { return (a >= u'a' && a <= u'z' ? a - 32 : a) == b; });
        if (same) return family;
    }
    return StyleFamily::Window;
}

StyleFamily FamilyOfOrdinal(uint16_t ordinal) {
    static constexpr std::array kOrdinals = {StyleFamily::Button, StyleFamily::Edit,
                                             StyleFamily::Static, StyleFamily::ListBox,
                                             StyleFamily::Window, StyleFamily::ComboBox};
    if (ordinal < 0x80 || ordinal >= 0x80 + kOrdinals.size()) return StyleFamily::Window;
    return kOrdinals[ordinal - 0x80];
}

std::string NameStyleBits(uint32_t bits, StyleFamily family, bool negate) {
    const char* prefix = negate ? "NOT " : "";
    FamilyNames names = NamesOf(family);
    std::string out;
    if (uint32_t type = bits & names.typeMask; type != 0) {
        for (std::string_view name : names.types) {
            if (*LookUpRcName(name) != type) continue;
            bits &= ~type;
            out = std::string(prefix) + std::string(name);
            break;
        }
    }
    TakeNames(names.flags, bits, out, prefix);
    TakeNames(family == StyleFamily::Dialog ? std::span(kDialogWindowFlags) : std::span(kControlWindowFlags),
              bits, out, prefix);
    if (bits != 0) {
        if (!out.empty()) out += " | ";
        out += prefix + Hex(bits);
    }
    return out;
}

std::string NameExStyleBits(uint32_t bits) {
    std::string out;
    TakeNames(kExStyleFlags, bits, out, "");
    if (bits != 0) {
        if (!out.empty()) out += " | ";
        out += Hex(bits);
    }
    return out.empty() ? "0" : out;
}

}  // namespace tallow::codec
