// Statement dispatch: what a statement is and who executes it. The first
// token has been read; everything after it is read by the handler.
#include <cstring>
#include <new>
#include <stdexcept>

#include "core/control_flow.h"
#include "core/main_object.h"
#include "core/messages.h"
#include "core/program.h"
#include "core/statement_plan.h"
#include "core/statements.h"
#include "expr/code_cache.h"
#include "expr/num_array.h"
#include "expr/string_array.h"

namespace tallow {

namespace {

bool IsWord(const Token& t, const char* word) {
    return t.kind == tkWord && NamesEqual(t.text, word);
}

// assignment = (stringvar | numbervar) ["[" numexpr "]"] "=" expr
void Assignment(Program& p, ScriptObject& target, const Token& nameToken) {
    Lexer& lx = p.Lex();
    Evaluator& ev = p.Eval();
    std::string_view name = nameToken.text;
    bool isString = nameToken.kind == tkStringVar;
    Token t = lx.NextToken();
    if (t.IsDelimiter('[')) {
        int index = ToInt32(ev.EvalNum());
        if (!lx.NextToken().IsDelimiter(']')) p.ReportError(kSyntaxKind, msg::kBracketExpected);
        if (!lx.NextToken().IsDelimiter('=')) p.ReportError(kSyntaxKind, msg::kEqualsExpected);
        if (isString) {
            std::string value = ev.EvalString();
            StringArrayObject* array = p.FindStringArray(name);
            if (!array) p.ReportError(kSyntaxKind, msg::kUnknownStringArray);
            array->Element(index) = std::move(value);
        } else {
            double value = ev.EvalNum();
            NumArrayObject* array = p.FindNumArray(name);
            if (!array) p.ReportError(kSyntaxKind, msg::kUnknownNumberArray);
            array->Element(index) = value;
        }
        return;
    }
    if (!t.IsDelimiter('=')) p.ReportError(kSyntaxKind, msg::kEqualsExpected);
    if (isString)
        target.SetStringMember(name, ev.EvalString());
    else
        target.SetNumMember(name, ev.EvalNum());
}

void CallForEffect(Program& p, ScriptObject& object, const Token& t) {
    Lexer& lx = p.Lex();
    if (int id = object.FindNumFunction(t.text)) {
        object.ProcessNumFunction(id);
    } else if (int sid = object.FindStringFunction(t.text)) {
        object.ProcessStringFunction(sid);
    } else {
        p.ReportError(kSyntaxKind, msg::kUnknownFunction);
    }
    if (!lx.NextToken().IsDelimiter(')')) {
        p.stopRequested = 1;
        p.ReportError(kSyntaxKind, msg::kUnbalancedParenthesis);
    }
}

// A statement in the context of an object: an assignment, a label, a member
// statement, or a function called for its side effect.
void StatementInContext(Program& p, ScriptObject& object, const Token& t) {
    switch (t.kind) {
        case tkDelimiter:
            if (t.text[0] == '\'') return p.Lex().SkipComment();
            p.stopRequested = 1;
            p.ReportError(kSyntaxKind, msg::kSyntaxError);
        case tkStringVar:
        case tkNumberVar: return Assignment(p, object, t);
        case tkLabel: return;
        case tkMember: {
            ScriptObject* target = p.FindObject(t.text);
            if (!target) p.ReportError(kSyntaxKind, msg::kUndefinedObject);
            Token member = p.Lex().NextToken();
            if (member.kind == tkStringVar || member.kind == tkNumberVar) return Assignment(p, *target, member);
            if (member.kind == tkWord || member.kind == tkCall) return StatementInContext(p, *target, member);
            p.ReportError(kSyntaxKind, msg::kFunctionOrStatement);
        }
        case tkWord: {
            int id = object.FindStatement(t.text);
            if (!id) p.ReportError(kSyntaxKind, msg::kUnknownStatement);
            return object.ProcessStatement(id);
        }
        case tkCall: return CallForEffect(p, object, t);
        default: p.ReportError(kSyntaxKind, msg::kFunctionOrStatement);
    }
}

// new = "new" word "as" word
void NewStatement(Program& p) {
    Lexer& lx = p.Lex();
    Token name = lx.NextToken();
    if (name.kind != tkWord) p.ReportError(kSyntaxKind, msg::kObjectNameExpected);
    if (!IsWord(lx.NextToken(), "as")) p.ReportError(kSyntaxKind, msg::kAsExpected);
    Token type = lx.NextToken();
    if (type.kind != tkWord) p.ReportError(kSyntaxKind, msg::kObjectTypeExpected);
    ObjectFactory* factory = p.FindFactory(type.text);
    if (!factory) p.ReportError(kSyntaxKind, msg::kUnknownObjectType);
    // A name in use: an object the script created is replaced, as dim does;
    // the engine's and the host's own objects cannot be shadowed.
    if (ScriptObject* old = p.FindObject(name.text)) {
        if (!p.IsDynamic(old)) p.ReportError(kSyntaxKind, msg::kObjectNameConflict);
        p.DestroyDynamic(old);
    }
    ScriptObject* object = factory->Create(std::string(name.text));
    if (!object) p.ReportError(kSyntaxKind, msg::kCannotCreateObject);
    p.AddDynamic(object, factory);
}

// delete = "delete" word
void DeleteStatement(Program& p) {
    Token name = p.Lex().NextToken();
    if (name.kind != tkWord) p.ReportError(kSyntaxKind, msg::kObjectNameExpected);
    ScriptObject* object = p.FindObject(name.text);
    if (!object) p.ReportError(kSyntaxKind, msg::kUnknownObject);
    if (!p.IsDynamic(object)) p.ReportError(kSyntaxKind, msg::kCannotDeleteStatic);
    p.DestroyDynamic(object);
}

// dim = "dim" (stringvar | numbervar) "[" numexpr "]"
void DimStatement(Program& p) {
    Lexer& lx = p.Lex();
    Token name = lx.NextToken();
    if (name.kind != tkStringVar && name.kind != tkNumberVar) p.ReportError(kSyntaxKind, msg::kArrayNameExpected);
    if (!lx.NextToken().IsDelimiter('[')) p.ReportError(kSyntaxKind, msg::kOpenBracketExpected);
    int size = ToInt32(p.Eval().EvalNum());
    if (!lx.NextToken().IsDelimiter(']')) p.ReportError(kSyntaxKind, msg::kBracketExpected);
    if (name.kind == tkStringVar)
        p.ClearStringArray(name.text)->SetSize(size);
    else
        p.ClearNumArray(name.text)->SetSize(size);
}

// Looks for the CATCH of the innermost open TRY, reading forward from the
// lexer's position. Nested TRY blocks on the way are passed over; passing
// the ENDTRY of the current block goes on with the enclosing one, so an
// error raised in a handler reaches the CATCH of the TRY around it. When no
// CATCH is found the TRY depth is left as it was.
bool FindCatch(Program& p) {
    MainObject& main = p.Main();
    Lexer& lx = p.Lex();
    int depth = main.tryDepth;
    if (depth < 1) return false;
    int level = depth;
    for (;;) {
        Token t = lx.NextToken();
        if (t.kind == tkEnd) break;
        int kw = p.KeywordOf(t);
        if (kw == kwTry) {
            ++level;
        } else if (kw == kwEndtry) {
            if (--level < 1) break;
        } else if (kw == kwCatch && level <= depth) {
            main.tryDepth = level;
            return true;
        }
    }
    main.tryDepth = depth;
    return false;
}

// How the statement that starts with t dispatches, decided from the text
// and the names of the moment.
StatementPlan MakePlan(Program& p, const Token& t) {
    StatementPlan plan;
    if (t.kind == tkWord) {
        for (const char* word : {"new", "dim", "delete", "on"})
            if (NamesEqual(t.text, word)) return plan;
        if (int id = p.Main().FindStatement(t.text)) {
            plan.kind = id == kwNext    ? PlanKind::Next
                        : id == kwIf    ? PlanKind::If
                        : id == kwWhile ? PlanKind::While
                                        : PlanKind::Keyword;
            plan.id = id;
            plan.handler = KeywordHandler(id);
        }
        return plan;
    }
    if (t.kind == tkNumberVar || t.kind == tkStringVar) {
        Token next = p.Lex().Peek(t.end);
        if (next.IsDelimiter('=')) {
            plan.kind = t.kind == tkNumberVar ? PlanKind::NumAssign : PlanKind::StrAssign;
            plan.equals = next.index;
            plan.equalsEnd = next.end;
            plan.name = t.text;
        }
    }
    return plan;
}

[[gnu::noinline]] StatementPlan* NewPlan(Program& p, const Token& t, PlaceNotes& notes) {
    CodeCache& cache = p.Lex().Code();
    StatementPlan plan = MakePlan(p, t);
    if (plan.kind == PlanKind::Generic) {
        notes.statement = NotCompilableMark<StatementPlan>();
        return nullptr;
    }
    notes.statement = cache.Keep(cache.statements, std::make_unique<StatementPlan>(plan));
    return notes.statement;
}

inline StatementPlan* PlanFor(Program& p, Lexer& lx, const Token& t) {
    PlaceNotes& notes = lx.Code().At(t.index, p.Main().NameGeneration());
    StatementPlan* plan = notes.statement;
    if (plan == NotCompilableMark<StatementPlan>()) return nullptr;
    return plan ? plan : NewPlan(p, t, notes);
}

// Stores into a global variable through the plan's remembered slot.
template <class Table, class Value>
[[gnu::always_inline]] inline void StoreGlobal(Table& table, StatementPlan& plan, Value&& value) {
    if (plan.slot.generation == table.Generation()) {
        table.At(plan.slot.index) = std::forward<Value>(value);
        return;
    }
    uint32_t index = table.Set(plan.name, std::forward<Value>(value));
    plan.slot = {table.Generation(), index};
}

// s$ = s$ + ...: when nothing on the right can change a variable, and no
// part after the first appended one reads s$, the parts are appended to s$
// where it stands instead of copying it. An error on the way takes the
// appended text off again.
bool ReadsName(const StrCode& code, const StrPart& part, std::string_view name) {
    if (part.op == StrOp::Var) return NamesEqual(code.vars[part.arg].name, name);
    if (part.op == StrOp::Call)
        for (std::string_view read : code.calls[part.arg].reads)
            if (NamesEqual(read, name)) return true;
    return false;
}

bool CanAppendInPlace(const StrCode& code, std::string_view name) {
    if (!code.harmless || code.parts.size() < 2 || code.parts[0].op != StrOp::Var) return false;
    if (!NamesEqual(code.vars[code.parts[0].arg].name, name)) return false;
    for (size_t i = 2; i < code.parts.size(); ++i)
        if (ReadsName(code, code.parts[i], name)) return false;
    return true;
}

bool AppendInPlace(Program& p, StatementPlan& plan) {
    StrVarTable& table = p.Main().strMembers;
    std::string* target = table.FindAt(plan.slot, plan.name);
    if (!target) return false;
    size_t before = target->size();
    try {
        AppendStr(p, *plan.str, *target, 1);
    } catch (...) {
        // Recording the error may have grown the table (find the entry
        // again) and, for ErrMsg$ itself, replaced the text with the message.
        if (!NamesEqual(plan.name, "ErrMsg")) table.At(plan.slot.index).resize(before);
        throw;
    }
    return true;
}

[[gnu::noinline]] void AssignString(Program& p, Lexer& lx, StatementPlan& plan) {
    lx.Read(plan.equals, plan.equalsEnd);
    if (!plan.codeKnown) {
        plan.str = p.Eval().CachedStr();
        plan.inPlace = plan.str && CanAppendInPlace(*plan.str, plan.name);
        plan.codeKnown = true;
    }
    if (plan.inPlace && AppendInPlace(p, plan)) return;
    StoreGlobal(p.Main().strMembers, plan, plan.str ? RunStr(p, *plan.str) : p.Eval().EvalString());
}

[[gnu::always_inline]] inline bool RunPlan(Program& p, Lexer& lx, StatementPlan& plan) {
    MainObject& main = p.Main();
    switch (plan.kind) {
        case PlanKind::Keyword:
            if (plan.handler)
                plan.handler(p);
            else
                main.ProcessStatement(plan.id);
            return true;
        case PlanKind::NumAssign: {
            lx.Read(plan.equals, plan.equalsEnd);
            if (!plan.codeKnown) {
                plan.num = p.Eval().CachedNum();
                plan.codeKnown = true;
            }
            double value = plan.num ? RunNum(p, *plan.num) : p.Eval().EvalNum();
            StoreGlobal(main.numMembers, plan, value);
            return true;
        }
        case PlanKind::StrAssign: AssignString(p, lx, plan); return true;
        case PlanKind::Next: {
            // One step of the innermost FOR loop (see StmtNext).
            if (main.forStack.size() <= main.forFloor) break;
            ForEntry& loop = main.forStack.back();
            NumVarTable& table = main.numMembers;
            if (loop.slot.generation != table.Generation()) break;
            double& v = table.At(loop.slot.index);
            double limit = loop.limit;
            if (v == limit) {
                main.forStack.pop_back();
                return true;
            }
            if (v < limit) {
                v += 1;
                if (v >= limit) v = limit;
            } else {
                v -= 1;
                if (v <= limit) v = limit;
            }
            lx.SetPosition(loop.top);
            return true;
        }
        case PlanKind::If:
            if (!RunIfPlan(p, plan)) StmtIf(p);
            return true;
        case PlanKind::While:
            if (!RunWhilePlan(p, plan)) StmtWhile(p);
            return true;
        case PlanKind::Generic: break;
    }
    if (plan.kind == PlanKind::Next) {
        StmtNext(p);  // the first step, or an error
        return true;
    }
    return false;
}

// A statement without a plan, dispatched from its text.
[[gnu::noinline]] int ExecuteUnfiltered(Program& p, const Token& t) {
    if (t.kind == tkWord) {
        if (NamesEqual(t.text, "new")) return NewStatement(p), 1;
        if (NamesEqual(t.text, "dim")) return DimStatement(p), 1;
        if (NamesEqual(t.text, "delete")) return DeleteStatement(p), 1;
        if (NamesEqual(t.text, "on")) return 1;
    }
    if (t.kind == tkEnd) return 1;
    StatementInContext(p, p.Main(), t);
    return 1;
}

}  // namespace

// One statement: through its plan when it has one, else from the text.
static inline void RunOne(Program& p, Lexer& lx, const Token& t) {
    if (StatementPlan* plan = PlanFor(p, lx, t))
        if (RunPlan(p, lx, *plan)) return;
    ExecuteUnfiltered(p, t);
}

int Program::KeywordOf(const Token& token) {
    MainObject& main = *mainObject_;
    PlaceNotes& notes = lexer_->Code().At(token.index, main.NameGeneration());
    if (notes.keyword == kKeywordUnknown) notes.keyword = main.KeywordOf(token.text);
    return notes.keyword;
}

// The TRY filter: a run-time error that leaves the statement continues
// after the CATCH of the innermost open TRY when the scan finds one.
//
// The search starts where the error happened. When the error was raised in
// a statement this one ran (a procedure body) and no CATCH was found from
// there, it starts again from this statement, so a TRY around a call
// catches what the call raised; RESUME cannot go back into the finished
// call.
int Program::ExecuteStatement(const Token& token) {
    try {
        RunOne(*this, *lexer_, token);
        return 1;
    } catch (const ScriptError&) {
        return CatchOrRethrow(token);
    }
}

namespace {

// The next statement: from the plan that ran before when it predicted the
// place, else read and looked up (and remembered as that plan's successor).
struct Step {
    const Token* token;
    StatementPlan* plan;
};

[[gnu::always_inline]] inline Step NextStep(Program& p, Lexer& lx, StatementPlan* previous) {
    uint32_t at = lx.Position();
    uint32_t generation = p.Main().NameGeneration();
    if (previous && previous->nextAt == at && previous->nextGeneration == generation) {
        lx.Read(*previous->nextToken);
        return {previous->nextToken, previous->nextPlan};
    }
    const Token& t = lx.NextToken();
    StatementPlan* plan = PlanFor(p, lx, t);
    if (previous) {
        previous->nextAt = at;
        previous->nextGeneration = generation;
        previous->nextToken = &t;
        previous->nextPlan = plan;
    }
    return {&t, plan};
}

}  // namespace

int Program::RunStatements() {
    Lexer& lx = *lexer_;  // nested runs put it back before they return
    StatementPlan* previous = nullptr;
    for (;;) {
        Step step;
        if (!Budget()) return 1;
        try {
            step = NextStep(*this, lx, previous);
            previous = step.plan;
            try {
                if (!step.plan || !RunPlan(*this, lx, *step.plan)) ExecuteUnfiltered(*this, *step.token);
            } catch (const ScriptError&) {
                CatchOrRethrow(*step.token);
                previous = nullptr;  // going on at a CATCH is no prediction
            } catch (const std::bad_alloc&) {
                OutOfMemory();
            } catch (const std::length_error&) {
                OutOfMemory();
            }
        } catch (const ScriptError&) {
            ShowErrorBox(true);
            return 0;
        }
        if (step.token->kind == tkEnd || stopRequested) return 1;
    }
}

void Program::RunBody(StatementPlan* entry) {
    Lexer& lx = *lexer_;
    StatementPlan* previous = entry;
    for (;;) {
        if (!Budget()) return;
        Step step = NextStep(*this, lx, previous);
        StatementPlan* plan = step.plan;
        const Token& t = *step.token;
        if (plan && plan->kind == PlanKind::Keyword && (plan->id == kwEndproc || plan->id == kwExit) &&
            t.kind == tkWord)
            return;
        previous = plan;
        try {
            if (!plan || !RunPlan(*this, lx, *plan)) ExecuteUnfiltered(*this, t);
        } catch (const ScriptError&) {
            CatchOrRethrow(t);
            previous = nullptr;
        }
        if (t.kind == tkEnd || stopRequested) return;
    }
}

// Called inside the handler of ExecuteStatement: either the error is caught
// by a CATCH and execution goes on there, or it is thrown on.
int Program::CatchOrRethrow(const Token& token) {
    if (lastErrorKind != kRuntimeKind) throw;
    if (errorSearched_) {
        lexer_->SetPosition(token.start);
        resumePosition.reset();
    }
    if (!FindCatch(*this)) {
        errorSearched_ = true;
        throw;
    }
    return 1;
}

}  // namespace tallow
