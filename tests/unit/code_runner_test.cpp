// RunTallowCode and the statement run on code files written by the codec:
// the command line and argv, both versions, dialogs as objects, the exit
// code, and a box captioned "Tallow95" for every file that cannot be used.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "api/code_runner.h"
#include "api/command_line.h"
#include "codec/code_file.h"
#include "codec/dialog_template.h"
#include "core/messages.h"
#include "core/statements.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "support/code_command_line.h"
#include "tallow.h"

namespace tallow {
namespace {

namespace fs = std::filesystem;
using codec::CodeFile;
using codec::CodeFileDialog;
using Tokens = std::vector<std::string>;

TEST(CommandLineTest, SplitsAtBlanksAndQuotes) {
    EXPECT_EQ(SplitCommandLine("app.cod one two"), (Tokens{"app.cod", "one", "two"}));
    EXPECT_EQ(SplitCommandLine("  \"my dir/app.cod\"\tone \"two three\"  "),
              (Tokens{"my dir/app.cod", "one", "two three"}));
    EXPECT_EQ(SplitCommandLine("a \"\" b"), (Tokens{"a", "", "b"}));
    // A missing closing quote ends the token at the end of the line.
    EXPECT_EQ(SplitCommandLine("a \"b c"), (Tokens{"a", "b c"}));
    // A quote inside a word is part of it; one after a quoted token starts the next.
    EXPECT_EQ(SplitCommandLine("x\"y \"p\"q"), (Tokens{"x\"y", "p", "q"}));
    EXPECT_EQ(SplitCommandLine(""), Tokens{});
    EXPECT_EQ(SplitCommandLine(" \r\n "), Tokens{});
}

// The runner's quoting gives every word back through the split, or refuses it.
TEST(CommandLineTest, RunnerQuotingRoundTrips) {
    Tokens words = {"app.cod", "one", "two three", "", "a\"b", "b\"", " lead", "tab\there", "x\ny"};
    std::vector<const char*> args;
    for (size_t i = 1; i < words.size(); ++i)
        args.push_back(words[i].c_str());
    std::string line, bad;
    ASSERT_TRUE(support::BuildCodeCommandLine(words[0], args, line, bad));
    EXPECT_EQ(SplitCommandLine(line), words);
    // A quote that needs the quotes as well has no form the split gives back.
    for (const char* word : {"\"lead", "a \"b", "\""}) {
        std::string before = "x";
        EXPECT_FALSE(support::AppendCommandWord(before, word)) << word;
        EXPECT_EQ(before, "x");
    }
    EXPECT_FALSE(support::BuildCodeCommandLine("my \"app\".cod", {}, line, bad));
    EXPECT_EQ(bad, "my \"app\".cod");
}

// A template with push buttons of these ids, the last one the default when
// withDefault is set.
std::vector<uint8_t> ButtonTemplate(std::vector<uint16_t> ids, bool withDefault) {
    codec::DialogTemplate d;
    d.style = codec::kDsSetFont;
    d.pointSize = 8;
    d.typeface = u"MS Sans Serif";
    d.title = u"Question";
    for (size_t i = 0; i < ids.size(); ++i) {
        codec::DialogItem item;
        item.id = ids[i];
        item.style = 0x50010000 | (withDefault && i + 1 == ids.size() ? 1 : 0);
        item.windowClass = codec::NameOrOrdinal::Named(u"BUTTON");
        item.title = codec::NameOrOrdinal::Named(u"Button");
        d.items.push_back(item);
    }
    return codec::WriteDialogTemplate(d);
}

CodeFile Version1(const std::string& text,
                  std::vector<std::pair<std::string, std::vector<uint8_t>>> dialogs = {}) {
    CodeFile file;
    file.version = 1;
    for (auto& [name, bytes] : dialogs) {
        CodeFileDialog d;
        d.name = name;
        d.templateBytes = bytes;
        file.dialogs.push_back(d);
    }
    file.code = text + '\0';
    return file;
}

struct Box {
    std::string caption, text;
};

class CodeRunnerTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetUnattended(true);
        platform::SetBoxObserver(&Collect, this);
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        dir = fs::temp_directory_path() / ("tallow code " + std::to_string(stamp));
        fs::create_directories(dir);
    }
    void TearDown() override {
        platform::SetBoxObserver(nullptr, nullptr);
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    static void Collect(void* self, std::string_view text, std::string_view caption) {
        static_cast<CodeRunnerTest*>(self)->boxes.push_back({std::string(caption), std::string(text)});
    }

    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        fs::path path = dir / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path.string();
    }
    std::string Write(const std::string& name, const CodeFile& file) {
        return Write(name, codec::WriteCodeFile(file));
    }
    static std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

    // Runs path with no arguments; expects exactly one runner box, whose text it returns.
    std::string Refusal(const std::string& path) {
        boxes.clear();
        EXPECT_EQ(RunTallowCode(Quoted(path).c_str(), 0), 0);
        EXPECT_EQ(GetCodeRunOutcome(), TALLOW_CODE_UNUSABLE);
        if (boxes.size() != 1) return "boxes: " + std::to_string(boxes.size());
        EXPECT_EQ(boxes[0].caption, msg::kCodeRunnerCaption);
        return boxes[0].text;
    }

    fs::path dir;
    std::vector<Box> boxes;
};

TEST_F(CodeRunnerTest, ArgvHoldsTheTokensAfterAQuotedPath) {
    std::string path = Write("app.cod", Version1("if argv.getsize() = 2 then\n"
                                                 " if argv$[1] = \"one\" then\n"
                                                 "  if argv$[2] = \"two three\" then exit 7 endif\n"
                                                 " endif\n"
                                                 "endif\n"
                                                 "exit 1\n"));
    ASSERT_NE(path.find(' '), std::string::npos);
    EXPECT_EQ(RunTallowCode((Quoted(path) + " one \"two three\"").c_str(), 0), 7);
    // No arguments: an empty argv.
    std::string count = Write("count.cod", Version1("exit 10 + argv.getsize()"));
    EXPECT_EQ(RunTallowCode(Quoted(count).c_str(), 12345), 10);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(CodeRunnerTest, DialogsOfBothVersionsAreObjects) {
    CodeFile v0 = Version1("exit dialog.execute()");
    v0.version = 0;
    v0.dialogs.push_back({"", {}, ButtonTemplate({4, 6}, true)});
    EXPECT_EQ(RunTallowCode(Quoted(Write("v0.cod", v0)).c_str(), 0), 6);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "dialog");
    EXPECT_EQ(boxes[0].text, msg::kDialogShown);

    std::string two = Write(
        "two.cod", Version1("exit Ask.execute() * 10 + tell.execute()",
                            {{"ask", ButtonTemplate({3, 9}, false)}, {"Tell", ButtonTemplate({}, false)}}));
    EXPECT_EQ(RunTallowCode(Quoted(two).c_str(), 0), 30);
}

TEST_F(CodeRunnerTest, DialogCountZeroAndCodeSizeOne) {
    EXPECT_EQ(RunTallowCode(Quoted(Write("none.cod", Version1("exit 3"))).c_str(), 0), 3);
    EXPECT_EQ(RunTallowCode(Quoted(Write("empty.cod", Version1(""))).c_str(), 0), 0);
    EXPECT_EQ(GetCodeRunOutcome(), TALLOW_RUN_ENDED);
    EXPECT_EQ(GetLastCodeRunError(nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0), 0);
    // An error that ends the script is told apart from an exit code of 0.
    EXPECT_EQ(RunTallowCode(Quoted(Write("fails.cod", Version1("x# = 1\r\n  y# = (1"))).c_str(), 0), 0);
    EXPECT_EQ(GetCodeRunOutcome(), TALLOW_RUN_FAILED);
    // Where in the script, for an environment that shows the line.
    char message[64] = {}, token[8] = {};
    int line = 0, column = 0, kind = -1;
    ASSERT_EQ(GetLastCodeRunError(message, sizeof message, &line, &column, &kind, token, sizeof token), 1);
    EXPECT_EQ(line, 2);
    EXPECT_GT(column, 1);
    EXPECT_EQ(kind, 0);
    EXPECT_STRNE(message, "");
    EXPECT_EQ(GetLastCodeRunError(nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0), 1);
    boxes.clear();
    // The text ends at its first NUL.
    EXPECT_EQ(RunTallowCode(
                  Quoted(Write("nul_ends_text.cod", Version1(std::string("exit 4\0exit 5", 13)))).c_str(), 0),
              4);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(CodeRunnerTest, FilesThatCannotBeUsedAreRefusedInABox) {
    std::string missing = (dir / "missing.cod").string();
    EXPECT_EQ(Refusal(missing), "Tallow: could not open COD file (" + missing + ").");
    EXPECT_EQ(Refusal(dir.string()), "Tallow: could not open COD file (" + dir.string() + ").");

    std::vector<uint8_t> good = codec::WriteCodeFile(Version1("exit 3", {{"d", ButtonTemplate({1}, true)}}));
    std::vector<uint8_t> tallow2 = good;
    tallow2[6] = '2';
    EXPECT_EQ(Refusal(Write("tallow2.cod", tallow2)), msg::kInvalidFileType);
    EXPECT_EQ(Refusal(Write("short.cod", std::vector<uint8_t>(good.begin(), good.begin() + 5))),
              msg::kInvalidFileType);
    // Cut short in the text (its NUL and last character gone), and inside
    // the template.
    EXPECT_EQ(Refusal(Write("cut-text.cod", std::vector<uint8_t>(good.begin(), good.end() - 2))),
              msg::kCouldNotLoadCode);
    EXPECT_EQ(Refusal(Write("cut-template.cod", std::vector<uint8_t>(good.begin(), good.begin() + 50))),
              msg::kCouldNotLoadDialog);
    EXPECT_EQ(RunTallowCode(Quoted(Write("good.cod", good)).c_str(), 0), 3);
    // No file named at all.
    boxes.clear();
    EXPECT_EQ(RunTallowCode("", 0), 0);
    EXPECT_EQ(RunTallowCode(nullptr, 0), 0);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Tallow: could not open COD file ().");
}

TEST_F(CodeRunnerTest, RunStartsACodeFileAndIgnoresItsExitCode) {
    std::string inner =
        Write("inner.cod", Version1("if argv$[1] = \"a b\" then x# = ask.execute() endif\nexit 5",
                                    {{"ask", ButtonTemplate({2}, false)}}));
    std::string outer =
        "run chr(34) + \"" + inner + "\" + chr(34) + \" \" + chr(34) + \"a b\" + chr(34)\nexit 9";
    EXPECT_EQ(RunTallowCode(Quoted(Write("outer.cod", Version1(outer))).c_str(), 0), 9);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "ask");
    // A file that cannot be used shows its box and the script goes on.
    boxes.clear();
    EXPECT_EQ(RunTallowBuffer("run \"nothing-here.cod\"\nexit 2"), 2);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Tallow: could not open COD file (nothing-here.cod).");
    // run needs its command line.
    boxes.clear();
    EXPECT_EQ(RunTallowBuffer("run\nexit 2"), 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find(msg::kRequiredParameter), std::string::npos);
}

// The outermost program runs the file kMaxRunDepth times nested; the next
// run fails there. Each program counts itself in the environment.
TEST_F(CodeRunnerTest, ACodeFileThatRunsItselfEndsWithAnError) {
    std::string self = (dir / "self.cod").string();
    platform::PutEnvironment("TALLOW_RUN_LEVELS=");
    Write("self.cod",
          Version1("setenv \"TALLOW_RUN_LEVELS=\" + str(val(getenv(\"TALLOW_RUN_LEVELS\")) + 1, 0, 0)\n"
                   "run chr(34) + \"" +
                   self + "\" + chr(34)\nexit 1"));
    EXPECT_EQ(RunTallowCode(Quoted(self).c_str(), 0), 1);
    ASSERT_FALSE(boxes.empty());
    EXPECT_NE(boxes[0].text.find(msg::kStackOverflow), std::string::npos);
    EXPECT_EQ(platform::GetEnvironment("TALLOW_RUN_LEVELS"), std::to_string(kMaxRunDepth + 1));
    // The depth is counted back down: a file that runs one other still runs.
    boxes.clear();
    Write("leaf.cod", Version1("exit 6"));
    Write("branch.cod", Version1("run chr(34) + \"" + (dir / "leaf.cod").string() + "\" + chr(34)\nexit 8"));
    EXPECT_EQ(RunTallowCode(Quoted((dir / "branch.cod").string()).c_str(), 0), 8);
    EXPECT_TRUE(boxes.empty());
}

}  // namespace
}  // namespace tallow
