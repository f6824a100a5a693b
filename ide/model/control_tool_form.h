// The property dialog of the dialog tool and of every control kind, as a
// model: which style options show ticked for a style, what OK writes back,
// and the "[OK]" / "[Cancel]" shortcuts of the button page. The window shows
// the page named by the tool's kind and mirrors this state.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "ide/model/control_tool.h"

namespace tallow::ide {

inline constexpr const char* kControlFormInitialTitle = "Control";
inline constexpr const char* kPropertiesSuffix = " Properties";
// The range of the "Child ID:" spin field.
inline constexpr int kMinChildIdField = 1;
inline constexpr int kMaxChildIdField = 20000;

enum class OptionKind : uint8_t { Check, Radio };

// One option control of a page. Radio options with the same group number
// exclude each other; check options have group 0.
struct StyleOption {
    ToolCode page;
    const char* caption;
    uint32_t value;
    OptionKind kind;
    uint8_t group;
};

// The options of the page of a control kind, in the page's order.
std::span<const StyleOption> StyleOptionsOf(ToolCode page);

class TControlToolForm {
public:
    // Opens on the tool: its page, caption and ID; an option is ticked when
    // all its bits are in the tool's style, a later radio option of a group
    // replacing an earlier one (an option of value 0 always matches).
    explicit TControlToolForm(const TControlTool& tool);

    std::string Title() const;  // the kind's name + " Properties"
    const char* PageName() const { return page_->name; }
    // The ID field and its label are hidden for the dialog tool.
    bool ShowsChildId() const { return page_->code != ToolCode::Dialog; }

    std::span<const StyleOption> Options() const { return options_; }
    bool Ticked(int option) const;
    bool Ticked(std::string_view caption) const;
    // Ticking a radio option clears the others of its group; a radio option
    // cannot be cleared directly. Unknown options are ignored.
    void SetTicked(int option, bool ticked);
    void SetTicked(std::string_view caption, bool ticked);

    const std::string& WindowText() const { return windowText_; }
    void SetWindowText(std::string text) { windowText_ = std::move(text); }
    int ChildId() const { return childId_; }
    // Held within the spin field's range.
    void SetChildId(int id);

    // The button page's shortcuts; nothing on other pages.
    void PressOkShortcut();
    void PressCancelShortcut();

    // The OR of the ticked options.
    uint32_t Style() const;
    // OK: the style, the caption and (when shown) the ID go to the tool, and
    // its surface is marked modified.
    void Apply(TControlTool& tool) const;

private:
    int IndexOf(std::string_view caption) const;

    const ControlKind* page_;
    std::span<const StyleOption> options_;
    std::vector<bool> ticked_;
    std::string windowText_;
    int childId_;
};

}  // namespace tallow::ide
