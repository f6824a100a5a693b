// Dialog templates from designer surfaces and back.
#include "ide/model/template_generator.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "ide/model/control_tool.h"
#include "ide/model/tool_factory.h"

namespace tallow::ide {

namespace {

int RoundHalfEven(double value) {
    double low = std::floor(value);
    double fraction = value - low;
    double rounded = low;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(low, 2.0) != 0.0)) rounded = low + 1;
    return static_cast<int>(std::clamp(rounded, -2147483648.0, 2147483647.0));
}

// Template coordinates have 16 bits: a far-off control is held at the edge
// of the range rather than wrapped to the other side.
int16_t Field16(int value) {
    return static_cast<int16_t>(std::clamp(value, -32768, 32767));
}

// WS_VISIBLE is part of the dialog tool's base style; the template leaves it
// out so that the dialog stays hidden until it is shown.
constexpr uint32_t kHeaderStyleFlip = kWsVisible;

// BUTTON items: which button kind a style is, by the bits of these kinds.
constexpr uint32_t kRadioBits = codec::kBsAutoRadioButton;
constexpr uint32_t kCheckBits = codec::kBsAutoCheckBox;
constexpr uint32_t kThreeStateBits = codec::kBsAuto3State;

// The kind of a template item, or kCount for a class the designer skips.
ToolCode KindOfItem(const codec::DialogItem& item) {
    struct ClassRow {
        const char* name;
        uint16_t ordinal;  // the predefined class's number in a template
        ToolCode code;
    };
    static constexpr ClassRow kClasses[] = {
        {"BUTTON", 0x80, ToolCode::Button},     {"EDIT", 0x81, ToolCode::TextBox},
        {"STATIC", 0x82, ToolCode::Static},     {"LISTBOX", 0x83, ToolCode::ListBox},
        {"COMBOBOX", 0x85, ToolCode::ComboBox},
    };
    std::string name = codec::NarrowUnits(item.windowClass.name);
    for (const ClassRow& row : kClasses) {
        bool match = item.windowClass.isOrdinal ? item.windowClass.ordinal == row.ordinal : name == row.name;
        if (!match) continue;
        if (row.code != ToolCode::Button) return row.code;
        if ((item.style & kRadioBits) == kRadioBits) return ToolCode::RadioButton;
        if ((item.style & kCheckBits) == kCheckBits || (item.style & kThreeStateBits) == kThreeStateBits)
            return ToolCode::CheckBox;
        return ToolCode::Button;
    }
    return ToolCode::kCount;
}

TControlTool* DialogToolOf(const ToolSurface& surface) {
    return dynamic_cast<TControlTool*>(surface.DialogTool());
}

}  // namespace

int UnitsX(int pixels, const DialogMetrics& m) {
    return RoundHalfEven(pixels * 4.0 / m.bx);
}
int UnitsY(int pixels, const DialogMetrics& m) {
    return RoundHalfEven(pixels * 8.0 / m.by);
}
int PixelsX(int units, const DialogMetrics& m) {
    return RoundHalfEven(units * m.bx * 0.25);
}
int PixelsY(int units, const DialogMetrics& m) {
    return RoundHalfEven(units * m.by * 0.125);
}

codec::DialogTemplate BuildTemplate(const ToolSurface& surface, const DialogMetrics& m,
                                    std::string_view dialogName) {
    const TControlTool* dialogTool = DialogToolOf(surface);
    if (dialogTool == nullptr || m.bx <= 0 || m.by <= 0) throw TemplateError(kDialogFormatError);
    ToolRect d = dialogTool->Rect();
    codec::DialogTemplate out;
    out.style = (dialogTool->WindowStyle() | codec::kDsSetFont) ^ kHeaderStyleFlip;
    out.x = Field16(UnitsX(d.left, m));
    out.y = Field16(UnitsY(d.top + m.c, m));
    out.cx = Field16(UnitsX(d.right - d.left, m));
    out.cy = Field16(UnitsY(d.bottom - d.top - m.c, m));
    out.title = codec::WidenBytes(dialogTool->caption);
    out.pointSize = kTemplatePointSize;
    out.typeface = kTemplateTypeface;
    for (int i = 0; i < surface.Count(); ++i) {
        auto* control = dynamic_cast<const TControlTool*>(surface.At(i));
        if (control == nullptr || control == dialogTool) continue;
        ToolRect r = control->Rect();
        codec::DialogItem item;
        item.style = control->WindowStyle();
        item.x = Field16(UnitsX(r.left - d.left, m));
        item.y = Field16(UnitsY(r.top - d.top - m.c, m));
        item.cx = Field16(UnitsX(r.right - r.left, m));
        item.cy = Field16(UnitsY(r.bottom - r.top, m));
        item.id = control->childId;
        item.windowClass = codec::NameOrOrdinal::Named(codec::WidenBytes(control->windowClass));
        item.title = codec::NameOrOrdinal::Named(codec::WidenBytes(control->caption));
        out.items.push_back(std::move(item));
    }
    if (out.items.size() > kMaxTemplateItems)
        throw TemplateError("Dialog \"" + std::string(dialogName) +
                            "\" has more controls than a template holds");
    return out;
}

std::vector<uint8_t> WriteTemplate(const ToolSurface& surface, const DialogMetrics& metrics,
                                   std::string_view dialogName) {
    return codec::WriteDialogTemplate(BuildTemplate(surface, metrics, dialogName));
}

void ReadTemplate(ToolSurface& surface, std::span<const uint8_t> bytes, const DialogMetrics& metrics) {
    codec::DialogTemplate dialog;
    if (!codec::ReadDialogTemplate(bytes, dialog)) throw TemplateError(kDialogFormatError);
    ReadTemplate(surface, dialog, metrics);
}

void ReadTemplate(ToolSurface& surface, const codec::DialogTemplate& dialog, const DialogMetrics& m) {
    TControlTool* dialogTool = DialogToolOf(surface);
    if (dialogTool == nullptr || m.bx <= 0 || m.by <= 0) throw TemplateError(kDialogFormatError);
    dialogTool->style = dialog.style ^ codec::kDsSetFont;
    int left = PixelsX(dialog.x, m);
    int top = PixelsY(dialog.y, m) - m.c;
    dialogTool->SetRect({left, top, left + PixelsX(dialog.cx, m), top + PixelsY(dialog.cy, m) + m.c});
    dialogTool->caption = codec::NarrowUnits(dialog.title);
    for (const codec::DialogItem& item : dialog.items) {
        ToolCode code = KindOfItem(item);
        if (code == ToolCode::kCount) continue;
        // The item's own ID, so that loading does not search the surface for
        // the next free one once per item.
        std::unique_ptr<TTool> tool = MakeTool(code);
        static_cast<TControlTool&>(*tool).GiveChildId(item.id);
        auto& control = static_cast<TControlTool&>(surface.Add(std::move(tool)));
        int x = left + PixelsX(item.x, m);
        int y = top + m.c + PixelsY(item.y, m);
        control.SetRect({x, y, x + PixelsX(item.cx, m), y + PixelsY(item.cy, m)});
        control.caption = item.title.isOrdinal ? std::string() : codec::NarrowUnits(item.title.name);
        control.style = item.style;
    }
    surface.SetModified(true);
}

}  // namespace tallow::ide
