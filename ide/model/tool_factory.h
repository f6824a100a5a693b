// Making tools by type code, and the designer's clipboard text: the type code
// in decimal, ".", then the tool's text form.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "ide/model/tool.h"
#include "ide/model/tool_surface.h"

namespace tallow::ide {

// The clipboard format the designer registers for its tools.
inline constexpr const char* kToolClipboardFormat = "Quenby Drawer Tool Format";
inline constexpr const char* kUnknownClipboardType = "Unknown object type on clipboard";

// A new, unattached tool of the code; nullptr for a code outside the table.
std::unique_ptr<TTool> MakeTool(ToolCode code);
// Makes a tool of the code and adds it to the surface (ToolSurface::Add).
TTool& CreateTool(ToolSurface& surface, ToolCode code);

// "4." followed by the text form, for a button.
std::string ToolToClipboardText(const TTool& tool);

// Adds the tool a clipboard text describes to the surface and returns it.
// The type code is masked with 127 as the designer always did. Raises
// ToolFormatError with kUnknownClipboardType for an unknown code, and for
// a dialog or background tool when the surface already has its frame (a
// second frame would turn the first into a template item); raises it with
// the field's message for a malformed text form. The surface is unchanged
// when it raises.
TTool& PasteToolText(ToolSurface& surface, std::string_view text);

}  // namespace tallow::ide
