// Fuzz target: the lexer over arbitrary bytes. Every read must end inside
// the text and move forward, remembered tokens must read back the same, and
// line numbers must stay in range.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/program.h"
#include "expr/lexer.h"

using tallow::Lexer;
using tallow::Token;

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    Lexer lx;
    lx.SetText(input);
    uint32_t length = uint32_t(lx.Text().size());
    try {
        for (;;) {
            uint32_t before = lx.Position();
            Token t = lx.NextToken();
            Check(t.start == before && t.first >= t.start && t.end <= length);
            Check(t.text.data() >= lx.Text().data() &&
                  t.text.data() + t.text.size() <= lx.Text().data() + length);
            Check(lx.LineOf(t.first) >= 1 && lx.LineOf(t.first) <= int(length) + 1);
            if (t.kind == tallow::tkEnd) break;
            Check(t.end > t.start);
            // Reading the same place again gives the same token.
            lx.PutBack(t);
            Token again = lx.NextToken();
            Check(again.start == t.start && again.first == t.first && again.end == t.end &&
                  again.kind == t.kind && again.text == t.text);
        }
    } catch (const tallow::ScriptError&) {
        // An unterminated string literal: the only error the lexer has.
    }
    // Peeking at every place, as the evaluator's lookups do, reports nothing.
    for (uint32_t at = 0; at <= length; at += 1 + at / 64) {
        try {
            Token t = lx.Peek(at);
            Check(t.start == at && t.end <= length);
        } catch (const tallow::LexProbeFailed&) {
        }
    }
    return 0;
}
