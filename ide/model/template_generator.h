// A designer surface to and from a classic in-memory dialog template, through
// the engine's template codec so that the IDE, the tools and the engine read
// and write one format. Pixels become dialog units with the metrics of the
// dialog font, which the window measures and passes in.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "codec/dialog_template.h"
#include "ide/model/tool_surface.h"

namespace tallow::ide {

inline constexpr const char* kDialogFormatError = "Error in dialog format!";

// The font and typeface every generated template names.
inline constexpr uint16_t kTemplatePointSize = 8;
inline constexpr const char16_t* kTemplateTypeface = u"MS Sans Serif";

// A template has a 16-bit item count.
inline constexpr size_t kMaxTemplateItems = 0xFFFF;

// The dialog font's average character width (bx) and height (by), and the
// caption height (c), all in pixels; bx and by must be positive.
struct DialogMetrics {
    int bx = 0;
    int by = 0;
    int c = 0;
};

// Pixels to dialog units and back, rounded to the nearest integer with
// halves to the even neighbour.
int UnitsX(int pixels, const DialogMetrics& m);
int UnitsY(int pixels, const DialogMetrics& m);
int PixelsX(int units, const DialogMetrics& m);
int PixelsY(int units, const DialogMetrics& m);

class TemplateError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The template of the surface's dialog: the dialog tool as the header, every
// control tool after it in list (tab) order; drawing shapes have no window
// and are left out. Raises TemplateError with kDialogFormatError when the
// surface has no dialog tool (or only a background), and with a message
// naming dialogName when the controls do not fit a template's item count.
codec::DialogTemplate BuildTemplate(const ToolSurface& surface, const DialogMetrics& metrics,
                                    std::string_view dialogName);
std::vector<uint8_t> WriteTemplate(const ToolSurface& surface, const DialogMetrics& metrics,
                                   std::string_view dialogName);

// Sets the surface's dialog tool from the template's header and adds one
// control tool per item whose class the designer knows, in item order.
// Raises TemplateError with kDialogFormatError when the surface has no
// dialog tool or the bytes are not a whole template; the surface is then
// unchanged.
void ReadTemplate(ToolSurface& surface, std::span<const uint8_t> bytes, const DialogMetrics& metrics);
void ReadTemplate(ToolSurface& surface, const codec::DialogTemplate& dialog, const DialogMetrics& metrics);

}  // namespace tallow::ide
