// The dialog-script writer: every header field and item as a statement, with
// the style bits that a statement does not imply spelled out.
#include "tools/tallowcod/dialog_script_writer.h"

#include <algorithm>
#include <cstdio>

#include "tools/tallowcod/rc_controls.h"
#include "tools/tallowcod/rc_lexer.h"
#include "tools/tallowcod/rc_names.h"

namespace tallow::codec {
namespace {

bool IsIdentifier(std::string_view text) {
    auto start = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    return !text.empty() && start(text[0]) &&
           std::all_of(text.begin(), text.end(), [&](char c) { return start(c) || (c >= '0' && c <= '9'); });
}

// A string literal the lexer reads back to the same units: "" for a quote,
// octal escapes for bytes outside printable ASCII, L"..." with \x escapes
// when a unit does not fit in 8 bits.
std::string Quote(std::u16string_view units) {
    bool wide = std::any_of(units.begin(), units.end(), [](char16_t u) { return u > 0xFF; });
    std::string out = wide ? "L\"" : "\"";
    for (char16_t unit : units) {
        char escape[8];
        if (unit == u'"') {
            out += "\"\"";
        } else if (unit == u'\\') {
            out += "\\\\";
        } else if (unit >= 0x20 && unit < 0x7F) {
            out += static_cast<char>(unit);
        } else if (unit > 0xFF) {
            std::snprintf(escape, sizeof escape, "\\x%04X", static_cast<unsigned>(unit));
            out += escape;
        } else {
            std::snprintf(escape, sizeof escape, "\\%03o", static_cast<unsigned>(unit));
            out += escape;
        }
    }
    return out + "\"";
}

// The style expression that turns start into style; "0" when they agree.
std::string StyleChange(uint32_t start, uint32_t style, StyleFamily family) {
    std::string set = NameStyleBits(style & ~start, family, false);
    std::string clear = NameStyleBits(start & ~style, family, true);
    if (set.empty() && clear.empty()) return "0";
    if (set.empty() || clear.empty()) return set + clear;
    return set + " | " + clear;
}

std::string Number(int value) {
    return std::to_string(value);
}

std::string Rect(int16_t x, int16_t y, int16_t cx, int16_t cy) {
    return Number(x) + ", " + Number(y) + ", " + Number(cx) + ", " + Number(cy);
}

// 0xFFFF, the id of controls nobody addresses, reads better as -1.
std::string Id(uint16_t id) {
    return id == 0xFFFF ? "-1" : Number(id);
}

std::string ResourceName(const NameOrOrdinal& field) {
    if (field.isOrdinal) return Number(field.ordinal);
    std::string narrow = NarrowUnits(field.name);
    return IsIdentifier(narrow) && WidenBytes(narrow) == field.name ? narrow : Quote(field.name);
}

StyleFamily FamilyOf(const NameOrOrdinal& windowClass) {
    return windowClass.isOrdinal ? FamilyOfOrdinal(windowClass.ordinal) : FamilyOfClass(windowClass.name);
}

const ControlStatement* StatementFor(const DialogItem& item) {
    if (!item.windowClass.isOrdinal || item.title.isOrdinal) return nullptr;
    for (const ControlStatement& row : kControlStatements) {
        if (row.classOrdinal == item.windowClass.ordinal && (item.style & row.typeMask) == row.typeValue &&
            (row.hasText || item.title.name.empty()))
            return &row;
    }
    return nullptr;
}

std::string ControlLine(const DialogItem& item) {
    const ControlStatement* row = StatementFor(item);
    std::string line = "    ";
    if (row == nullptr) {
        char ordinal[8];
        std::snprintf(ordinal, sizeof ordinal, "0x%X", static_cast<unsigned>(item.windowClass.ordinal));
        line += "CONTROL " + (item.title.isOrdinal ? Number(item.title.ordinal) : Quote(item.title.name)) +
                ", " + Id(item.id) + ", " +
                (item.windowClass.isOrdinal ? std::string(ordinal) : Quote(item.windowClass.name)) + ", " +
                StyleChange(kControl, item.style, FamilyOf(item.windowClass)) + ", " +
                Rect(item.x, item.y, item.cx, item.cy);
        if (item.exStyle != 0) line += ", " + NameExStyleBits(item.exStyle);
        return line + "\n";
    }
    line += std::string(row->keyword) + " ";
    if (row->hasText) line += Quote(item.title.name) + ", ";
    line += Id(item.id) + ", " + Rect(item.x, item.y, item.cx, item.cy);
    if (item.style != row->defaultStyle || item.exStyle != 0)
        line += ", " + StyleChange(row->baseStyle, item.style, FamilyOfOrdinal(row->classOrdinal));
    if (item.exStyle != 0) line += ", " + NameExStyleBits(item.exStyle);
    return line + "\n";
}

}  // namespace

std::string WriteDialogScript(std::string_view name, const DialogTemplate& dialog) {
    for (const DialogItem& item : dialog.items) {
        if (!item.creationData.empty())
            throw DialogScriptError("dialog " + std::string(name) + ": control " + std::to_string(item.id) +
                                    " carries creation data, which a DIALOG script cannot hold");
    }
    // The include line lets the resource compiler read the file too; the
    // reader here skips it and knows the names itself.
    std::string text = "#include <windows.h>\n\n";
    text += (IsIdentifier(name) ? std::string(name) : Quote(WidenBytes(name))) + " DIALOG " +
            Rect(dialog.x, dialog.y, dialog.cx, dialog.cy) + "\n";
    // CAPTION adds WS_CAPTION wherever it stands; before STYLE, the style
    // can take the caption bits away again.
    bool caption = !dialog.title.empty();
    bool captionFirst = caption && (dialog.style & kWsCaption) != kWsCaption;
    if (captionFirst) text += "CAPTION " + Quote(dialog.title) + "\n";
    text += "STYLE " + StyleChange(captionFirst ? kWsCaption : 0, dialog.style, StyleFamily::Dialog) + "\n";
    if (dialog.exStyle != 0) text += "EXSTYLE " + NameExStyleBits(dialog.exStyle) + "\n";
    if (caption && !captionFirst) text += "CAPTION " + Quote(dialog.title) + "\n";
    if ((dialog.style & kDsSetFont) != 0)
        text += "FONT " + Number(dialog.pointSize) + ", " + Quote(dialog.typeface) + "\n";
    if (dialog.menu.isOrdinal || !dialog.menu.name.empty())
        text += "MENU " + ResourceName(dialog.menu) + "\n";
    if (dialog.windowClass.isOrdinal)
        text += "CLASS " + Number(dialog.windowClass.ordinal) + "\n";
    else if (!dialog.windowClass.name.empty())
        text += "CLASS " + Quote(dialog.windowClass.name) + "\n";
    text += "BEGIN\n";
    for (const DialogItem& item : dialog.items)
        text += ControlLine(item);
    return text + "END\n";
}

}  // namespace tallow::codec
