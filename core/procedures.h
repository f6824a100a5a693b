// The procedure table: PROC ... ENDPROC blocks found by a pre-scan of the
// text, registered as keywords of the main object and called as statements
// or as number or string functions.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "expr/lexer.h"
#include "expr/var_table.h"

namespace tallow {

class Program;
struct StatementPlan;

struct ProcRecord {
    std::string name;                     // as written, without a suffix
    std::string paramTypes;               // "S" or "N" per parameter
    std::vector<std::string> paramNames;  // without their suffixes
    TokenKind kind;                       // tkWord, tkStringVar or tkNumberVar
    int id;
    uint32_t body;                       // just after the header
    mutable std::vector<VarSlot> slots;  // where the parameters' variables are
    // Predicts the body's first statement (only its successor fields count).
    std::shared_ptr<StatementPlan> entry;
};

// Where a procedure's arguments come from, one at a time as the call takes
// them: read from the text after the call's name, or run from compiled code.
class ProcArguments {
public:
    virtual double Number(size_t i) = 0;
    virtual std::string Text(size_t i) = 0;

protected:
    ~ProcArguments() = default;
};

// The two halves of a procedure's header as the pre-scan reads them, from
// the lexer of p standing just after the word PROC; tools that check a
// text read headers with them too. ReadProcName raises "Unknown proc type
// encountered"; ReadProcParameters fills the record's parameters and body
// position and raises "Invalid parameter type".
Token ReadProcName(Program& p);
void ReadProcParameters(Program& p, ProcRecord& proc);

class ProcTable {
public:
    explicit ProcTable(Program& program) : program_(program) {}

    // Records every procedure of the current text and registers its name in
    // the main object. Raises the pre-scan errors (kind 0).
    void Prescan();
    void Reset();

    void CallStatement(int id);
    double CallNumFunction(int id);
    std::string CallStringFunction(int id);

    // The number-function procedure registered under id, or null.
    const ProcRecord* NumberFunction(int id) const { return FindById(tkNumberVar, id); }
    // Calls a number-function procedure: Result is set to 0, then each
    // argument is taken and assigned to its parameter in turn, then the body
    // runs; the value is Result.
    double CallNumFunction(const ProcRecord& proc, ProcArguments& arguments);

private:
    const ProcRecord* FindById(TokenKind kind, int id) const;
    // Inline: every call passes through them (procedures.cpp only).
    inline void Call(const ProcRecord& proc, ProcArguments& arguments);
    inline void RunCalled(const ProcRecord& proc);
    // What a call restores when it returns: where it was called from and the
    // block state of its caller.
    struct Frame {
        uint32_t returnPosition;
        size_t forDepth;
        size_t whileDepth;
        int ifDepth;
        int tryDepth;
    };
    inline void Restore(const Frame& frame);

    Program& program_;
    std::vector<ProcRecord> procs_;
    // Record index by id, per kind of procedure (id minus the first id).
    std::vector<int> statementIndex_, numberIndex_, stringIndex_;
    VarSlot resultNumber_, resultString_;
};

}  // namespace tallow
