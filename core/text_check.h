// Reading a script without running it, for editors: the faults the engine
// would stop at that a reading can find, and the procedures, labels and
// variables the text names. It reads with the engine's own lexer, keyword
// lookups, block scans and procedure-header reader, and its faults carry the
// engine's message texts; nothing of the text is executed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tallow {

class Program;

// A fault of the text: its place as byte offsets and the engine's message.
struct TextProblem {
    uint32_t start = 0;
    uint32_t end = 0;
    std::string message;
};

enum class TextNameKind : uint8_t { Procedure, Label, Variable, Object };

// One place where the text names a procedure, label, variable or created
// object. A definition is a procedure's header, a label, an assignment or
// FOR of a variable, a procedure's parameter, or the name after NEW.
struct TextName {
    TextNameKind kind = TextNameKind::Variable;
    bool definition = false;
    uint32_t start = 0;
    uint32_t end = 0;
    std::string name;    // variables with their suffix ($ or #), procedures with theirs
    std::string detail;  // a procedure's parameters as written; a created object's type
};

struct TextFacts {
    std::vector<TextProblem> problems;  // in text order
    std::vector<TextName> names;        // in text order
};

// Reads text with p's tables (keywords, functions, objects, creatable types).
// p must not be running; its current text becomes text.
TextFacts CheckText(Program& p, std::string_view text);

}  // namespace tallow
