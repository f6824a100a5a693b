// Procedures: the pre-scan that registers them, and calls with parameters
// passed in global variables and results returned in Result.
#include "procedures.h"

#include "core/control_flow.h"
#include "core/main_object.h"
#include "core/messages.h"
#include "core/program.h"
#include "core/statement_plan.h"
#include "core/statements.h"

namespace tallow {

namespace {

bool IsWord(const Token& t, const char* word) {
    return t.kind == tkWord && NamesEqual(t.text, word);
}

// The arguments as the text after the call's name holds them: the first on
// the call's line, each later one after a comma, every one required.
class TextArguments : public ProcArguments {
public:
    explicit TextArguments(Program& p) : ev_(p.Eval()) {}
    double Number(size_t i) override {
        Begin(i);
        return ev_.EvalNum();
    }
    std::string Text(size_t i) override {
        Begin(i);
        return ev_.EvalString();
    }

private:
    void Begin(size_t i) {
        if (i == 0)
            ev_.HasFirstParam(true);
        else
            ev_.HasNextParam(true);
    }
    Evaluator& ev_;
};

}  // namespace

// name = word | stringvar | numbervar, just after the word PROC.
Token ReadProcName(Program& p) {
    Token name = p.Lex().NextToken();
    if (name.kind != tkWord && name.kind != tkStringVar && name.kind != tkNumberVar)
        p.ReportError(kSyntaxKind, msg::kUnknownProcType);
    return name;
}

// params = [param {"," param}], param = stringvar | numbervar, the first on
// the header's line.
void ReadProcParameters(Program& p, ProcRecord& proc) {
    Lexer& lx = p.Lex();
    Evaluator& ev = p.Eval();
    if (ev.HasFirstParam(false)) {
        do {
            Token param = lx.NextToken();
            if (param.kind == tkStringVar)
                proc.paramTypes += 'S';
            else if (param.kind == tkNumberVar)
                proc.paramTypes += 'N';
            else
                p.ReportError(kSyntaxKind, msg::kInvalidParameterType);
            proc.paramNames.emplace_back(param.text);
        } while (ev.HasNextParam(false));
    }
    proc.body = lx.Position();
}

// header = "proc" name params
void ProcTable::Prescan() {
    Program& p = program_;
    Lexer& lx = p.Lex();
    MainObject& main = p.Main();
    int nextStatement = kFirstStatementProc, nextString = kFirstStringFunctionProc,
        nextNumber = kFirstNumFunctionProc;
    lx.Restart();
    for (Token t = lx.NextToken(); t.kind != tkEnd; t = lx.NextToken()) {
        if (t.kind == tkWord && p.KeywordOf(t) == kwRem) lx.SkipComment();
        if (!IsWord(t, "proc")) continue;
        Token name = ReadProcName(p);
        for (const ProcRecord& other : procs_)
            if (NamesEqual(other.name, name.text)) p.ReportError(kSyntaxKind, msg::kDuplicateProc);
        ProcRecord proc{std::string(name.text), {}, {}, name.kind, 0, 0, {}, {}};
        ReadProcParameters(p, proc);
        proc.slots.resize(proc.paramNames.size());
        proc.entry = std::make_shared<StatementPlan>(PlanKind::Keyword);
        int index = int(procs_.size());
        if (name.kind == tkWord) {
            proc.id = nextStatement++;
            main.AddStatement(proc.name, proc.id);
            statementIndex_.push_back(index);
        } else if (name.kind == tkStringVar) {
            proc.id = nextString++;
            main.AddStringFunction(proc.name, proc.id);
            stringIndex_.push_back(index);
        } else {
            proc.id = nextNumber++;
            main.AddNumFunction(proc.name, proc.id);
            numberIndex_.push_back(index);
        }
        procs_.push_back(std::move(proc));
    }
    lx.Restart();
}

void ProcTable::Reset() {
    procs_.clear();
    statementIndex_.clear();
    numberIndex_.clear();
    stringIndex_.clear();
}

const ProcRecord* ProcTable::FindById(TokenKind kind, int id) const {
    const std::vector<int>& index = kind == tkWord        ? statementIndex_
                                    : kind == tkNumberVar ? numberIndex_
                                                          : stringIndex_;
    int first = kind == tkWord        ? kFirstStatementProc
                : kind == tkNumberVar ? kFirstNumFunctionProc
                                      : kFirstStringFunctionProc;
    size_t i = size_t(id - first);
    return id >= first && i < index.size() ? &procs_[size_t(index[i])] : nullptr;
}

void ProcTable::CallStatement(int id) {
    const ProcRecord* proc = FindById(tkWord, id);
    if (!proc) program_.ReportError(kSyntaxKind, msg::kUnknownStatement);
    TextArguments arguments(program_);
    Call(*proc, arguments);
}

double ProcTable::CallNumFunction(int id) {
    const ProcRecord* proc = FindById(tkNumberVar, id);
    if (!proc) program_.ReportError(kSyntaxKind, msg::kUnknownNumFunction);
    TextArguments arguments(program_);
    return CallNumFunction(*proc, arguments);
}

double ProcTable::CallNumFunction(const ProcRecord& proc, ProcArguments& arguments) {
    NumVarTable& globals = program_.Main().numMembers;
    globals.SetAt(resultNumber_, "Result", 0);
    Call(proc, arguments);
    if (double* result = globals.FindAt(resultNumber_, "Result")) return *result;
    return globals.Get("Result");  // reports the variable the call removed
}

std::string ProcTable::CallStringFunction(int id) {
    const ProcRecord* proc = FindById(tkStringVar, id);
    if (!proc) program_.ReportError(kSyntaxKind, msg::kUnknownStringFunction);
    StrVarTable& globals = program_.Main().strMembers;
    globals.SetAt(resultString_, "Result", std::string());
    TextArguments arguments(program_);
    Call(*proc, arguments);
    if (std::string* result = globals.FindAt(resultString_, "Result")) return *result;
    return globals.Get("Result");
}

// call = [arg {"," arg}], one argument per declared parameter, each assigned
// to its parameter before the next is taken; then the body runs up to
// ENDPROC or a statement that starts with EXIT.
[[gnu::always_inline]] inline void ProcTable::Call(const ProcRecord& proc, ProcArguments& arguments) {
    Program& p = program_;
    // Calls are the recursion scripts drive; each one counts.
    NestingScope nesting(p, 1);
    MainObject& main = p.Main();
    for (size_t i = 0; i < proc.paramTypes.size(); ++i) {
        if (proc.paramTypes[i] == 'S')
            main.strMembers.SetAt(proc.slots[i], proc.paramNames[i], arguments.Text(i));
        else
            main.numMembers.SetAt(proc.slots[i], proc.paramNames[i], arguments.Number(i));
    }
    RunCalled(proc);
}

// The body of a call whose parameters are set: from a new frame, which the
// return or an error leaving the body takes away again.
[[gnu::always_inline]] inline void ProcTable::RunCalled(const ProcRecord& proc) {
    Program& p = program_;
    Lexer& lx = p.Lex();  // a nested run in the body puts it back
    MainObject& main = p.Main();
    Frame frame{lx.Position(), main.forStack.size(), main.whileStack.size(), main.ifDepth, main.tryDepth};
    lx.SetPosition(proc.body);
    try {
        p.RunStatements(true, proc.entry.get());
    } catch (const ScriptError&) {
        // The error leaves the call: the statement that made it looks for
        // a CATCH of its own.
        Restore(frame);
        throw;
    }
    lx.SetPosition(frame.returnPosition);
    Restore(frame);
}

// Cuts the loop stacks and block depths back to what they were when the call
// began: loops and blocks the body left open end with it.
[[gnu::always_inline]] inline void ProcTable::Restore(const Frame& frame) {
    MainObject& main = program_.Main();
    if (main.forStack.size() > frame.forDepth) main.forStack.resize(frame.forDepth);
    if (main.whileStack.size() > frame.whileDepth) main.whileStack.resize(frame.whileDepth);
    main.ifDepth = frame.ifDepth;
    main.tryDepth = frame.tryDepth;
}

// A PROC reached by execution is passed over to after its ENDPROC.
void StmtProc(Program& p) {
    int unused = 0;
    if (ForwardScan(p, Scan::ToEndproc, unused) == kScanEnd)
        p.ReportError(kSyntaxKind, msg::kEndprocNotFound);
}

}  // namespace tallow
