// The control tools: the dialog frame and the seven control kinds, each a
// rectangle with a caption, a window class, a child ID and style bits. One
// row of kControlKinds per kind holds what differs between them.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "codec/dialog_styles.h"
#include "ide/model/tool.h"

namespace tallow::ide {

// A child ID the kind takes instead of the next free one.
inline constexpr int kNextChildId = 0;

struct ControlKind {
    ToolCode code;
    const char* name;         // as the property dialog names it
    const char* windowClass;  // as the template names it
    uint32_t baseStyle;       // always part of the window style
    uint32_t initialStyle;    // the part the user edits, when made
    int fixedId;              // kNextChildId or the kind's own ID
};

// One row per control kind, dialog first.
std::span<const ControlKind> ControlKinds();
// The row of a control code, or nullptr for the shapes.
const ControlKind* FindControlKind(ToolCode code);

// The style bits the template and the designer read.
using codec::kBsDefPushButton;
using codec::kSsCenter;
using codec::kSsRight;
using codec::kWsBorder;
using codec::kWsVisible;

class TControlTool : public TTextTool {
public:
    explicit TControlTool(ToolCode code);

    const ControlKind& Kind() const { return *kind_; }
    // The child ID rule of the kind; the dialog tool also makes itself the
    // surface's dialog tool.
    void Created(ToolSurface& surface) override;
    void SaveToFile(codec::ByteWriter& out) const override;
    void LoadFromFile(codec::ByteCursor& in) override;

    uint32_t WindowStyle() const { return baseStyle | style; }
    // Before the tool joins a surface: it keeps this ID instead of taking
    // one by the kind's rule (a loaded template's item).
    void GiveChildId(uint16_t id) {
        childId = id;
        idGiven_ = true;
    }

    uint32_t baseStyle;
    uint32_t style;
    std::string windowClass;
    uint16_t childId = 0;

protected:
    void WriteText(std::string& out) const override;
    void ReadText(ToolTextReader& in) override;

private:
    const ControlKind* kind_;
    bool idGiven_ = false;
};

class TDialogTool final : public TControlTool {
public:
    TDialogTool() : TControlTool(ToolCode::Dialog) {}
};
class TStaticTool final : public TControlTool {
public:
    TStaticTool() : TControlTool(ToolCode::Static) {}
};
class TTextBoxTool final : public TControlTool {
public:
    TTextBoxTool() : TControlTool(ToolCode::TextBox) {}
};
class TButtonTool final : public TControlTool {
public:
    TButtonTool() : TControlTool(ToolCode::Button) {}
};
class TCheckBoxTool : public TControlTool {
public:
    TCheckBoxTool() : TControlTool(ToolCode::CheckBox) {}

protected:
    explicit TCheckBoxTool(ToolCode code) : TControlTool(code) {}
};
class TRadioButtonTool final : public TCheckBoxTool {
public:
    TRadioButtonTool() : TCheckBoxTool(ToolCode::RadioButton) {}
};
class TListBoxTool final : public TControlTool {
public:
    TListBoxTool() : TControlTool(ToolCode::ListBox) {}
};

// The height of the drop-down bitmap the combo box draws at its right end,
// until the window tells the real one.
inline constexpr int kDefaultComboBitmapHeight = 16;

// Only the edit part (bitmap height + 3 pixels from the top) is hit.
class TComboBoxTool final : public TControlTool {
public:
    TComboBoxTool() : TControlTool(ToolCode::ComboBox) {}

    bool HitTest(ToolPoint p) const override;
    int EditPartHeight() const { return bitmapHeight + 3; }

    int bitmapHeight = kDefaultComboBitmapHeight;
};

}  // namespace tallow::ide
