// The control kinds' table and the fields control tools add to text tools.
#include "ide/model/control_tool.h"

#include <iterator>

#include "ide/model/tool_surface.h"
#include "ide/model/tool_text_reader.h"

namespace tallow::ide {

namespace {

constexpr ControlKind kControlKinds[] = {
    {ToolCode::Dialog, "Dialog", "DIALOG", 0x10C00084, 0x10CB0084, kDialogChildId},
    {ToolCode::Button, "Button", "BUTTON", 0x50000000, 0x50030000, kNextChildId},
    {ToolCode::TextBox, "Text Box", "EDIT", 0x50800000, 0x50830080, kNextChildId},
    {ToolCode::ListBox, "List Box", "LISTBOX", 0x50800040, 0x50830040, kNextChildId},
    {ToolCode::CheckBox, "Check Box", "BUTTON", 0x50000000, 0x50030003, kNextChildId},
    {ToolCode::RadioButton, "Radio Button", "BUTTON", 0x50000009, 0x50030009, kNextChildId},
    {ToolCode::Static, "Static", "STATIC", 0x50020000, 0x50020000, kStaticChildId},
    {ToolCode::ComboBox, "Combo Box", "COMBOBOX", 0x50800200, 0x50830202, kNextChildId},
};

[[noreturn]] void CutShort(const char* field) {
    throw ToolFormatError(std::string("the tool record ends before its ") + field);
}

}  // namespace

std::span<const ControlKind> ControlKinds() {
    return kControlKinds;
}

const ControlKind* FindControlKind(ToolCode code) {
    for (const ControlKind& kind : kControlKinds)
        if (kind.code == code) return &kind;
    return nullptr;
}

TControlTool::TControlTool(ToolCode code) : TTextTool(code), kind_(FindControlKind(code)) {
    baseStyle = kind_->baseStyle;
    style = kind_->initialStyle;
    windowClass = kind_->windowClass;
}

void TControlTool::Created(ToolSurface& surface) {
    TTextTool::Created(surface);
    if (!idGiven_)
        childId =
            static_cast<uint16_t>(kind_->fixedId != kNextChildId ? kind_->fixedId : surface.NextChildId());
    if (Code() == ToolCode::Dialog) surface.MakeDialogTool(*this);
}

void TControlTool::SaveToFile(codec::ByteWriter& out) const {
    TTextTool::SaveToFile(out);
    out.U16(childId);
    out.U32(baseStyle);
    out.U32(style);
    WriteCountedString(out, windowClass);
}

void TControlTool::LoadFromFile(codec::ByteCursor& in) {
    TTextTool::LoadFromFile(in);
    if (!in.ReadU16(childId)) CutShort("child ID");
    if (!in.ReadU32(baseStyle)) CutShort("base style");
    if (!in.ReadU32(style)) CutShort("style");
    windowClass = ReadCountedString(in, "window class");
}

void TControlTool::WriteText(std::string& out) const {
    AppendNumber(out, childId);
    // Styles as the signed 32-bit numbers they are in the text form.
    AppendNumber(out, static_cast<int32_t>(baseStyle));
    AppendNumber(out, static_cast<int32_t>(style));
    TTextTool::WriteText(out);
}

void TControlTool::ReadText(ToolTextReader& in) {
    // Styles are accepted as signed or unsigned 32-bit numbers.
    constexpr int64_t kStyleLow = INT32_MIN, kStyleHigh = UINT32_MAX;
    childId = static_cast<uint16_t>(in.Number("child ID", 0, 0xFFFF));
    baseStyle = static_cast<uint32_t>(in.Number("base style", kStyleLow, kStyleHigh));
    style = static_cast<uint32_t>(in.Number("style", kStyleLow, kStyleHigh));
    TTextTool::ReadText(in);
}

bool TComboBoxTool::HitTest(ToolPoint p) const {
    ToolRect edit = Rect();
    edit.bottom = std::min(edit.bottom, edit.top + EditPartHeight());
    return edit.Contains(p);
}

}  // namespace tallow::ide
