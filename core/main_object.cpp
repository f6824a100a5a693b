// The keyword table of the main object and its dispatch to statement
// handlers, built-in functions, procedures and the system partner.
#include "main_object.h"

#include "core/messages.h"
#include "core/procedures.h"
#include "core/program.h"
#include "core/statements.h"
#include "expr/functions.h"

namespace tallow {

namespace {

struct KeywordEntry {
    const char* name;
    StatementHandler handler;  // null: the word is only read by other statements
};

// Entry i is the keyword with id i + 1.
constexpr KeywordEntry kKeywords[] = {
    {"try", StmtTry},
    {"catch", StmtCatch},
    {"endtry", StmtEndtry},
    {"throw", StmtThrow},
    {"resume", StmtResume},
    {"proc", StmtProc},
    {"endproc", nullptr},
    {"if", StmtIf},
    {"then", nullptr},
    {"else", StmtElse},
    {"endif", StmtEndif},
    {"for", StmtFor},
    {"next", StmtNext},
    {"to", nullptr},
    {"while", StmtWhile},
    {"endwhile", StmtEndwhile},
    {"goto", StmtGoto},
    {"gosub", StmtGosub},
    {"return", StmtReturn},
    {"rem", StmtRem},
    {"'", StmtRem},
    {"select", StmtSelect},
    {"case", StmtCase},
    {"endselect", StmtNothing},
    {"onerror", StmtOnError},
    {"exit", StmtExit},
    {"print", StmtPrint},
    {"eval", StmtEval},
    {"evalarray", StmtEvalArray},
    {"run", StmtRun},
    {"chdir", StmtChdir},
    {"mkdir", StmtMkdir},
    {"rmdir", StmtRmdir},
    {"rename", StmtRename},
    {"remove", StmtRemove},
    {"copy", StmtCopy},
    {"move", StmtMove},
    {"sleep", StmtSleep},
    {"registerextension", StmtRegisterExtension},
    {"showconsole", StmtShowConsole},
    {"hideconsole", StmtHideConsole},
    {"listfiles", StmtListFiles},
};
static_assert(sizeof(kKeywords) / sizeof(kKeywords[0]) == kKeywordCount, "keyword table out of step");

struct ConstantEntry {
    const char* name;
    double value;
};

constexpr ConstantEntry kFileConstants[] = {
    {"lfNormal", 1}, {"lfDirectory", 2}, {"lfHidden", 4},
    {"lfSystem", 8}, {"lfReadOnly", 16}, {"lfArchive", 32},
};

}  // namespace

StatementHandler KeywordHandler(int id) {
    return id >= 1 && id <= kKeywordCount ? kKeywords[id - 1].handler : nullptr;
}

MainObject::MainObject(Program& program) : ScriptObject(program, ""), constants(&program) {
    for (NameList* list : {&statements, &numFunctions, &stringFunctions})
        list->CountChangesIn(&nameGeneration);
    for (int i = 0; i < kKeywordCount; ++i)
        AddStatement(kKeywords[i].name, i + 1);
    for (int i = 0; i < kNumFunctionCount; ++i)
        AddNumFunction(kNumFunctions[i].name, i + 1);
    for (int i = 0; i < kStringFunctionCount; ++i)
        AddStringFunction(kStringFunctions[i].name, i + 1);
    for (const ConstantEntry& c : kFileConstants)
        constants.Set(c.name, c.value);
}

void MainObject::SetSystemPartner(ScriptObject* partner) {
    systemPartner_ = partner;
    ++nameGeneration;
    if (partner)
        for (NameList* list : {&partner->statements, &partner->numFunctions, &partner->stringFunctions})
            list->CountChangesIn(&nameGeneration);
}

int MainObject::FindStatement(std::string_view name) const {
    if (systemPartner_)
        if (int i = systemPartner_->statements.Find(name)) return -i;
    return statements.Find(name);
}

int MainObject::FindNumFunction(std::string_view name) const {
    if (systemPartner_)
        if (int i = systemPartner_->numFunctions.Find(name)) return -i;
    return numFunctions.Find(name);
}

int MainObject::FindStringFunction(std::string_view name) const {
    if (systemPartner_)
        if (int i = systemPartner_->stringFunctions.Find(name)) return -i;
    return stringFunctions.Find(name);
}

void MainObject::ProcessStatement(int id) {
    if (id < 0 && systemPartner_) return systemPartner_->ProcessStatement(-id);
    if (id >= 1 && id <= kKeywordCount && kKeywords[id - 1].handler)
        return kKeywords[id - 1].handler(program_);
    if (id >= kFirstStatementProc) return program_.Procs().CallStatement(id);
    ScriptObject::ProcessStatement(id);
}

double MainObject::ProcessNumFunction(int id) {
    if (id < 0 && systemPartner_) return systemPartner_->ProcessNumFunction(-id);
    if (id >= 1 && id <= kNumFunctionCount) return kNumFunctions[id - 1].handler(program_);
    if (id >= kFirstNumFunctionProc) return program_.Procs().CallNumFunction(id);
    return ScriptObject::ProcessNumFunction(id);
}

std::string MainObject::ProcessStringFunction(int id) {
    if (id < 0 && systemPartner_) return systemPartner_->ProcessStringFunction(-id);
    if (id >= 1 && id <= kStringFunctionCount) return kStringFunctions[id - 1].handler(program_);
    if (id >= kFirstStringFunctionProc) return program_.Procs().CallStringFunction(id);
    return ScriptObject::ProcessStringFunction(id);
}

}  // namespace tallow
