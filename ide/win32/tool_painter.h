// Draws the designer's tools on a device context: every control kind as the
// dialog will show it, in system colours, the drawing shapes with their pen
// and brush, the selection's handles, tab numbers and the drag outline.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "ide/model/tool.h"
#include "ide/win32/win_handles.h"

namespace tallow::ide::win32 {

// A stored colour as the system draws it: a system colour (high bit set,
// index below) becomes GetSysColor of the index, any other is 0x00BBGGRR.
COLORREF ToColorRef(uint32_t color);

inline RECT ToRect(const ToolRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// The dialog font, "MS Sans Serif" 8 points, for the device context's
// resolution; bold for captions. Empty when the system refuses.
UniqueFont MakeDialogFont(HDC dc, bool bold);

// The side of the box check boxes and radio buttons draw at their left.
inline constexpr int kCheckBoxSize = 13;
// A tab number's box is this many font heights wide.
inline constexpr int kTabBoxWidthInChars = 3;

// The bitmap of an image tool's linked file, or null when it cannot be had.
// The caller keeps it alive for the paint.
using BitmapLookup = std::function<HBITMAP(const std::string& fileName)>;

// One painter per paint: it owns the fonts it made for the device context
// and leaves the context's selections as it found them.
class ToolPainter {
public:
    explicit ToolPainter(HDC dc, BitmapLookup images = {});

    // The tool as its kind draws itself.
    void Paint(const TTool& tool);
    // Inverts the 5 x 5 square of every handle of the tool.
    void PaintHandles(const TTool& tool);
    // The tab-order box at the tool's top-left corner: white number on black.
    void PaintTabNumber(const TTool& tool, int number);
    // The drag outline, dotted and inverted: painting it twice erases it.
    void PaintOutline(const TTool& tool, const ToolOutline& outline);

    // The dialog font's character height in pixels.
    int FontHeight() const { return fontHeight_; }

    // Each kind's drawing; public so that the kind table can name them.
    void PaintDialog(const TTool& tool);
    void PaintButton(const TTool& tool);
    void PaintStatic(const TTool& tool);
    void PaintTextBox(const TTool& tool);
    void PaintCheckBox(const TTool& tool);
    void PaintListBox(const TTool& tool);
    void PaintComboBox(const TTool& tool);
    void PaintLine(const TTool& tool);
    void PaintCircle(const TTool& tool);
    void PaintRectangle(const TTool& tool);
    void PaintText(const TTool& tool);
    void PaintImage(const TTool& tool);
    void PaintBack(const TTool& tool);

private:
    // Text in the dialog font (or the given one) in a colour, on a
    // transparent background; "&" marks a mnemonic unless format has
    // DT_NOPREFIX, as in the controls that show one.
    void DrawTextIn(const std::string& text, RECT area, UINT format, COLORREF color, HFONT font = nullptr);
    void FillSystem(const RECT& area, int sysColor);
    // The tool's pen, and its brush or none when it draws transparent.
    UniquePen MakePen(const TTool& tool) const;
    UniqueBrush MakeBrush(const TTool& tool) const;

    HDC dc_;
    BitmapLookup images_;
    UniqueFont dialogFont_;
    UniqueFont captionFont_;
    int fontHeight_ = 13;
};

}  // namespace tallow::ide::win32
