// One row per type code: how a tool of that code is made.
#include "ide/model/tool_factory.h"

#include <charconv>
#include <iterator>

#include "ide/model/control_tool.h"
#include "ide/model/shape_tools.h"

namespace tallow::ide {

namespace {

template <typename T>
std::unique_ptr<TTool> Make() {
    return std::make_unique<T>();
}

using ToolMaker = std::unique_ptr<TTool> (*)();

// In type-code order.
constexpr ToolMaker kMakers[] = {
    Make<TLineTool>,   Make<TCircleTool>,   Make<TRectTool>,    Make<TTextTool>,     Make<TButtonTool>,
    Make<TDialogTool>, Make<TTextBoxTool>,  Make<TListBoxTool>, Make<TCheckBoxTool>, Make<TRadioButtonTool>,
    Make<TStaticTool>, Make<TComboBoxTool>, Make<TImageTool>,   Make<TBackTool>,
};
static_assert(std::size(kMakers) == static_cast<size_t>(ToolCode::kCount));

// Every bit of the clipboard's type code that the designer looks at.
constexpr unsigned kTypeCodeMask = 127;

bool IsFrame(ToolCode code) {
    return code == ToolCode::Dialog || code == ToolCode::Back;
}

}  // namespace

std::unique_ptr<TTool> MakeTool(ToolCode code) {
    auto index = static_cast<size_t>(code);
    if (index >= std::size(kMakers)) return nullptr;
    return kMakers[index]();
}

TTool& CreateTool(ToolSurface& surface, ToolCode code) {
    return surface.Add(MakeTool(code));
}

std::string ToolToClipboardText(const TTool& tool) {
    return std::to_string(static_cast<int>(tool.Code())) + "." + tool.ToText();
}

TTool& PasteToolText(ToolSurface& surface, std::string_view text) {
    size_t dot = text.find('.');
    std::string_view number = text.substr(0, dot);
    unsigned code = 0;
    auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), code);
    if (number.empty() || error != std::errc{} || end != number.data() + number.size() || dot == text.npos)
        throw ToolFormatError("'" + std::string(number) + "' is not a valid tool type");
    auto toolCode = static_cast<ToolCode>(code & kTypeCodeMask);
    std::unique_ptr<TTool> tool = MakeTool(toolCode);
    if (tool == nullptr || (IsFrame(toolCode) && surface.DialogTool() != nullptr))
        throw ToolFormatError(kUnknownClipboardType);
    // Read before the tool joins the surface, so a malformed text leaves the
    // surface as it was; the text's fields then replace what Add sets.
    tool->FromText(text.substr(dot + 1));
    std::string form = tool->ToText();
    TTool& added = surface.Add(std::move(tool));
    added.FromText(form);
    return added;
}

}  // namespace tallow::ide
