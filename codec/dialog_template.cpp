// Classic in-memory dialog templates: the reader checks every field against
// the end of the bytes, the writer lays out the fields in the published order.
#include "codec/dialog_template.h"

#include "codec/byte_cursor.h"

namespace tallow::codec {
namespace {

// The first unit of a name-or-ordinal field that announces an ordinal.
constexpr uint16_t kOrdinalMark = 0xFFFF;

// Reads UTF-16 units up to and including a zero unit; false when the bytes
// end before the zero.
bool ReadString(ByteCursor& in, std::u16string& out) {
    out.clear();
    for (;;) {
        uint16_t unit;
        if (!in.ReadU16(unit)) return false;
        if (unit == 0) return true;
        out.push_back(static_cast<char16_t>(unit));
    }
}

// sz_Or_Ord: 0x0000 (none), 0xFFFF and an ordinal, or a string.
bool ReadNameOrOrdinal(ByteCursor& in, NameOrOrdinal& out) {
    ByteCursor peek = in;
    uint16_t first;
    if (!peek.ReadU16(first)) return false;
    if (first == kOrdinalMark) {
        in = peek;
        out.isOrdinal = true;
        out.name.clear();
        return in.ReadU16(out.ordinal);
    }
    out.isOrdinal = false;
    out.ordinal = 0;
    return ReadString(in, out.name);
}

bool ReadRect(ByteCursor& in, int16_t& x, int16_t& y, int16_t& cx, int16_t& cy) {
    return in.ReadI16(x) && in.ReadI16(y) && in.ReadI16(cx) && in.ReadI16(cy);
}

// One DLGITEMTEMPLATE, already aligned: style, exStyle, x, y, cx, cy, id,
// class, title, creation-data size and that many bytes.
bool ReadItem(ByteCursor& in, DialogItem& item) {
    if (!in.ReadU32(item.style) || !in.ReadU32(item.exStyle)) return false;
    if (!ReadRect(in, item.x, item.y, item.cx, item.cy) || !in.ReadU16(item.id)) return false;
    if (!ReadNameOrOrdinal(in, item.windowClass) || !ReadNameOrOrdinal(in, item.title)) return false;
    uint16_t dataSize;
    std::span<const uint8_t> data;
    if (!in.ReadU16(dataSize) || !in.ReadBytes(dataSize, data)) return false;
    item.creationData.assign(data.begin(), data.end());
    return true;
}

void WriteString(ByteWriter& out, std::u16string_view text) {
    for (char16_t unit : text)
        out.U16(unit);
    out.U16(0);
}

void WriteNameOrOrdinal(ByteWriter& out, const NameOrOrdinal& field) {
    if (field.isOrdinal) {
        out.U16(kOrdinalMark);
        out.U16(field.ordinal);
    } else {
        WriteString(out, field.name);
    }
}

void WriteRect(ByteWriter& out, int16_t x, int16_t y, int16_t cx, int16_t cy) {
    for (int16_t value : {x, y, cx, cy})
        out.U16(static_cast<uint16_t>(value));
}

}  // namespace

bool ReadDialogTemplate(std::span<const uint8_t> bytes, DialogTemplate& out) {
    ByteCursor in(bytes);
    uint16_t itemCount;
    if (!in.ReadU32(out.style) || !in.ReadU32(out.exStyle) || !in.ReadU16(itemCount)) return false;
    if (!ReadRect(in, out.x, out.y, out.cx, out.cy)) return false;
    if (!ReadNameOrOrdinal(in, out.menu) || !ReadNameOrOrdinal(in, out.windowClass)) return false;
    if (!ReadString(in, out.title)) return false;
    out.pointSize = 0;
    out.typeface.clear();
    if ((out.style & kDsSetFont) != 0 && (!in.ReadU16(out.pointSize) || !ReadString(in, out.typeface)))
        return false;
    // An item takes at least 24 bytes (fixed fields, an empty class and
    // title, the data size), so a count beyond what remains is refused
    // before anything is allocated for it.
    constexpr size_t kSmallestItem = 24;
    if (itemCount > in.Remaining() / kSmallestItem) return false;
    out.items.assign(itemCount, DialogItem{});
    for (DialogItem& item : out.items) {
        if (!in.AlignTo4() || !ReadItem(in, item)) return false;
    }
    return true;
}

std::vector<uint8_t> WriteDialogTemplate(const DialogTemplate& dialog) {
    ByteWriter out;
    out.U32(dialog.style);
    out.U32(dialog.exStyle);
    out.U16(static_cast<uint16_t>(dialog.items.size()));
    WriteRect(out, dialog.x, dialog.y, dialog.cx, dialog.cy);
    WriteNameOrOrdinal(out, dialog.menu);
    WriteNameOrOrdinal(out, dialog.windowClass);
    WriteString(out, dialog.title);
    if ((dialog.style & kDsSetFont) != 0) {
        out.U16(dialog.pointSize);
        WriteString(out, dialog.typeface);
    }
    for (const DialogItem& item : dialog.items) {
        out.AlignTo4();
        out.U32(item.style);
        out.U32(item.exStyle);
        WriteRect(out, item.x, item.y, item.cx, item.cy);
        out.U16(item.id);
        WriteNameOrOrdinal(out, item.windowClass);
        WriteNameOrOrdinal(out, item.title);
        out.U16(static_cast<uint16_t>(item.creationData.size()));
        out.Bytes(item.creationData);
    }
    return out.Take();
}

std::u16string WidenBytes(std::string_view text) {
    std::u16string wide;
    wide.reserve(text.size());
    for (char c : text)
        wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    return wide;
}

std::string NarrowUnits(std::u16string_view text) {
    std::string narrow;
    narrow.reserve(text.size());
    for (char16_t unit : text)
        narrow.push_back(static_cast<char>(unit & 0xFF));
    return narrow;
}

}  // namespace tallow::codec
