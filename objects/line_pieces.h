// How readfilelines cuts a text into array elements: each line, or each piece
// of a line too long for one element, without its line feed.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace tallow {

// The longest element a line gives: longer lines arrive in several pieces.
// Scripts rely on this size (a line of exactly 4095 characters is followed
// by an empty element, its line feed arriving alone).
constexpr size_t kMaxLinePiece = 4095;

// Reads the next piece from in, any source whose int Get() gives the next
// byte or EOF: the bytes up to and including a line feed, at most
// kMaxLinePiece of them, less that line feed. False at the end of the text,
// when nothing was read.
template <class Source>
bool ReadLinePiece(Source& in, std::string& piece) {
    piece.clear();
    while (piece.size() < kMaxLinePiece) {
        int c = in.Get();
        if (c == EOF) return !piece.empty();
        if (c == '\n') return true;
        piece.push_back(char(c));
    }
    return true;
}

}  // namespace tallow
