// The notes on errors, one case a row: the script, the error it ends with
// (message and token, as ErrMsg$ and the runner show them), and the note the
// lookup adds, with where it stands.
#include "core/error_notes.h"

#include <gtest/gtest.h>

#include "unattended_program_test.h"

namespace tallow {
namespace {

struct NoteCase {
    const char* script;
    const char* message;
    const char* token;
    const char* note;  // "" for none
    int line;          // of the note
    int column;
};

const NoteCase kNoteCases[] = {
    // A number in a string expression.
    {"x# = 1\ns$ = \"a\" + x#\n", "Unknown string element: 4", "x#",
     "x# is a number variable; numbers join strings only through str(), hex() or oct(): str(x#)", 2, 12},
    {"s$ = \"a\" + mbOK@\n", "Unknown string element: 5", "mbOK@",
     "mbOK@ is a number constant; str(mbOK@) turns it into text", 1, 12},
    {"s$ = \"a\" + (1 + 2)\n", "Unknown string element: 1", "(",
     "a string expression has no parentheses; str(...) turns a number expression into text", 1, 12},
    // A variable read before it is assigned, with and without the other suffix.
    {"y$ = \"a\"\nz# = y# + 1\n", "unknown variable encountered", "y#",
     "no number variable y# has been assigned, but the string variable y$ has", 2, 6},
    {"z# = w# + 1\n", "unknown variable encountered", "w#",
     "w# is read before anything is assigned to it (and no w$ exists either)", 1, 6},
    {"n# = 2\ns$ = n$\n", "unknown variable encountered", "n$",
     "no string variable n$ has been assigned, but the number variable n# has", 2, 6},
    {"n# = mbYesNa@\n", "unknown variable encountered", "mbYesNa@",
     "no constant mbYesNa@ is defined; did you mean 'mbYesNo'?", 1, 6},
    {"n# = zzzzzzzz@\n", "unknown variable encountered", "zzzzzzzz@", "no constant zzzzzzzz@ is defined", 1,
     6},
    // Names that are slips of known ones, or of the other kind.
    {"z# = flor(2.5)\n", "unknown number function encountered", "flor(", "did you mean 'floor'?", 1, 6},
    {"z# = sqrt(2)\n", "unknown number function encountered", "sqrt(", "did you mean 'sqroot'?", 1, 6},
    {"s$ = \"n\" + sqroot(4)\n", "unknown string function encountered", "sqroot(",
     "sqroot gives a number, not a string; str(sqroot(...)) turns it into text", 1, 12},
    {"s$ = lfet(\"ab\", 1)\n", "unknown string function encountered", "lfet(", "did you mean 'left'?", 1, 6},
    {"pritn \"x\"\n", "unknown statement encountered", "pritn", "did you mean 'print'?", 1, 1},
    {"total = 5\n", "unknown statement encountered", "total",
     "a variable's name ends in # for a number or $ for a string: total# = ... or total$ = ...", 1, 1},
    {"x# = 1\nthen\n", "unknown statement encountered", "then",
     "THEN belongs to an IF and follows its condition", 2, 1},
    {"qqqqqqqq \"x\"\n", "unknown statement encountered", "qqqqqqqq", "", 0, 0},
    // A procedure of the script is a name like any other.
    {"proc twice# n#\nResult# = 2 * n#\nendproc\nz# = twcie(2)\n", "unknown number function encountered",
     "twcie(", "did you mean 'twice'?", 4, 6},
    // Arrays of the other kind.
    {"dim a$[2]\nn# = a#[1]\n", "unknown number array encountered", "[",
     "no number array a# exists, but the string array a$ does", 2, 8},
    // A block that is never closed, reported where it opens.
    {"x# = 1\nif x# = 1 then\n  y# = 2\nelse\n  y# = 3\n", "ENDIF not found", "",
     "the IF that no ENDIF closes opens here", 2, 1},
    {"x# = 1\n  while x# = 2\n  x# = 3\n", "ENDWHILE not found", "",
     "the WHILE that no ENDWHILE closes opens here", 2, 3},
    {"proc f\n  x# = 1\n", "ENDPROC not found", "", "the PROC that no ENDPROC closes opens here", 1, 1},
    {"if 1 = 1 then\nendif\nselect case 2\ncase 2\n  x# = 1\ncase 3\n", "ENDSELECT not found", "",
     "the SELECT that no ENDSELECT closes opens here", 3, 1},
    // An assignment's missing array is reported after the value, at no
    // token: no note can name it.
    {"n# = 0\na#[3] = n# + 7\n", "unknown number array encountered", "", "", 0, 0},
    // Messages that need no note get none.
    {"x# = (1 + 2\n", "unbalanced parenthesis", "", "", 0, 0},
};

class ErrorNotesTest : public UnattendedProgramTest {};

TEST_F(ErrorNotesTest, EachCaseEndsWithItsMessageTokenAndNote) {
    program.keepState = false;
    for (const NoteCase& c : kNoteCases) {
        SCOPED_TRACE(c.script);
        ASSERT_EQ(Run(c.script), c.message);
        const ErrorReport& error = program.LastRunError();
        if (*c.token) {
            EXPECT_EQ(error.token, c.token);
        }
        if (!*c.note) {
            EXPECT_TRUE(error.notes.empty()) << error.notes.front().text;
            continue;
        }
        ASSERT_EQ(error.notes.size(), 1u);
        EXPECT_EQ(error.notes[0].text, c.note);
        EXPECT_EQ(error.notes[0].line, c.line);
        EXPECT_EQ(error.notes[0].column, c.column);
    }
}

TEST(NearestNameTest, OnlyLikelySlipsAreSuggested) {
    EXPECT_EQ(EditDistance("pritn", "print"), 1u);  // two neighbours swapped
    EXPECT_EQ(EditDistance("FLOOR", "floor"), 0u);
    EXPECT_EQ(EditDistance("", "abc"), 3u);
    std::vector<std::string> names{"floor", "float", "print", "sqroot"};
    EXPECT_EQ(NearestName("flor", names), "floor");   // the first of the nearest
    EXPECT_EQ(NearestName("sqrt", names), "sqroot");  // two edits in four letters
    EXPECT_EQ(NearestName("x", names), "");           // nothing near a short name
    EXPECT_EQ(NearestName("prnitxyz", names), "");    // too far for its length
    EXPECT_EQ(NearestName("floor", names), "");       // the name itself is no slip
}

}  // namespace
}  // namespace tallow
