// An open document: its text and the translation between byte offsets and
// the protocol's positions (a line from 0 and a character counted in UTF-16
// code units, as the protocol counts by default). A line ends at a line
// feed, a carriage return, or both together, as the engine's lexer counts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tallow::lsp {

struct TextPosition {
    int line = 0;
    int character = 0;
};

class TextDocument {
public:
    TextDocument() = default;
    TextDocument(std::string text, int version);

    const std::string& Text() const { return text_; }
    int Version() const { return version_; }
    int LineCount() const { return int(lineStarts_.size()); }

    TextPosition PositionOf(uint32_t offset) const;
    // The offset of a position; positions past a line's end or the text's
    // end are taken as those ends.
    uint32_t OffsetOf(TextPosition position) const;
    // The line holding offset, without its line end.
    std::string_view LineText(int line) const;

private:
    std::string text_;
    int version_ = 0;
    std::vector<uint32_t> lineStarts_;
};

}  // namespace tallow::lsp
