// The property dialogs of the drawing shapes as models: pen and brush, the
// paragraph text, the font settings and the image link. Each opens on a
// tool's values, holds what the user sets within the fields' ranges, and on
// OK writes back and marks the surface modified.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "ide/model/shape_tools.h"

namespace tallow::ide {

inline constexpr const char* kCanvasFormTitle = "Drawing Canvas";
inline constexpr const char* kMemoFormTitle = "Paragraph Text";
inline constexpr const char* kFontFormTitle = "Drawing Canvas";
inline constexpr int kMinPenWidth = 1;
inline constexpr int kMaxPenWidth = 16;
// The paragraph field is one line of at most this many characters.
inline constexpr size_t kMaxParagraphText = 254;
inline constexpr int kMinTextSize = 5;
inline constexpr int kMaxTextSize = 72;

// The image link's file chooser.
inline constexpr const char* kImageChooserTitle = "Link Bitmap Image";
inline constexpr const char* kImageChooserFilter = "Bitmap Files (*.bmp)|*.bmp";
inline constexpr const char* kImageChooserExtension = "bmp";

// The captions of the font form's choices and the typefaces text tools draw
// with, by TextType, TextStyle and TextAlign value.
std::span<const char* const> TextTypeCaptions();
std::span<const char* const> TextTypeFaces();
std::span<const char* const> TextStyleCaptions();
std::span<const char* const> TextAlignCaptions();

// How a text tool's font is made: height in logical units for the screen's
// vertical pixels per inch (negative: the character height, rounded), weight,
// italic.
struct ToolFont {
    const char* face;
    int height;
    int weight;
    bool italic;
};
ToolFont FontOf(const TextSettings& text, int pixelsPerInch);

// "Drawing Canvas": pen width and colour, brush colour, transparency.
class TToolForm {
public:
    explicit TToolForm(const TTool& tool) : paint_(tool.paint) {}

    const ToolPaint& Paint() const { return paint_; }
    void SetPenWidth(int width);  // held within 1-16
    void SetPenColor(uint32_t color) { paint_.penColor = color; }
    void SetBrushColor(uint32_t color) { paint_.brushColor = color; }
    void SetDrawTransparent(bool on) { paint_.drawTransparent = on; }
    void Apply(TTool& tool) const;

private:
    ToolPaint paint_;
};

// "Drawing Canvas" font settings: type, style, size (5-72), alignment.
class TFontForm {
public:
    explicit TFontForm(const TTextTool& tool) : text_(tool.text) {}

    const TextSettings& Text() const { return text_; }
    void SetTextType(int type);  // out-of-range values are ignored
    void SetTextStyle(int style);
    void SetTextAlign(int align);
    void SetTextSize(int size);  // held within 5-72
    void Apply(TTextTool& tool) const;

private:
    TextSettings text_;
};

// "Paragraph Text": one line of text (tabs allowed) with the canvas and font
// forms behind its two buttons.
class TMemoToolForm {
public:
    explicit TMemoToolForm(const TTextTool& tool);

    const std::string& Text() const { return text_; }
    // Keeps the first line, cut to kMaxParagraphText characters.
    void SetText(std::string_view text);
    TToolForm& Canvas() { return canvas_; }
    TFontForm& Font() { return font_; }
    void Apply(TTextTool& tool) const;

private:
    std::string text_;
    TToolForm canvas_;
    TFontForm font_;
};

// After a bitmap of width x height is linked: the tool takes the file name
// and grows around its centre to at least the bitmap's size.
void LinkImage(TImageTool& tool, std::string fileName, int width, int height);

}  // namespace tallow::ide
