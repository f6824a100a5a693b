// The option pages of the control property dialog and its state.
#include "ide/model/control_tool_form.h"

#include <algorithm>
#include <iterator>

#include "ide/model/tool_surface.h"

namespace tallow::ide {

namespace {

using enum OptionKind;
using namespace codec;  // the k... style values of codec/dialog_styles.h
constexpr uint32_t kTabStop = kWsTabStop;
constexpr uint32_t kGroup = kWsGroup;

// Every page's options, pages together, each in its order on the form.
constexpr StyleOption kOptions[] = {
    {ToolCode::Button, "Default", kBsDefPushButton, Check, 0},
    {ToolCode::Button, "Tab Stop", kTabStop, Check, 0},
    {ToolCode::Button, "Group", kGroup, Check, 0},

    {ToolCode::TextBox, "Tab Stop", kTabStop, Check, 0},
    {ToolCode::TextBox, "Group", kGroup, Check, 0},
    {ToolCode::TextBox, "Auto HScroll", kEsAutoHScroll, Check, 0},
    {ToolCode::TextBox, "Normal", 0, Radio, 1},
    {ToolCode::TextBox, "Lowercase", kEsLowerCase, Radio, 1},
    {ToolCode::TextBox, "Uppercase", kEsUpperCase, Radio, 1},
    {ToolCode::TextBox, "Single-Line", 0, Radio, 2},
    {ToolCode::TextBox, "Multi-Line", kEsMultiline | kEsWantReturn, Radio, 2},
    {ToolCode::TextBox, "Password", kEsPassword, Radio, 2},

    {ToolCode::Dialog, "System Menu", kWsSysMenu, Check, 0},
    {ToolCode::Dialog, "Minimize Box", kWsMinimizeBox, Check, 0},
    {ToolCode::Dialog, "Maximize Box", kWsMaximizeBox, Check, 0},

    {ToolCode::CheckBox, "Tab Stop", kTabStop, Check, 0},
    {ToolCode::CheckBox, "Group", kGroup, Check, 0},
    {ToolCode::CheckBox, "Normal", kBsAutoCheckBox, Radio, 1},
    {ToolCode::CheckBox, "Tri-State", kBsAuto3State, Radio, 1},
    {ToolCode::CheckBox, "Text on Left", kBsLeftText, Check, 0},

    {ToolCode::RadioButton, "Text on Left", kBsLeftText, Check, 0},
    {ToolCode::RadioButton, "Tab Stop", kTabStop, Check, 0},
    {ToolCode::RadioButton, "Group", kGroup, Check, 0},

    {ToolCode::ListBox, "Tab Stop", kTabStop, Check, 0},
    {ToolCode::ListBox, "Group", kGroup, Check, 0},
    {ToolCode::ListBox, "Disable No-Scroll", kLbsDisableNoScroll, Check, 0},
    {ToolCode::ListBox, "No Integral Height", kLbsNoIntegralHeight, Check, 0},
    {ToolCode::ListBox, "Sort", kLbsSort, Check, 0},
    {ToolCode::ListBox, "Scroll Bar", kWsVScroll, Check, 0},
    {ToolCode::ListBox, "Multiple Selections", kLbsMultipleSel, Check, 0},

    {ToolCode::Static, "Left-Align", 0, Radio, 1},
    {ToolCode::Static, "Right-Align", kSsRight, Radio, 1},
    {ToolCode::Static, "Center-Align", kSsCenter, Radio, 1},
    {ToolCode::Static, "Border", kWsBorder, Check, 0},

    {ToolCode::ComboBox, "Disable No-Scroll", kCbsDisableNoScroll, Check, 0},
    {ToolCode::ComboBox, "No Integral Height", kCbsNoIntegralHeight, Check, 0},
    {ToolCode::ComboBox, "Sort", kCbsSort, Check, 0},
    {ToolCode::ComboBox, "Tab Stop", kTabStop, Check, 0},
    {ToolCode::ComboBox, "Group", kGroup, Check, 0},
    {ToolCode::ComboBox, "Scroll Bar", kWsVScroll, Check, 0},
    {ToolCode::ComboBox, "Drop-Down", kCbsDropDown, Radio, 1},
    {ToolCode::ComboBox, "Drop-Down List", kCbsDropDownList, Radio, 1},
};

// The button page's shortcuts.
struct Shortcut {
    bool isDefault;
    int id;
    const char* caption;
};
constexpr Shortcut kOkShortcut{true, 1, "OK"};
constexpr Shortcut kCancelShortcut{false, 2, "Cancel"};

}  // namespace

std::span<const StyleOption> StyleOptionsOf(ToolCode page) {
    auto first = std::find_if(std::begin(kOptions), std::end(kOptions),
                              [&](const StyleOption& o) { return o.page == page; });
    auto last = std::find_if(first, std::end(kOptions), [&](const StyleOption& o) { return o.page != page; });
    return {first, last};
}

TControlToolForm::TControlToolForm(const TControlTool& tool)
    : page_(&tool.Kind()),
      options_(StyleOptionsOf(tool.Code())),
      ticked_(options_.size(), false),
      windowText_(tool.caption),
      childId_(tool.childId) {
    for (size_t i = 0; i < options_.size(); ++i)
        if ((tool.style & options_[i].value) == options_[i].value) SetTicked(static_cast<int>(i), true);
}

std::string TControlToolForm::Title() const {
    return std::string(page_->name) + kPropertiesSuffix;
}

bool TControlToolForm::Ticked(int option) const {
    return option >= 0 && option < static_cast<int>(ticked_.size()) && ticked_[static_cast<size_t>(option)];
}

bool TControlToolForm::Ticked(std::string_view caption) const {
    return Ticked(IndexOf(caption));
}

void TControlToolForm::SetTicked(int option, bool ticked) {
    if (option < 0 || option >= static_cast<int>(ticked_.size())) return;
    const StyleOption& chosen = options_[static_cast<size_t>(option)];
    if (chosen.kind == OptionKind::Radio) {
        if (!ticked) return;
        for (size_t i = 0; i < options_.size(); ++i)
            if (options_[i].kind == OptionKind::Radio && options_[i].group == chosen.group)
                ticked_[i] = false;
    }
    ticked_[static_cast<size_t>(option)] = ticked;
}

void TControlToolForm::SetTicked(std::string_view caption, bool ticked) {
    SetTicked(IndexOf(caption), ticked);
}

int TControlToolForm::IndexOf(std::string_view caption) const {
    for (size_t i = 0; i < options_.size(); ++i)
        if (caption == options_[i].caption) return static_cast<int>(i);
    return -1;
}

void TControlToolForm::SetChildId(int id) {
    childId_ = std::clamp(id, kMinChildIdField, kMaxChildIdField);
}

void TControlToolForm::PressOkShortcut() {
    if (page_->code != ToolCode::Button) return;
    SetTicked("Default", kOkShortcut.isDefault);
    childId_ = kOkShortcut.id;
    windowText_ = kOkShortcut.caption;
}

void TControlToolForm::PressCancelShortcut() {
    if (page_->code != ToolCode::Button) return;
    SetTicked("Default", kCancelShortcut.isDefault);
    childId_ = kCancelShortcut.id;
    windowText_ = kCancelShortcut.caption;
}

uint32_t TControlToolForm::Style() const {
    uint32_t style = 0;
    for (size_t i = 0; i < options_.size(); ++i)
        if (ticked_[i]) style |= options_[i].value;
    return style;
}

void TControlToolForm::Apply(TControlTool& tool) const {
    tool.style = Style();
    tool.caption = windowText_;
    if (ShowsChildId()) tool.childId = static_cast<uint16_t>(childId_);
    if (tool.Surface() != nullptr) tool.Surface()->SetModified(true);
}

}  // namespace tallow::ide
