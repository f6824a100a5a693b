// The program's main script object: the language keywords, the built-in
// functions, the global variables and constants, and the loop and block
// state that control flow keeps between statements.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "expr/compiled_expr.h"
#include "expr/script_object.h"
#include "platform/file_system.h"

namespace tallow {

// Statement ids of the keywords, in the order they are registered.
enum Keyword : int {
    kwTry = 1,
    kwCatch,
    kwEndtry,
    kwThrow,
    kwResume,
    kwProc,
    kwEndproc,
    kwIf,
    kwThen,
    kwElse,
    kwEndif,
    kwFor,
    kwNext,
    kwTo,
    kwWhile,
    kwEndwhile,
    kwGoto,
    kwGosub,
    kwReturn,
    kwRem,
    kwApostrophe,
    kwSelect,
    kwCase,
    kwEndselect,
    kwOnerror,
    kwExit,
    kwPrint,
    kwEval,
    kwEvalarray,
    kwRun,
    kwChdir,
    kwMkdir,
    kwRmdir,
    kwRename,
    kwRemove,
    kwCopy,
    kwMove,
    kwSleep,
    kwRegisterextension,
    kwShowconsole,
    kwHideconsole,
    kwListfiles,
    kKeywordCount = kwListfiles
};

// An open WHILE loop: where its condition starts, and the condition's
// compiled form when the loop has one (valid under one name generation).
struct WhileEntry {
    uint32_t top;
    uint32_t generation = 0;
    CondCode* cond = nullptr;
};
static_assert(sizeof(WhileEntry) == 8 + sizeof(void*), "ENDWHILE reads the stack's size on every pass");

// Ids from which the script's procedures are registered.
constexpr int kFirstStatementProc = 43;
constexpr int kFirstNumFunctionProc = 33;
constexpr int kFirstStringFunctionProc = 19;

struct ForEntry {
    std::string name;  // the loop variable, without its suffix
    double limit;
    uint32_t top;  // just after the limit expression
    VarSlot slot;  // the variable's remembered entry
};

// The handler of keyword id as the member table holds it (called with the
// main object), or null for words that only other statements read (then,
// to, endproc) and for ids that are no keyword.
decltype(StatementMember::handler) KeywordHandler(int id);

class MainObject : public ScriptObject {
public:
    explicit MainObject(Program& program);

    void ProcessStatement(int id) override;
    double ProcessNumFunction(int id) override;
    std::string ProcessStringFunction(int id) override;

    // The system partner's names are searched first and give negative ids.
    int FindStatement(std::string_view name) const override;
    int FindNumFunction(std::string_view name) const override;
    int FindStringFunction(std::string_view name) const override;

    void SetSystemPartner(ScriptObject* partner);
    ScriptObject* SystemPartner() const { return systemPartner_; }

    // The keyword id of a word as the forward scans see it (text only).
    int KeywordOf(std::string_view text) const { return FindStatement(text); }

    // Changes whenever a name list of this object or its partner changes;
    // what is remembered about names is valid only under one generation.
    uint32_t NameGeneration() const { return nameGeneration; }
    // Counts changes of this object's name lists and of its partner's.
    uint32_t nameGeneration = 1;

    NumVarTable constants;
    std::vector<ForEntry> forStack;
    std::vector<WhileEntry> whileStack;
    int ifDepth = 0;
    int tryDepth = 0;
    // Entries below these belong to the text that ran `eval`; the evaluated
    // text may not pop them.
    size_t forFloor = 0;
    size_t whileFloor = 0;
    // The search of the dir function, open from a dir with a pattern until
    // its end or the next search.
    platform::DirSearch dirSearch;

private:
    ScriptObject* systemPartner_ = nullptr;
};

}  // namespace tallow
