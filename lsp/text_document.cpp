#include "text_document.h"

#include <algorithm>

namespace tallow::lsp {

namespace {

// The UTF-16 code units of the UTF-8 sequence that starts with lead (a
// stray continuation byte counts as one unit, as its replacement would).
int Utf16Units(unsigned char lead) {
    return lead >= 0xF0 ? 2 : 1;
}

int SequenceLength(unsigned char lead) {
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

}  // namespace

TextDocument::TextDocument(std::string text, int version) : text_(std::move(text)), version_(version) {
    lineStarts_.push_back(0);
    for (uint32_t i = 0; i < text_.size(); ++i) {
        char c = text_[i];
        if (c == '\n' || (c == '\r' && (i + 1 >= text_.size() || text_[i + 1] != '\n')))
            lineStarts_.push_back(i + 1);
    }
}

std::string_view TextDocument::LineText(int line) const {
    if (line < 0 || line >= LineCount()) return {};
    uint32_t start = lineStarts_[size_t(line)];
    uint32_t end = line + 1 < LineCount() ? lineStarts_[size_t(line) + 1] : uint32_t(text_.size());
    while (end > start && (text_[end - 1] == '\n' || text_[end - 1] == '\r'))
        --end;
    return std::string_view(text_).substr(start, end - start);
}

TextPosition TextDocument::PositionOf(uint32_t offset) const {
    offset = std::min<uint32_t>(offset, uint32_t(text_.size()));
    auto it = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset);
    int line = int(it - lineStarts_.begin()) - 1;
    int character = 0;
    for (uint32_t i = lineStarts_[size_t(line)]; i < offset;) {
        unsigned char lead = static_cast<unsigned char>(text_[i]);
        character += Utf16Units(lead);
        i += uint32_t(SequenceLength(lead));
    }
    return {line, character};
}

uint32_t TextDocument::OffsetOf(TextPosition position) const {
    if (position.line < 0) return 0;
    if (position.line >= LineCount()) return uint32_t(text_.size());
    std::string_view line = LineText(position.line);
    uint32_t start = lineStarts_[size_t(position.line)];
    uint32_t i = 0;
    for (int units = 0; i < line.size() && units < position.character;) {
        unsigned char lead = static_cast<unsigned char>(line[i]);
        units += Utf16Units(lead);
        i += uint32_t(SequenceLength(lead));
    }
    return start + std::min<uint32_t>(i, uint32_t(line.size()));
}

}  // namespace tallow::lsp
