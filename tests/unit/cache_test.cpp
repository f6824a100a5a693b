// What the engine remembers about places in the text (compiled expressions,
// statement plans, scans) must never show: these runs change the text, the
// names and the paths through it, and compare with what reading gives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/main_object.h"
#include "core/program.h"
#include "expr/script_object.h"
#include "platform/message_box.h"

namespace tallow {
namespace {

// A host object "t": `t.log strexpr` records a text, `t.shadow word` makes
// word a statement of the system partner, so it hides a keyword or procedure.
class Probe : public ScriptObject {
public:
    explicit Probe(Program& p) : ScriptObject(p, "t") {
        AddStatement("log", 1);
        AddStatement("shadow", 2);
    }
    void ProcessStatement(int id) override {
        Evaluator& ev = program_.Eval();
        if (id == 1) {
            ev.HasFirstParam(true);
            log.push_back(ev.EvalString());
        } else if (id == 2) {
            ev.HasFirstParam(true);
            ScriptObject* partner = program_.Main().SystemPartner();
            partner->AddStatement(ev.ReadName(), partner->statements.Size() + 1);
        } else {
            ScriptObject::ProcessStatement(id);
        }
    }
    std::vector<std::string> log;
};

class CacheTest : public ::testing::Test {
protected:
    void SetUp() override { platform::SetBoxObserver(&CacheTest::Observe, this); }
    void TearDown() override { platform::SetBoxObserver(nullptr, nullptr); }

    static void Observe(void* self, std::string_view text, std::string_view) {
        static_cast<CacheTest*>(self)->boxes.emplace_back(text);
    }

    // Runs text (line feeds become CR LF, as the runner does) and returns
    // what it logged, joined by blanks.
    std::string Run(std::string text) {
        std::string crlf;
        for (char c : text) {
            if (c == '\n') crlf += '\r';
            crlf += c;
        }
        probe.log.clear();
        program.Run(crlf.c_str());
        std::string out;
        for (const std::string& s : probe.log)
            out += (out.empty() ? "" : " ") + s;
        return out;
    }

    Program program;
    Probe probe{program};
    std::vector<std::string> boxes;
};

TEST_F(CacheTest, TextChangedBetweenRunsOfOneProgram) {
    EXPECT_EQ(Run("x# = 1 + 2\nt.log str(x#)\n"), "3");
    // The same places now hold other tokens.
    EXPECT_EQ(Run("x# = 7 * 6\nt.log str(x#)\n"), "42");
    EXPECT_EQ(Run("y$ = \"a\" + \"b\"\nt.log y$\n"), "ab");
    EXPECT_EQ(Run("for i# = 1 to 3\n  t.log str(i#)\nnext\n"), "1 2 3");
}

TEST_F(CacheTest, EvaluatedTextAndItsProcedures) {
    EXPECT_EQ(Run("proc p# x#\n  Result# = x# * 10\nendproc\n"
                  "for i# = 1 to 3\n"
                  "  eval \"proc p# x#\" + 13 + \"Result# = x# + 1\" + 13 + \"endproc\" + 13 + \"t.log "
                  "str(p(i#))\"\n"
                  "  t.log str(p(i#))\n"
                  "next\n"),
              "2 10 3 20 4 30");
}

TEST_F(CacheTest, ProceduresRegisteredUnderOtherIdsInALaterRun) {
    std::string first = "proc a\n  t.log \"a\"\nendproc\nproc b\n  t.log \"b\"\nendproc\na\nb\n";
    std::string second = "proc b\n  t.log \"B\"\nendproc\nproc a\n  t.log \"A\"\nendproc\na\nb\n";
    EXPECT_EQ(Run(first), "a b");
    EXPECT_EQ(Run(second), "A B");
    EXPECT_EQ(Run(first), "a b");
    // A later run without procedures no longer reaches them.
    EXPECT_EQ(Run("try\n  a\ncatch\nendtry\n"), "");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("unknown statement encountered"), std::string::npos);
}

TEST_F(CacheTest, ANameThatBecomesASystemPartnerName) {
    std::string text =
        "proc greet\n  t.log \"hello\"\nendproc\n"
        "for i# = 1 to 3\n"
        "  greet\n"
        "  if i# = 2 then t.shadow greet endif\n"
        "next\n";
    EXPECT_EQ(Run(text), "hello hello");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("unknown statement encountered\nException raised at line 5"), std::string::npos);
}

TEST_F(CacheTest, JumpsIntoTheMiddleOfALine) {
    EXPECT_EQ(Run("n# = 0\n"
                  "x# = 100 back: x# = x# + 1 t.log str(x#) n# = n# + 1\n"
                  "if n# < 3 then goto back endif\n"),
              "101 102 103");
    EXPECT_EQ(Run("gosub s t.log \"after\" gosub s t.log \"again\"\nexit\ns: t.log \"sub\" return\n"),
              "sub after sub again");
    EXPECT_EQ(Run("for i# = 1 to 2\n  try\n    throw \"x\" t.log \"resumed \" + str(i#)\n"
                  "  catch\n    resume\n  endtry\nnext\n"),
              "resumed 1 resumed 2");
}

TEST_F(CacheTest, ErrorsInsideCompiledExpressionsReportTheirLines) {
    EXPECT_EQ(Run("dim a#[2]\n"
                  "for i# = 1 to 4\n"
                  "  try\n"
                  "    x# = 1 +\n"
                  "      a#[i#] * 2\n"
                  "    t.log \"ok\"\n"
                  "  catch\n"
                  "    t.log ErrMsg$ + \" \" + str(ErrLine#)\n"
                  "  endtry\n"
                  "next\n"),
              "ok ok array index out of bounds 5 array index out of bounds 5");
    // A variable that goes missing after the code was compiled: the first
    // runs define it, the last one reads it before it exists.
    Run("for i# = 1 to 3\n  if i# < 3 then v# = i# endif\n  w# = v# + 1\nnext\n");
    EXPECT_TRUE(boxes.empty());
    Run("for i# = 1 to 2\n  w# = 2 *\n       u# + 1\n  u# = 1\nnext\n");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("unknown variable encountered\nException raised at line 3"), std::string::npos);
}

TEST_F(CacheTest, ConditionsAndScansOverManyPaths) {
    // The same IF taken both ways, nested IFs skipped, WHILE loops nested.
    EXPECT_EQ(Run("for i# = 1 to 4\n"
                  "  if i# % 2 = 0 then\n"
                  "    if i# = 4 then t.log \"four\" else t.log \"even\" endif\n"
                  "  else\n"
                  "    t.log \"odd\"\n"
                  "  endif\n"
                  "next\n"
                  "j# = 0\n"
                  "while j# < 2\n"
                  "  k# = 0\n"
                  "  while k# < 2\n"
                  "    t.log str(j#) + str(k#)\n"
                  "    k# = k# + 1\n"
                  "  endwhile\n"
                  "  j# = j# + 1\n"
                  "endwhile\n"),
              "odd even odd four 00 01 10 11");
}

TEST_F(CacheTest, ARunAfterAnAbortedRunStartsFresh) {
    Run("x# = 1\nfor i# = 1 to 3\n  if i# = 2 then nosuch endif\nnext\n");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(Run("for i# = 1 to 2\n  t.log str(i#)\nnext\nt.log str(isnumbervar(x))\n"), "1 2 0");
}

}  // namespace
}  // namespace tallow
