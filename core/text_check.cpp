// The reading of a text for editors: two passes of the lexer over it, the
// first for the procedures and labels (as the pre-scans find them), the
// second for everything that uses them and for the blocks.
#include "text_check.h"

#include <algorithm>

#include "core/control_flow.h"
#include "core/main_object.h"
#include "core/messages.h"
#include "core/procedures.h"
#include "core/program.h"
#include "core/statements.h"
#include "expr/lexer.h"
#include "expr/names.h"

namespace tallow {

namespace {

bool IsWord(const Token& t, const char* word) {
    return t.kind == tkWord && NamesEqual(t.text, word);
}

// The blocks whose end a scan finds, reported at their opening keyword with
// the message the engine gives when it runs out of text looking for the end.
struct BlockRule {
    int keyword;
    Scan scan;
    const char* message;
};

constexpr BlockRule kBlockRules[] = {
    {kwIf, Scan::ToEndif, msg::kEndifNotFound},
    {kwWhile, Scan::ToEndwhile, msg::kEndwhileNotFound},
    {kwSelect, Scan::ToEndselect, msg::kEndselectNotFound},
    {kwTry, Scan::ToEndtry, msg::kEndtryNotFound},
    {kwProc, Scan::ToEndproc, msg::kEndprocNotFound},
};

// The place a token covers in the text as written: its suffix or quotes too.
uint32_t TokenEnd(const Token& t) {
    uint32_t end = t.first + uint32_t(t.text.size());
    if (t.kind == tkString) end += 2;
    if (t.kind >= tkStringVar && t.kind != tkNumber && t.kind != tkString) end += 1;
    return end < t.end ? end : t.end;
}

std::string Suffix(TokenKind kind) {
    return kind == tkStringVar ? "$" : kind == tkNumberVar ? "#" : "";
}

class TextChecker {
public:
    TextChecker(Program& p, TextFacts& facts) : p_(p), lx_(p.Lex()), main_(p.Main()), facts_(facts) {}

    void Run() {
        FindDefinitions();
        CheckUses();
        SortByPlace();
    }

private:
    // Reads the next token; a lexical fault is reported and the reading goes
    // on after it, on the next line.
    Token Next() {
        for (;;) {
            uint32_t at = lx_.Position();
            try {
                last_ = lx_.NextToken();
                return last_;
            } catch (const ScriptError&) {
                if (recordLexical_) Problem(lx_.Last().first, lx_.Position(), msg::kDoubleQuotesMissing);
                uint32_t stop = lx_.Last().end;
                lx_.SetPosition(stop > at ? stop : at + 1);
            }
        }
    }

    // Puts a token back for the next read, which before was read ahead of.
    void PutBack(const Token& t, const Token& before) {
        lx_.PutBack(t);
        last_ = before;
    }

    // The token at pos, or an end token where a lexical fault lies.
    Token PeekAt(uint32_t pos) const {
        try {
            return lx_.Peek(pos);
        } catch (const LexProbeFailed&) {
            return Token{};
        }
    }

    void Problem(uint32_t start, uint32_t end, std::string_view message) {
        facts_.problems.push_back({start, end > start ? end : start + 1, std::string(message)});
    }
    void Problem(const Token& t, std::string_view message) { Problem(t.first, TokenEnd(t), message); }

    void Name(TextNameKind kind, bool definition, const Token& t, std::string name, std::string detail = {}) {
        facts_.names.push_back({kind, definition, t.first, TokenEnd(t), std::move(name), std::move(detail)});
    }

    // The engine's own error from a reader, placed where it recorded it.
    void EngineProblem(const Token& fallback) {
        const ErrorReport& error = p_.LastError();
        Problem(fallback, error.message);
    }

    const ProcRecord* FindProc(std::string_view name) const {
        for (const ProcRecord& proc : procs_)
            if (NamesEqual(proc.name, name)) return &proc;
        return nullptr;
    }
    bool HasLabel(std::string_view name) const {
        for (const std::string& label : labels_)
            if (NamesEqual(label, name)) return true;
        return false;
    }

    // Procedures and labels, as the pre-scans find them: headers anywhere
    // outside REM lines, and every word with a colon.
    void FindDefinitions() {
        lx_.Restart();
        recordLexical_ = true;
        for (Token t = Next(); t.kind != tkEnd; t = Next()) {
            if (t.kind == tkWord && p_.KeywordOf(t) == kwRem) lx_.SkipComment();
            if (t.kind == tkLabel) {
                if (HasLabel(t.text)) Problem(t, msg::kDuplicateLabel);
                labels_.emplace_back(t.text);
                Name(TextNameKind::Label, true, t, std::string(t.text));
            }
            if (IsWord(t, "proc")) ReadProcHeader();
        }
        recordLexical_ = false;
    }

    void ReadProcHeader() {
        uint32_t headerStart = lx_.Position();
        Token name = PeekAt(headerStart);
        try {
            name = ReadProcName(p_);
            ProcRecord proc{std::string(name.text), {}, {}, name.kind, 0, 0, {}, {}};
            ReadProcParameters(p_, proc);
            if (FindProc(proc.name)) Problem(name, msg::kDuplicateProc);
            std::string params(lx_.Text().substr(TokenEnd(name), proc.body - TokenEnd(name)));
            size_t a = params.find_first_not_of(" \t"), b = params.find_last_not_of(" \t\r\n");
            params = a == std::string::npos ? std::string() : params.substr(a, b - a + 1);
            Name(TextNameKind::Procedure, true, name, proc.name + Suffix(name.kind), params);
            procs_.push_back(std::move(proc));
            // The parameters are the procedure's variables, set by each call.
            lx_.SetPosition(TokenEnd(name));
            while (lx_.Position() < procs_.back().body) {
                Token param = lx_.NextToken();
                if (param.kind == tkStringVar || param.kind == tkNumberVar)
                    Name(TextNameKind::Variable, true, param, std::string(param.text) + Suffix(param.kind));
            }
        } catch (const ScriptError&) {
            EngineProblem(name);
            lx_.SetPosition(headerStart);
            lx_.SkipComment();
        }
    }

    // Whether a token begins a statement: the first of a line not continuing
    // an expression, or the one after THEN, ELSE or a label.
    bool StartsStatement(const Token& t) const {
        if (previous_.kind == tkEnd) return true;
        if (previous_.kind == tkLabel) return true;
        if (previous_.kind == tkWord && (previousKeyword_ == kwThen || previousKeyword_ == kwElse))
            return true;
        if (!t.newLine) return false;
        return previous_.kind != tkDelimiter || previous_.text[0] == ')' || previous_.text[0] == ']';
    }

    void CheckUses() {
        lx_.Restart();
        int openFor = 0;
        for (Token t = Next(); t.kind != tkEnd; t = Next()) {
            int keyword = t.kind == tkWord || t.kind == tkCall ? p_.KeywordOf(t) : 0;
            bool start = StartsStatement(t);
            if (t.kind == tkWord && keyword == kwRem) {
                lx_.SkipComment();
                previous_ = last_ = Token{};
                continue;
            }
            if (t.kind == tkWord && keyword) {
                CheckBlock(t, keyword);
                if (keyword == kwFor) ++openFor;
                if (keyword == kwNext && openFor-- <= 0) {
                    Problem(t, msg::kNextWithoutFor);
                    openFor = 0;
                }
                if (keyword == kwGoto || keyword == kwGosub) CheckJump(keyword);
                if (keyword == kwProc) SkipProcHeader();
            } else if (t.kind == tkWord && start) {
                CheckStatementWord(t);
            } else if (t.kind == tkCall && previous_.kind != tkMember && !keyword) {
                CheckCall(t);
            } else if (t.kind == tkMember) {
                CheckMember(t);
            } else if ((t.kind == tkStringVar || t.kind == tkNumberVar) && previous_.kind != tkMember) {
                NoteVariable(t, start);
            }
            previous_ = last_;
            previousKeyword_ = previous_.kind == tkWord ? p_.KeywordOf(previous_) : 0;
        }
    }

    // A block's end is looked for by the scan the engine runs when it passes
    // over the block.
    void CheckBlock(const Token& t, int keyword) {
        for (const BlockRule& rule : kBlockRules) {
            if (rule.keyword != keyword) continue;
            uint32_t resume = lx_.Position();
            int level = 0, outcome = kScanEnd;
            for (;;) {
                try {
                    outcome = RunScan(p_, ScanRuleOf(rule.scan), level);
                    break;
                } catch (const ScriptError&) {
                    // A lexical fault on the way, reported where it is: the
                    // scan goes on after it at the level it had reached.
                    uint32_t after = lx_.Last().end;
                    if (after <= lx_.Position()) after = lx_.Position() + 1;
                    lx_.SetPosition(after);
                }
            }
            if (outcome == kScanEnd) Problem(t, rule.message);
            lx_.SetPosition(resume);
        }
    }

    // The header was read in the first pass.
    void SkipProcHeader() {
        Token before = last_, name = Next();
        if (name.kind != tkWord && name.kind != tkStringVar && name.kind != tkNumberVar)
            return PutBack(name, before);
        for (const ProcRecord& proc : procs_) {
            if (NamesEqual(proc.name, name.text) && proc.body > lx_.Position()) {
                lx_.SetPosition(proc.body);
                return;
            }
        }
    }

    void CheckJump(int keyword) {
        Token before = last_, label = Next();
        if (label.kind != tkWord || label.newLine) return PutBack(label, before);
        Name(TextNameKind::Label, false, label, std::string(label.text));
        if (!HasLabel(label.text))
            Problem(label, keyword == kwGoto ? msg::kUnknownGotoLabel : msg::kUnknownGosubLabel);
    }

    void CheckStatementWord(const Token& t) {
        if (IsObjectStatementWord(t.text)) {
            if (IsWord(t, "new")) ReadNew();
            return;
        }
        if (const ProcRecord* proc = FindProc(t.text); proc && proc->kind == tkWord) {
            Name(TextNameKind::Procedure, false, t, proc->name);
            return;
        }
        if (!main_.FindStatement(t.text)) Problem(t, msg::kUnknownStatement);
    }

    // new = "new" word "as" word
    void ReadNew() {
        Token before = last_, name = Next();
        if (name.kind != tkWord) return PutBack(name, before);
        before = last_;
        Token as = Next();
        if (!IsWord(as, "as")) return PutBack(as, before);
        before = last_;
        Token type = Next();
        if (type.kind != tkWord) return PutBack(type, before);
        Name(TextNameKind::Object, true, name, std::string(name.text), std::string(type.text));
        if (!p_.FindFactory(type.text)) Problem(type, msg::kUnknownObjectType);
    }

    void CheckCall(const Token& t) {
        if (const ProcRecord* proc = FindProc(t.text); proc && proc->kind != tkWord) {
            Name(TextNameKind::Procedure, false, t, proc->name + Suffix(proc->kind));
            return;
        }
        if (!main_.FindNumFunction(t.text) && !main_.FindStringFunction(t.text))
            Problem(t, msg::kUnknownFunction);
    }

    // A member of a built-in object must be one of its members; other
    // objects (created, dialogs, extensions) are known only when running.
    void CheckMember(const Token& t) {
        ScriptObject* object = p_.FindObject(t.text);
        Token member = PeekAt(lx_.Position());
        if (!object || p_.IsDynamic(object)) return;
        if (member.kind != tkWord && member.kind != tkCall) return;
        if (object->FindStatement(member.text) || object->FindNumFunction(member.text) ||
            object->FindStringFunction(member.text))
            return;
        Problem(member, msg::kUndefinedMember);
    }

    void NoteVariable(const Token& t, bool start) {
        Token after = PeekAt(lx_.Position());
        if (after.IsDelimiter('(')) return;  // a function written with its type's suffix
        bool assigned = (start && (after.IsDelimiter('=') || after.IsDelimiter('['))) ||
                        (previous_.kind == tkWord && previousKeyword_ == kwFor);
        Name(TextNameKind::Variable, assigned, t, std::string(t.text) + Suffix(t.kind));
    }

    void SortByPlace() {
        auto byStart = [](const auto& a, const auto& b) { return a.start < b.start; };
        std::stable_sort(facts_.problems.begin(), facts_.problems.end(), byStart);
        std::stable_sort(facts_.names.begin(), facts_.names.end(), byStart);
    }

    Program& p_;
    Lexer& lx_;
    MainObject& main_;
    TextFacts& facts_;
    std::vector<ProcRecord> procs_;
    std::vector<std::string> labels_;
    Token last_;  // the last token Next gave
    Token previous_;
    int previousKeyword_ = 0;
    bool recordLexical_ = false;
};

}  // namespace

TextFacts CheckText(Program& p, std::string_view text) {
    TextFacts facts;
    p.UseText(text);
    TextChecker(p, facts).Run();
    return facts;
}

}  // namespace tallow
