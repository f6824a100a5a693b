// The single error routine of the interpreter and the error message box.
#include <algorithm>
#include <cstdio>
#include <string>

#include "core/main_object.h"
#include "core/messages.h"
#include "core/program.h"
#include "platform/message_box.h"

namespace tallow {

namespace {

// Longest message ErrMsg$ holds.
constexpr size_t kMaxMessage = 1023;

// Fills a box format whose placeholders are %s (message), %d (line) and %s
// (file) without ever treating script text as a format.
std::string FormatBox(const char* format, const std::string& message, int line, const std::string& file) {
    std::string out;
    const char* f = format;
    int stringArg = 0;
    while (*f) {
        if (f[0] == '%' && f[1] == 's') {
            out += stringArg++ == 0 ? message : file;
            f += 2;
        } else if (f[0] == '%' && f[1] == 'd') {
            out += std::to_string(line);
            f += 2;
        } else {
            out += *f++;
        }
    }
    return out;
}

// The token as the text wrote it: with its quotes or its suffix character,
// without the white space a delimiter swallows.
std::string SourceText(const Lexer& lx, const Token& t) {
    if (t.kind == tkEnd) return std::string();
    size_t length = t.text.size();
    if (t.kind == tkString) length += 2;
    if (t.kind != tkWord && t.kind != tkNumber && t.kind != tkDelimiter && t.kind != tkString) length += 1;
    return std::string(lx.Text().substr(t.first, std::min<size_t>(length, t.end - t.first)));
}

}  // namespace

// Records where and what: resumePosition, the lexer back at the failing
// token, ErrLine#, ErrMsg$ and lastErrorKind.
void Program::RecordError(int kind, std::string_view message) {
    Lexer& lx = Lex();
    const Token& last = lx.Last();
    // A token that was put back, or the end of the text, marks the place
    // after the token before it; any other token is itself the place.
    bool atPrevious = lx.Position() == last.start || last.kind == tkEnd;
    resumePosition = lx.Position();
    lx.SetPosition(last.start);
    uint32_t place = atPrevious ? last.start : last.first;
    int line = lx.HasText() ? lx.LineOf(place) : 0;
    MainObject& main = *mainObject_;
    main.numMembers.Set("ErrLine", line);
    main.strMembers.Set("ErrMsg", std::string(message.substr(0, kMaxMessage)));
    lastError_.message = std::string(message.substr(0, kMaxMessage));
    lastError_.line = line;
    lastError_.column = lx.HasText() ? lx.ColumnOf(place) : 0;
    lastError_.token = atPrevious ? std::string() : SourceText(lx, last);
    lastError_.kind = kind;
    lastError_.place = place;
    lastError_.notes.clear();
    lastErrorKind = kind;
    errorSearched_ = false;
}

void Program::ReportMessage(int kind, std::string_view message) {
    uint32_t position = Lex().Position();
    RecordError(kind, message);
    if (kind == kSyntaxKind || kind == kRuntimeKind) throw ScriptError{};
    ShowErrorBox(false);
    // A warning lets its statement go on from where it was; recording it
    // moved the lexer back to the start of the last token read.
    Lex().SetPosition(position);
}

void Program::ReportError(int kind, std::string_view message) {
    ReportMessage(kind, message);
    // A warning kind has been shown; callers of this routine never go on.
    throw ScriptError{};
}

void Program::ShowErrorBox(bool fatal, bool endsRun) {
    ErrorOutput where = errorOutput;
    if (where == ErrorOutput::Process)
        where = platform::ErrorBoxesToStdError() ? ErrorOutput::StdError : ErrorOutput::Box;
    if (where == ErrorOutput::Host && endsRun) return;
    MainObject& main = *mainObject_;
    int msgIndex = main.strMembers.Find("ErrMsg");
    int lineIndex = main.numMembers.Find("ErrLine");
    std::string message = msgIndex >= 0 ? main.strMembers.At(size_t(msgIndex)) : std::string();
    int line = lineIndex >= 0 ? ToInt32(main.numMembers.At(size_t(lineIndex))) : 0;
    std::string text =
        FormatBox(fatal ? msg::kExceptionBox : msg::kWarningBox, message, line, scriptFileName);
    unsigned type = platform::kMbOk | (fatal ? platform::kMbIconStop : platform::kMbIconExclamation);
    platform::ShowErrorMessage(parentWindow, text, msg::kErrorCaption, type, where != ErrorOutput::Box);
}

}  // namespace tallow
