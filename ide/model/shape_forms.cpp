// The shapes' property dialogs and the font choice of text tools.
#include "ide/model/shape_forms.h"

#include <algorithm>

#include "ide/model/tool_surface.h"

namespace tallow::ide {

namespace {

constexpr const char* kTypeCaptions[] = {"Sans Serif",   "Serif",      "Swiss", "Roman",
                                         "Fixed System", "Monospaced", "ANSI",  "Comic"};
constexpr const char* kTypeFaces[] = {"MS Sans Serif", "MS Serif",    "Arial",    "Times New Roman",
                                      "FixedSys",      "Courier New", "Terminal", "Comic Sans MS"};
constexpr const char* kStyleCaptions[] = {"Normal", "Bold", "Italic", "Highlight"};
constexpr const char* kAlignCaptions[] = {"Left", "Center", "Right"};
static_assert(std::size(kTypeCaptions) == kTextTypeCount && std::size(kTypeFaces) == kTextTypeCount);
static_assert(std::size(kStyleCaptions) == kTextStyleCount && std::size(kAlignCaptions) == kTextAlignCount);

// TextStyle values and the weights they draw with.
constexpr uint8_t kBold = 1, kItalic = 2, kHighlight = 3;
constexpr int kBoldWeight = 700;
constexpr int kPlainWeight = 100;
constexpr int kPointsPerInch = 72;

void MarkModified(const TTool& tool) {
    if (tool.Surface() != nullptr) tool.Surface()->SetModified(true);
}

}  // namespace

std::span<const char* const> TextTypeCaptions() {
    return kTypeCaptions;
}
std::span<const char* const> TextTypeFaces() {
    return kTypeFaces;
}
std::span<const char* const> TextStyleCaptions() {
    return kStyleCaptions;
}
std::span<const char* const> TextAlignCaptions() {
    return kAlignCaptions;
}

ToolFont FontOf(const TextSettings& text, int pixelsPerInch) {
    bool heavy = text.textStyle == kBold || text.textStyle == kHighlight;
    return {kTypeFaces[std::min<int>(text.textType, kTextTypeCount - 1)],
            -((text.textSize * pixelsPerInch + kPointsPerInch / 2) / kPointsPerInch),
            heavy ? kBoldWeight : kPlainWeight, text.textStyle == kItalic || text.textStyle == kHighlight};
}

void TToolForm::SetPenWidth(int width) {
    paint_.penWidth = static_cast<uint16_t>(std::clamp(width, kMinPenWidth, kMaxPenWidth));
}

void TToolForm::Apply(TTool& tool) const {
    tool.paint = paint_;
    MarkModified(tool);
}

void TFontForm::SetTextType(int type) {
    if (type >= 0 && type < kTextTypeCount) text_.textType = static_cast<uint8_t>(type);
}

void TFontForm::SetTextStyle(int style) {
    if (style >= 0 && style < kTextStyleCount) text_.textStyle = static_cast<uint8_t>(style);
}

void TFontForm::SetTextAlign(int align) {
    if (align >= 0 && align < kTextAlignCount) text_.textAlign = static_cast<uint8_t>(align);
}

void TFontForm::SetTextSize(int size) {
    text_.textSize = static_cast<uint16_t>(std::clamp(size, kMinTextSize, kMaxTextSize));
}

void TFontForm::Apply(TTextTool& tool) const {
    tool.text = text_;
    MarkModified(tool);
}

TMemoToolForm::TMemoToolForm(const TTextTool& tool) : canvas_(tool), font_(tool) {
    SetText(tool.caption);
}

void TMemoToolForm::SetText(std::string_view text) {
    text = text.substr(0, text.find_first_of("\r\n"));
    text_ = std::string(text.substr(0, kMaxParagraphText));
}

void TMemoToolForm::Apply(TTextTool& tool) const {
    tool.caption = text_;
    canvas_.Apply(tool);
    font_.Apply(tool);
}

void LinkImage(TImageTool& tool, std::string fileName, int width, int height) {
    tool.fileName = std::move(fileName);
    tool.GrowToAtLeast(width, height);
    MarkModified(tool);
}

}  // namespace tallow::ide
