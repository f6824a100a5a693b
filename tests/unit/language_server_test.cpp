// The language server's parts: JSON, the framing, positions, the engine's
// reading of a text, and the server's answers to messages that are no
// requests at all.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "core/program.h"
#include "core/text_check.h"
#include "lsp/json_value.h"
#include "lsp/language_server.h"
#include "lsp/message_stream.h"
#include "lsp/text_document.h"

namespace tallow::lsp {
namespace {

TEST(LspJson, ReadsAndWritesValues) {
    auto v = JsonValue::Parse(R"( {"a": [1, -2.5e1, true, null, "x\"\\\n\u00e9\ud83d\ude00"], "b": {}} )");
    ASSERT_TRUE(v);
    const JsonValue::Array& a = (*v)["a"].Items();
    ASSERT_EQ(a.size(), 5u);
    EXPECT_EQ(a[0].Num(), 1);
    EXPECT_EQ(a[1].Num(), -25);
    EXPECT_TRUE(a[2].Bool());
    EXPECT_TRUE(a[3].IsNull());
    EXPECT_EQ(a[4].Str(), "x\"\\\n\xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_TRUE((*v)["b"].IsObject());
    EXPECT_TRUE((*v)["missing"]["deeper"].IsNull());
    EXPECT_EQ(v->Write(), R"({"a":[1,-25,true,null,"x\"\\\n)"
                          "\xC3\xA9\xF0\x9F\x98\x80"
                          R"("],"b":{}})");
    // Written values are read back the same.
    EXPECT_EQ(JsonValue::Parse(v->Write())->Write(), v->Write());
    EXPECT_EQ(JsonValue(std::string("\x01")).Write(), "\"\\u0001\"");
}

TEST(LspJson, RejectsWhatIsNotOneValue) {
    for (const char* bad : {"", "{", "[1,]", "{\"a\" 1}", "01x", "1 2", "\"\\q\"", "\"a\nb\"", "nul", "-",
                            "1e999", "{\"a\":1,}", "\"\\u12\"", "[", "]"})
        EXPECT_FALSE(JsonValue::Parse(bad)) << bad;
    // Nesting past the limit is refused, not recursed into.
    EXPECT_FALSE(JsonValue::Parse(std::string(100000, '[') + std::string(100000, ']')));
    EXPECT_TRUE(JsonValue::Parse(std::string(100, '[') + std::string(100, ']')));
}

TEST(LspJson, CopiesAreIndependent) {
    JsonValue a;
    a.Set("x", 1);
    JsonValue b = a;
    b.Set("x", 2);
    b.Push(3);  // b becomes an array; a stays as it was
    EXPECT_EQ(a.Write(), "{\"x\":1}");
    EXPECT_EQ(b.Write(), "[3]");
}

// The reader over a temporary file holding bytes.
std::FILE* StreamOf(const std::string& bytes) {
    std::FILE* f = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::rewind(f);
    return f;
}

TEST(LspFraming, ReadsMessagesAndSkipsMalformedHeaders) {
    std::FILE* f = StreamOf(
        "Content-Length: 2\r\n\r\n{}"
        "content-length:3\r\nContent-Type: x\r\n\r\n[1]"
        "\r\nX-Other: 1\r\n\r\n"
        "Content-Length: 12abc\r\n\r\n"
        "Content-Length: 1\n\n7"
        "Content-Length: 10\r\n\r\nshort");
    MessageReader reader(f);
    std::string body;
    EXPECT_EQ(reader.Read(body), MessageReader::Status::Message);
    EXPECT_EQ(body, "{}");
    EXPECT_EQ(reader.Read(body), MessageReader::Status::Message);
    EXPECT_EQ(body, "[1]");
    EXPECT_EQ(reader.Read(body), MessageReader::Status::Malformed);  // no length
    EXPECT_EQ(reader.Read(body), MessageReader::Status::Malformed);  // not a number
    EXPECT_EQ(reader.Read(body), MessageReader::Status::Message);    // bare line feeds
    EXPECT_EQ(body, "7");
    EXPECT_EQ(reader.Read(body), MessageReader::Status::End);  // cut short
    EXPECT_EQ(reader.Read(body), MessageReader::Status::End);
    std::fclose(f);
}

TEST(LspFraming, WritesHeaderAndBody) {
    std::FILE* f = std::tmpfile();
    ASSERT_TRUE(WriteMessage(f, "{\"a\":1}"));
    std::rewind(f);
    char buffer[64] = {};
    size_t n = std::fread(buffer, 1, sizeof buffer - 1, f);
    EXPECT_EQ(std::string(buffer, n), "Content-Length: 7\r\n\r\n{\"a\":1}");
    std::fclose(f);
}

TEST(LspTextDocument, CountsLinesAsTheLexerAndCharactersInUtf16) {
    // Lines end at LF, CR, or CR LF; é is two bytes and one unit, the emoji
    // four bytes and two units.
    TextDocument doc("a\r\nb\rc\n\xC3\xA9x\xF0\x9F\x98\x80y", 1);
    EXPECT_EQ(doc.LineCount(), 4);
    EXPECT_EQ(doc.LineText(3), "\xC3\xA9x\xF0\x9F\x98\x80y");
    EXPECT_EQ(doc.PositionOf(3).line, 1);
    EXPECT_EQ(doc.PositionOf(5).line, 2);
    uint32_t lineStart = 7;
    EXPECT_EQ(doc.PositionOf(lineStart + 2).character, 1);  // after é
    EXPECT_EQ(doc.PositionOf(lineStart + 7).character, 4);  // after the emoji
    EXPECT_EQ(doc.OffsetOf({3, 4}), lineStart + 7);
    EXPECT_EQ(doc.OffsetOf({3, 99}), doc.Text().size());  // past the line: its end
    EXPECT_EQ(doc.OffsetOf({0, 99}), 1u);                 // before the line end
    EXPECT_EQ(doc.OffsetOf({99, 0}), doc.Text().size());
    EXPECT_EQ(doc.OffsetOf({-1, 0}), 0u);
    for (uint32_t offset : {0u, 1u, 3u, 5u, lineStart, lineStart + 2, lineStart + 7})
        EXPECT_EQ(doc.OffsetOf(doc.PositionOf(offset)), offset);
}

// ---- The engine's reading of a text ----------------------------------------

struct Checked {
    Program program;
    TextFacts facts;
    explicit Checked(const char* text) { facts = CheckText(program, text); }
    std::string Problems() const {
        std::string out;
        for (const TextProblem& p : facts.problems)
            out += std::to_string(p.start) + ":" + p.message + ";";
        return out;
    }
    const TextName* Definition(TextNameKind kind, const char* name) const {
        for (const TextName& n : facts.names)
            if (n.kind == kind && n.definition && n.name == name) return &n;
        return nullptr;
    }
};

TEST(TextCheck, FindsDefinitionsOfEveryKind) {
    Checked c(
        "proc add# a#, b$\n  Result# = a#\nendproc\n"
        "for i# = 1 to 2\nnext\n"
        "top:\nnew list as stringarray\nx$ = \"a\"\ny#[1] = 2\nprint z$\n");
    EXPECT_EQ(c.Problems(), "");
    ASSERT_TRUE(c.Definition(TextNameKind::Procedure, "add#"));
    EXPECT_EQ(c.Definition(TextNameKind::Procedure, "add#")->detail, "a#, b$");
    EXPECT_TRUE(c.Definition(TextNameKind::Variable, "a#"));
    EXPECT_TRUE(c.Definition(TextNameKind::Variable, "b$"));
    EXPECT_TRUE(c.Definition(TextNameKind::Variable, "i#"));
    EXPECT_TRUE(c.Definition(TextNameKind::Variable, "x$"));
    EXPECT_TRUE(c.Definition(TextNameKind::Variable, "y#"));
    EXPECT_FALSE(c.Definition(TextNameKind::Variable, "z$"));  // only read
    EXPECT_TRUE(c.Definition(TextNameKind::Label, "top"));
    ASSERT_TRUE(c.Definition(TextNameKind::Object, "list"));
    EXPECT_EQ(c.Definition(TextNameKind::Object, "list")->detail, "stringarray");
}

TEST(TextCheck, ReportsAtTheFaultsPlace) {
    // Offsets: the IF at 0, the string at 15, the second label at 35.
    Checked c("if a# = 1 then\n\"open\nlabel:\nx# = 1\nlabel:\n");
    EXPECT_EQ(c.Problems(), "0:ENDIF not found;15:double quotes missing;35:Duplicate label encountered;");
}

TEST(TextCheck, NestedAndCommentedBlocksAreBalanced) {
    Checked c(
        "while a# < 1\n  if a# = 0 then\n    select case a#\n    case 0\n      try\n        a# = 1\n"
        "      catch\n      endtry\n    endselect\n  else\n    rem if while select try proc\n"
        "    ' endif endwhile\n  endif\nendwhile\nprint \"if \" + \"while\" + 10\n");
    EXPECT_EQ(c.Problems(), "");
}

TEST(TextCheck, AnyBytesAreRead) {
    std::mt19937 random(7);
    const char pieces[][12] = {"if ",  "then",  "\n", "\"",   "proc ",  "x#",   " = ",  "(",
                               ")",    "goto ", "a:", ".",    "clock.", "new ", " as ", "endif",
                               "rem ", "'",     "\r", "\xC3", "\0",     "#",    "$"};
    Program program;
    for (int round = 0; round < 300; ++round) {
        std::string text;
        for (int i = 0; i < 30; ++i)
            text += pieces[random() % (sizeof pieces / sizeof pieces[0])];
        TextFacts facts = CheckText(program, text);
        for (const TextProblem& p : facts.problems)
            EXPECT_LE(p.start, text.size());
    }
}

// ---- The server's answers ----------------------------------------------------

TEST(LanguageServer, AnswersEveryRequestOnceWhateverItHolds) {
    LanguageServer server;
    ASSERT_EQ(server.Handle(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})").size(), 1u);
    std::mt19937 random(11);
    const char* values[] = {"null",
                            "1",
                            "-1",
                            "1e9",
                            "\"x\"",
                            "[]",
                            "{}",
                            "{\"uri\":\"file:///a\"}",
                            "true",
                            "[1]",
                            "{\"line\":-5,\"character\":1e300}"};
    const char* methods[] = {"textDocument/completion",
                             "textDocument/hover",
                             "textDocument/definition",
                             "textDocument/documentSymbol",
                             "textDocument/didOpen",
                             "textDocument/didChange",
                             "nothing"};
    auto pick = [&](auto& list) { return list[random() % (sizeof list / sizeof list[0])]; };
    server.Handle(
        R"({"method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///a","text":"x\n"}}})");
    for (int round = 0; round < 2000; ++round) {
        std::string params = std::string("{\"textDocument\":") + pick(values) +
                             ",\"position\":" + pick(values) + ",\"contentChanges\":" + pick(values) + "}";
        bool request = round % 2 == 0;
        std::string message = std::string("{\"jsonrpc\":\"2.0\",") + (request ? "\"id\":5," : "") +
                              "\"method\":\"" + pick(methods) + "\",\"params\":" + params + "}";
        std::vector<std::string> replies = server.Handle(message);
        size_t responses = 0;
        for (const std::string& reply : replies)
            responses += JsonValue::Parse(reply).value()["id"].IsNull() ? 0 : 1;
        EXPECT_EQ(responses, request ? 1u : 0u) << message;
    }
    EXPECT_FALSE(server.Exited());
    server.Handle(R"({"jsonrpc":"2.0","method":"exit"})");
    EXPECT_TRUE(server.Exited());
    EXPECT_EQ(server.ExitCode(), 1);  // no shutdown came first
}

}  // namespace
}  // namespace tallow::lsp
