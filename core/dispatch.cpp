// Statement dispatch: what a statement is and who executes it, the statement
// loop, and the TRY filter around every statement. The first token has been
// read; everything after it is read by the handler.
#include <cassert>
#include <cstring>
#include <new>
#include <stdexcept>

#include "core/control_flow.h"
#include "core/loop_step.h"
#include "core/main_object.h"
#include "core/messages.h"
#include "core/program.h"
#include "core/statement_plan.h"
#include "core/statements.h"
#include "core/text_scope.h"
#include "expr/num_array.h"
#include "expr/string_array.h"

namespace tallow {

namespace {

bool IsWord(const Token& t, const char* word) {
    return t.kind == tkWord && NamesEqual(t.text, word);
}

// The code a place remembers, looked up until the answer there is settled.
template <class Code, class Lookup>
[[gnu::always_inline]] inline Code* KnownCode(CodeMemo<Code>& memo, Lookup lookup) {
    if (!memo.known) memo.code = lookup(&memo.known);
    return memo.code;
}

// The expression at the lexer, through the code that memo remembers when
// there is a memo.
template <class Code, class Lookup, class Run, class Read>
[[gnu::always_inline]] inline auto PlannedValue(Program& p, CodeMemo<Code>* memo, Lookup lookup, Run run,
                                                Read read) {
    if (!memo) return read();
    Code* code = KnownCode(*memo, lookup);
    return code && NestingAllows(p, code->nesting) ? run(*code) : read();
}

[[gnu::always_inline]] inline double PlannedNum(Program& p, CodeMemo<NumCode>* memo) {
    Evaluator& ev = p.Eval();
    return PlannedValue(
        p, memo, [&](bool* settled) { return ev.CachedNum(settled); },
        [&](NumCode& code) { return RunNum(p, code); }, [&] { return ev.EvalNum(); });
}

std::string PlannedStr(Program& p, CodeMemo<StrCode>* memo) {
    Evaluator& ev = p.Eval();
    return PlannedValue(
        p, memo, [&](bool* settled) { return ev.CachedStr(settled); },
        [&](StrCode& code) { return RunStr(p, code); }, [&] { return ev.EvalString(); });
}

// The element part of an assignment, after its "[": the index, "]", "=", the
// value, then the array, found by name after the value (which may create
// it). plan, when given, remembers the codes and the array.
void ElementAssignment(Program& p, std::string_view name, bool isString, ElementPlan* plan) {
    Lexer& lx = p.Lex();
    int index = ToInt32(PlannedNum(p, plan ? &plan->index : nullptr));
    if (!lx.NextToken().IsDelimiter(']')) p.ReportError(kSyntaxKind, msg::kBracketExpected);
    if (!lx.NextToken().IsDelimiter('=')) p.ReportError(kSyntaxKind, msg::kEqualsExpected);
    if (isString) {
        std::string value = PlannedStr(p, plan ? &plan->str : nullptr);
        StringArrayObject* array = plan ? SiteStringArray(p, plan->array) : p.FindStringArray(name);
        if (!array) p.ReportError(kSyntaxKind, msg::kUnknownStringArray);
        array->Element(index) = std::move(value);
    } else {
        double value = PlannedNum(p, plan ? &plan->num : nullptr);
        NumArrayObject* array = plan ? SiteNumArray(p, plan->array) : p.FindNumArray(name);
        if (!array) p.ReportError(kSyntaxKind, msg::kUnknownNumberArray);
        array->Element(index) = value;
    }
}

// assignment = (stringvar | numbervar) ["[" numexpr "]"] "=" expr
void Assignment(Program& p, ScriptObject& target, const Token& nameToken) {
    Lexer& lx = p.Lex();
    Evaluator& ev = p.Eval();
    std::string_view name = nameToken.text;
    bool isString = nameToken.kind == tkStringVar;
    Token t = lx.NextToken();
    if (t.IsDelimiter('[')) return ElementAssignment(p, name, isString, nullptr);
    if (!t.IsDelimiter('=')) p.ReportError(kSyntaxKind, msg::kEqualsExpected);
    if (isString)
        target.SetStringMember(name, ev.EvalString());
    else
        target.SetNumMember(name, ev.EvalNum());
}

// call = (numcall | strcall) ")", its value dropped
void CallForEffect(Program& p, ScriptObject& object, const Token& t) {
    Lexer& lx = p.Lex();
    NestingScope nesting(p, 1);
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
// statement, or a function called for its side effect. The object of a
// member statement stays alive until the statement is done, whatever the
// statement does to its name.
void StatementInContext(Program& p, ScriptObject& object, const Token& t) {
    switch (t.kind) {
        case tkDelimiter:
            if (t.text[0] == '\'') return p.Lex().SkipComment();
            p.stopRequested = 1;
            p.ReportError(kSyntaxKind, msg::kSyntaxError);
        case tkStringVar:
        case tkNumberVar:
            return Assignment(p, object, t);
        case tkLabel:
            return;
        case tkMember: {
            ScriptObject* target = p.FindObject(t.text);
            if (!target) p.ReportError(kSyntaxKind, msg::kUndefinedObject);
            ObjectHold hold(*target);
            Token member = p.Lex().NextToken();
            if (member.kind == tkStringVar || member.kind == tkNumberVar)
                return Assignment(p, *target, member);
            if (member.kind == tkWord || member.kind == tkCall) return StatementInContext(p, *target, member);
            p.ReportError(kSyntaxKind, msg::kFunctionOrStatement);
        }
        case tkWord: {
            int id = object.FindStatement(t.text);
            if (!id) p.ReportError(kSyntaxKind, msg::kUnknownStatement);
            return object.ProcessStatement(id);
        }
        case tkCall:
            return CallForEffect(p, object, t);
        default:
            p.ReportError(kSyntaxKind, msg::kFunctionOrStatement);
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
    if (name.kind != tkStringVar && name.kind != tkNumberVar)
        p.ReportError(kSyntaxKind, msg::kArrayNameExpected);
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
    int depth = main.tryDepth;
    if (depth < 1) return false;
    int level = depth;
    for (Token t;;) {
        int kw = ScanKeyword(p, t);
        if (kw == kScanEnd) break;
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

// A statement read from its text, as every statement is without a plan.
void ExecuteUnfiltered(Program& p, const Token& t) {
    if (t.kind == tkWord) {
        if (NamesEqual(t.text, "new")) return NewStatement(p);
        if (NamesEqual(t.text, "dim")) return DimStatement(p);
        if (NamesEqual(t.text, "delete")) return DeleteStatement(p);
        if (NamesEqual(t.text, "on")) return;
    }
    if (t.kind == tkEnd) return;
    StatementInContext(p, p.Main(), t);
}

// ---- Plans ----------------------------------------------------------------------

// What the statement that starts with t dispatches to, decided from the text
// and the names of the moment; null for statements read from the text.
std::unique_ptr<StatementPlan> MakePlan(Program& p, const Token& t) {
    if (t.kind == tkWord) {
        for (const char* word : {"new", "dim", "delete", "on"})
            if (NamesEqual(t.text, word)) return nullptr;
        int id = p.Main().FindStatement(t.text);
        if (!id) return nullptr;
        std::unique_ptr<StatementPlan> plan;
        if (id == kwIf || id == kwWhile) {
            plan = std::make_unique<ConditionPlan>(id == kwIf ? PlanKind::If : PlanKind::While);
        } else if (id == kwElse) {
            plan = std::make_unique<ScanPlan>(PlanKind::Else);
        } else if (id == kwNext || id == kwEndwhile || id == kwEndif) {
            PlanKind kind = id == kwNext       ? PlanKind::Next
                            : id == kwEndwhile ? PlanKind::Endwhile
                                               : PlanKind::Endif;
            plan = std::make_unique<StatementPlan>(kind);
        } else {
            auto keyword = std::make_unique<KeywordPlan>();
            keyword->id = id;
            keyword->handler = KeywordHandler(id);
            plan = std::move(keyword);
        }
        plan->endsBody = EndsBody(t);
        return plan;
    }
    if (t.kind == tkNumberVar || t.kind == tkStringVar) {
        Token next;
        try {
            next = p.Lex().Peek(t.end);
        } catch (const LexProbeFailed&) {
            return nullptr;
        }
        if (next.IsDelimiter('[')) {
            auto plan = std::make_unique<ElementPlan>(t.kind == tkNumberVar ? PlanKind::NumElement
                                                                            : PlanKind::StrElement);
            plan->bracket = next;
            plan->array.name = t.text;
            return plan;
        }
        if (!next.IsDelimiter('=')) return nullptr;
        auto plan =
            std::make_unique<AssignPlan>(t.kind == tkNumberVar ? PlanKind::NumAssign : PlanKind::StrAssign);
        plan->equals = next;
        plan->name = t.text;
        return plan;
    }
    return nullptr;
}

// The plan of the statement that starts with t; settled tells whether the
// answer is final for the place (it is not on a first visit).
StatementPlan* PlanAt(Program& p, const Token& t, bool& settled) {
    settled = false;
    if (!p.FastPaths()) return nullptr;
    PlaceNotes* notes = p.Memory().Visit(t.start, p.Main().NameGeneration());
    if (!notes) return nullptr;
    settled = true;
    if (notes->statement == NotCompilableMark<StatementPlan>()) return nullptr;
    if (!notes->statement) {
        std::unique_ptr<StatementPlan> plan = MakePlan(p, t);
        if (!plan) {
            notes->statement = NotCompilableMark<StatementPlan>();
            return nullptr;
        }
        notes->statement = p.Memory().Keep(std::move(plan));
    }
    return notes->statement;
}

// Stores into a global variable through the plan's remembered slot, as the
// main object's SetNumMember and SetStringMember store.
template <class Table, class Value>
[[gnu::always_inline]] inline void StoreGlobal(Table& table, AssignPlan& plan, Value&& value) {
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
    if (part.op != StrOp::Call) return false;
    const CallSite& call = code.calls[part.arg];
    if (call.readsMany) return true;
    for (std::string_view read : call.reads)
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

bool AppendInPlace(Program& p, AssignPlan& plan) {
    StrVarTable& table = p.Main().strMembers;
    std::string* target = table.FindAt(plan.slot, plan.name);
    if (!target) return false;
    size_t before = target->size();
    try {
        AppendStr(p, *plan.str.code, *target, 1);
    } catch (...) {
        // Recording the error may have grown the table (find the entry
        // again) and, for ErrMsg$ itself, replaced the text with the message.
        if (!NamesEqual(plan.name, "ErrMsg")) table.At(plan.slot.index).resize(before);
        throw;
    }
    return true;
}

[[gnu::always_inline]] inline void AssignNumber(Program& p, AssignPlan& plan) {
    p.Lex().Read(plan.equals);
    StoreGlobal(p.Main().numMembers, plan, PlannedNum(p, &plan.num));
}

[[gnu::noinline]] void AssignString(Program& p, AssignPlan& plan) {
    p.Lex().Read(plan.equals);
    bool known = plan.str.known;
    StrCode* code = KnownCode(plan.str, [&](bool* settled) { return p.Eval().CachedStr(settled); });
    if (!known && code) plan.inPlace = CanAppendInPlace(*code, plan.name);
    bool runs = code && NestingAllows(p, code->nesting);
    if (runs && plan.inPlace && AppendInPlace(p, plan)) return;
    StoreGlobal(p.Main().strMembers, plan, runs ? RunStr(p, *code) : p.Eval().EvalString());
}

// A statement through its plan: the same handlers, given what the place
// remembers.
[[gnu::always_inline]] inline void RunPlan(Program& p, StatementPlan& plan) {
    switch (plan.kind) {
        case PlanKind::Keyword: {
            auto& keyword = static_cast<KeywordPlan&>(plan);
            if (keyword.handler)
                keyword.handler(p.Main());
            else
                p.Main().ProcessStatement(keyword.id);
            return;
        }
        case PlanKind::Next:
            return ForStep(p);
        case PlanKind::Endwhile:
            return EndwhileStep(p);
        case PlanKind::Endif:
            return EndifStatement(p);
        case PlanKind::Else:
            return ElseStatement(p, &static_cast<ScanPlan&>(plan).scan);
        case PlanKind::NumAssign:
            return AssignNumber(p, static_cast<AssignPlan&>(plan));
        case PlanKind::StrAssign:
            return AssignString(p, static_cast<AssignPlan&>(plan));
        case PlanKind::NumElement:
        case PlanKind::StrElement: {
            auto& element = static_cast<ElementPlan&>(plan);
            p.Lex().Read(element.bracket);
            return ElementAssignment(p, element.array.name, plan.kind == PlanKind::StrElement, &element);
        }
        case PlanKind::If:
            return IfStatement(p, &static_cast<ConditionPlan&>(plan));
        case PlanKind::While:
            return WhileStatement(p, &static_cast<ConditionPlan&>(plan));
    }
    assert(!"a plan of no known kind");
    __builtin_unreachable();
}

}  // namespace

bool EndsBody(const Token& t) {
    return t.kind == tkWord && (NamesEqual(t.text, "endproc") || NamesEqual(t.text, "exit"));
}

int Program::KeywordOf(const Token& token) {
    return mainObject_->KeywordOf(token.text);
}

// The TRY filter: a run-time error that leaves the statement continues
// after the CATCH of the innermost open TRY when the scan finds one.
//
// The search starts where the error happened. When the error was raised in
// a statement this one ran (a procedure body) and no CATCH was found from
// there, it starts again from this statement, so a TRY around a call
// catches what the call raised; RESUME cannot go back into the finished
// call. Running out of memory inside a statement is the script error "out
// of memory", which no TRY catches.
[[gnu::always_inline]] inline int Program::ExecuteStatement(uint32_t start, const Token* token,
                                                            StatementPlan* plan) {
    try {
        try {
            if (plan)
                RunPlan(*this, *plan);
            else
                ExecuteUnfiltered(*this, *token);
        } catch (const std::bad_alloc&) {
            OutOfMemory();
        } catch (const std::length_error&) {
            OutOfMemory();
        }
        return 1;
    } catch (const ScriptError&) {
        return CatchOrRethrow(start);
    }
}

// The loop is made twice, for the text's own loop and for procedure bodies,
// so that neither tests which it is on every statement.
template <bool kBody>
void Program::RunStatementsOf(StatementPlan* entry) {
    TextScope& scope = *text_;  // nested runs put it back before they return
    Lexer& lx = scope.lexer;
    TextMemory& memory = scope.memory;
    StatementPlan* previous = entry;
    for (;;) {
        if (!Budget()) return;
        // The next statement: as the statement before predicted it, or read
        // and looked up (and remembered as that statement's successor). A
        // statement starts where the lexer stands (at).
        uint32_t at = lx.Position();
        uint32_t generation = mainObject_->NameGeneration();
        StatementPlan* plan = nullptr;
        StatementPlan::Successor* known = previous ? previous->FindNext(at, generation) : nullptr;
        if (known && (plan = known->plan)) {
            lx.Read(known->token);
            if (kBody && plan->endsBody) return;
            previous = plan;
            ExecuteStatement(at, nullptr, plan);  // a plan never starts at the end of the text
            if (stopRequested) return;
            continue;
        }
        // Code forgotten under older names is freed where none of it runs:
        // between the statements of the text's own loop. Predictions are
        // noted under the names of the moment, so after names change the
        // loop comes here before it runs a statement of the new names.
        if (!kBody && memory.HasStale()) {
            previous = nullptr;
            lx.OwnLast();
            memory.Collect();
        }
        Token token = lx.NextToken();
        bool settled;
        plan = PlanAt(*this, token, settled);
        if (previous && settled) {
            StatementPlan::Successor& next = previous->NoteNext(at);
            next = {at, generation, token, plan};
        }
        if (kBody && (plan ? plan->endsBody : EndsBody(token))) return;
        previous = plan;
        ExecuteStatement(at, &token, plan);
        if (token.kind == tkEnd || stopRequested) return;
    }
}

void Program::RunStatements(bool body, StatementPlan* entry) {
    if (body)
        RunStatementsOf<true>(entry);
    else
        RunStatementsOf<false>(entry);
}

// Called inside the handler of ExecuteStatement: either the error is caught
// by a CATCH and execution goes on there, or it is thrown on.
int Program::CatchOrRethrow(uint32_t start) {
    if (lastErrorKind != kRuntimeKind) throw;
    if (errorSearched_) {
        Lex().SetPosition(start);
        resumePosition.reset();
    }
    if (!FindCatch(*this)) {
        errorSearched_ = true;
        throw;
    }
    return 1;
}

}  // namespace tallow
