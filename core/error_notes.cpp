// The note lookup: applies the rules of kNoteRules (core/messages.h) to an
// error of a program, asking the program what each rule's hint needs.
#include "core/error_notes.h"

#include <algorithm>
#include <cstring>

#include "core/main_object.h"
#include "core/messages.h"
#include "expr/lexer.h"
#include "expr/num_array.h"
#include "expr/script_object.h"
#include "expr/string_array.h"

namespace tallow {

namespace {

char Fold(char c) {
    return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
}

bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           static_cast<unsigned char>(c) >= 128;
}

// What an error is about: the token at fault, or for an array's "[" the
// name before it, with the object it is a member of.
struct Subject {
    std::string token;              // as the script wrote it
    std::string name;               // without its suffix or parenthesis
    uint32_t end = 0;               // where the text goes on after it
    ScriptObject* owner = nullptr;  // the object before "name.", or null
};

// The name (with its suffix) that ends just before pos, blanks skipped.
std::string_view NameBefore(std::string_view text, uint32_t pos) {
    size_t end = pos;
    while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    size_t start = end;
    if (start > 0 && std::strchr("#$@", text[start - 1])) --start;
    while (start > 0 && IsNameChar(text[start - 1]))
        --start;
    return text.substr(start, end - start);
}

Subject SubjectOf(Program& p, std::string_view text, const ErrorReport& error) {
    Subject s;
    s.token = error.token;
    s.end = error.place + uint32_t(error.token.size());
    uint32_t first = error.place;
    if (s.token == "[" && first <= text.size()) {
        std::string_view before = NameBefore(text, first);
        s.token.assign(before);
        first -= uint32_t(before.size());
    }
    s.name = s.token;
    if (!s.name.empty() && std::strchr("#$@(:.", s.name.back())) s.name.pop_back();
    if (first > 0 && first <= text.size() && text[first - 1] == '.')
        s.owner = p.FindObject(NameBefore(text, first - 1));
    return s;
}

bool TokenMatches(const char* pattern, const Subject& s) {
    if (!pattern) return true;
    if (pattern[0] == '*') return !s.token.empty() && s.token.back() == pattern[1];
    return NamesEqual(s.token, pattern);
}

bool Is(const NoteRule& rule, const char* message) {
    return std::strcmp(rule.message, message) == 0;
}

// A variable or array of the subject's name with the other suffix; "" when
// there is none.
std::string OtherSuffix(Program& p, const NoteRule& rule, const Subject& s) {
    if (Is(rule, msg::kUnknownNumberArray)) return p.FindStringArray(s.name) ? s.name + "$" : "";
    if (Is(rule, msg::kUnknownStringArray)) return p.FindNumArray(s.name) ? s.name + "#" : "";
    ScriptObject& owner = s.owner ? *s.owner : p.Main();
    bool isNumber = !s.token.empty() && s.token.back() == '#';
    if (isNumber) return owner.strMembers.Exists(s.name) ? s.name + "$" : "";
    return owner.numMembers.Exists(s.name) ? s.name + "#" : "";
}

void AddNames(const NameList& list, std::vector<std::string>& names) {
    for (int id = 1; id <= list.Size(); ++id)
        if (!list.At(id).empty()) names.push_back(list.At(id));
}

// The names a slip of the subject's kind may have been meant as.
std::vector<std::string> Candidates(Program& p, const NoteRule& rule, const Subject& s) {
    std::vector<std::string> names;
    if (Is(rule, msg::kUnknownVariable)) {
        const NumVarTable& constants = p.Main().constants;
        for (size_t i = 0; i < constants.Size(); ++i)
            names.push_back(constants.NameAt(i));
        return names;
    }
    if (Is(rule, msg::kUndefinedObject) || Is(rule, msg::kUnknownObject)) return p.ObjectNames();
    if (Is(rule, msg::kUnknownObjectType)) return p.FactoryNames();
    std::vector<const ScriptObject*> owners;
    if (s.owner) {
        owners.push_back(s.owner);
    } else {
        owners.push_back(&p.Main());
        if (const ScriptObject* partner = p.Main().SystemPartner()) owners.push_back(partner);
    }
    bool numbers = Is(rule, msg::kUnknownNumFunction) || Is(rule, msg::kUnknownFunction);
    bool strings = Is(rule, msg::kUnknownStringFunction) || Is(rule, msg::kUnknownFunction);
    for (const ScriptObject* owner : owners) {
        if (Is(rule, msg::kUnknownStatement)) AddNames(owner->statements, names);
        if (numbers) AddNames(owner->numFunctions, names);
        if (strings) AddNames(owner->stringFunctions, names);
    }
    return names;
}

// The name is a function that gives the other kind of value than the
// message's.
bool OtherKindFunction(Program& p, const NoteRule& rule, const Subject& s) {
    const ScriptObject& owner = s.owner ? *s.owner : p.Main();
    if (Is(rule, msg::kUnknownNumFunction)) return owner.FindStringFunction(s.name) != 0;
    return owner.FindNumFunction(s.name) != 0;
}

bool BeforeEquals(std::string_view text, const Subject& s) {
    Lexer lexer;
    try {
        lexer.SetText(text);
        lexer.SetPosition(s.end);
        return lexer.NextToken().IsDelimiter('=');
    } catch (const ScriptError&) {
        return false;
    }
}

// The innermost block of the rule's kind that the text opens and never
// closes, by a scan of the keywords from the start; false when every block
// is closed. A text that ends inside a string literal is scanned up to it.
bool UnclosedOpener(std::string_view text, const NoteRule& rule, int& line, int& column) {
    Lexer lexer;
    std::vector<uint32_t> open;
    try {
        lexer.SetText(text);
        for (Token t = lexer.NextToken(); t.kind != tkEnd; t = lexer.NextToken()) {
            if (t.kind != tkWord) continue;
            if (NamesEqual(t.text, "rem"))
                lexer.SkipComment();
            else if (NamesEqual(t.text, rule.open))
                open.push_back(t.first);
            else if (NamesEqual(t.text, rule.close) && !open.empty())
                open.pop_back();
        }
    } catch (const ScriptError&) {
    }
    if (open.empty()) return false;
    line = lexer.LineOf(open.back());
    column = lexer.ColumnOf(open.back());
    return true;
}

std::string Fill(const char* text, const Subject& s, const std::string& found) {
    std::string out;
    for (const char* c = text; *c;) {
        if (*c == '{') {
            const char* close = std::strchr(c, '}');
            std::string_view field(c + 1, close ? size_t(close - c - 1) : 0);
            if (close && (field == "token" || field == "name" || field == "found")) {
                out += field == "token" ? s.token : field == "name" ? s.name : found;
                c = close + 1;
                continue;
            }
        }
        out += *c++;
    }
    return out;
}

// The note of one rule for the error, if its hint holds.
bool Apply(Program& p, std::string_view text, const NoteRule& rule, const Subject& s,
           const ErrorReport& error, ErrorNote& note) {
    std::string found;
    // A note that names the token says nothing where the error has none (an
    // assignment's target is reported after its value).
    bool namesToken = std::strstr(rule.text, "{token}") || std::strstr(rule.text, "{name}");
    if (namesToken && s.name.empty()) return false;
    note.line = error.line;
    note.column = error.column;
    switch (rule.hint) {
        case NoteHint::kNone:
            break;
        case NoteHint::kOtherSuffix:
            found = OtherSuffix(p, rule, s);
            if (found.empty()) return false;
            break;
        case NoteHint::kNoOtherSuffix:
            if (!OtherSuffix(p, rule, s).empty()) return false;
            break;
        case NoteHint::kNearestName:
            found = NearestName(s.name, Candidates(p, rule, s));
            if (found.empty()) return false;
            break;
        case NoteHint::kOtherKindFunction:
            if (!OtherKindFunction(p, rule, s)) return false;
            break;
        case NoteHint::kBeforeEquals:
            if (!BeforeEquals(text, s)) return false;
            break;
        case NoteHint::kBlockOpener:
            if (!UnclosedOpener(text, rule, note.line, note.column)) return false;
            break;
    }
    note.text = Fill(rule.text, s, found);
    return true;
}

}  // namespace

size_t EditDistance(std::string_view a, std::string_view b) {
    // Three rows of the table: two back (for swaps), one back, this one.
    std::vector<size_t> before(b.size() + 1), last(b.size() + 1), row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        last[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            size_t cost = Fold(a[i - 1]) == Fold(b[j - 1]) ? 0 : 1;
            row[j] = std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + cost});
            if (i > 1 && j > 1 && Fold(a[i - 1]) == Fold(b[j - 2]) && Fold(a[i - 2]) == Fold(b[j - 1]))
                row[j] = std::min(row[j], before[j - 2] + 1);
        }
        before.swap(last);
        last.swap(row);
    }
    return last[b.size()];
}

std::string NearestName(std::string_view name, const std::vector<std::string>& candidates) {
    size_t limit = name.size() <= 2 ? 1 : name.size() <= 5 ? 2 : 3;
    std::string best;
    size_t bestDistance = limit + 1;
    for (const std::string& candidate : candidates) {
        size_t d = EditDistance(name, candidate);
        if (d == 0) return std::string();  // a known name is no slip
        if (d < bestDistance) {
            best = candidate;
            bestDistance = d;
        }
    }
    return best;
}

std::vector<ErrorNote> ErrorNotes(Program& program, const ErrorReport& error) {
    std::vector<ErrorNote> notes;
    try {
        std::string_view text = program.Lex().Text();
        Subject subject = SubjectOf(program, text, error);
        for (const NoteRule& rule : kNoteRules) {
            if (error.message != rule.message || !TokenMatches(rule.token, subject)) continue;
            ErrorNote note;
            if (Apply(program, text, rule, subject, error, note)) {
                notes.push_back(std::move(note));
                break;
            }
        }
    } catch (...) {  // a note is a help: without memory for it there is none
        notes.clear();
    }
    return notes;
}

}  // namespace tallow
