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

// The keywords; a null handler marks a word that only other statements read.
constexpr StatementMember kKeywords[] = {
    {"try", kwTry, Call<StmtTry>},
    {"catch", kwCatch, Call<StmtCatch>},
    {"endtry", kwEndtry, Call<StmtEndtry>},
    {"throw", kwThrow, Call<StmtThrow>},
    {"resume", kwResume, Call<StmtResume>},
    {"proc", kwProc, Call<StmtProc>},
    {"endproc", kwEndproc, nullptr},
    {"if", kwIf, Call<StmtIf>},
    {"then", kwThen, nullptr},
    {"else", kwElse, Call<StmtElse>},
    {"endif", kwEndif, Call<StmtEndif>},
    {"for", kwFor, Call<StmtFor>},
    {"next", kwNext, Call<StmtNext>},
    {"to", kwTo, nullptr},
    {"while", kwWhile, Call<StmtWhile>},
    {"endwhile", kwEndwhile, Call<StmtEndwhile>},
    {"goto", kwGoto, Call<StmtGoto>},
    {"gosub", kwGosub, Call<StmtGosub>},
    {"return", kwReturn, Call<StmtReturn>},
    {"rem", kwRem, Call<StmtRem>},
    {"'", kwApostrophe, Call<StmtRem>},
    {"select", kwSelect, Call<StmtSelect>},
    {"case", kwCase, Call<StmtCase>},
    {"endselect", kwEndselect, Call<StmtNothing>},
    {"onerror", kwOnerror, Call<StmtOnError>},
    {"exit", kwExit, Call<StmtExit>},
    {"print", kwPrint, Call<StmtPrint>},
    {"eval", kwEval, Call<StmtEval>},
    {"evalarray", kwEvalarray, Call<StmtEvalArray>},
    {"run", kwRun, Call<StmtRun>},
    {"chdir", kwChdir, Call<StmtChdir>},
    {"mkdir", kwMkdir, Call<StmtMkdir>},
    {"rmdir", kwRmdir, Call<StmtRmdir>},
    {"rename", kwRename, Call<StmtRename>},
    {"remove", kwRemove, Call<StmtRemove>},
    {"copy", kwCopy, Call<StmtCopy>},
    {"move", kwMove, Call<StmtMove>},
    {"sleep", kwSleep, Call<StmtSleep>},
    {"registerextension", kwRegisterextension, Call<StmtRegisterExtension>},
    {"showconsole", kwShowconsole, Call<StmtShowConsole>},
    {"hideconsole", kwHideconsole, Call<StmtHideConsole>},
    {"listfiles", kwListfiles, Call<StmtListFiles>},
};
static_assert(std::size(kKeywords) == kKeywordCount, "keyword table out of step");
constexpr MemberTable kMembers{kKeywords, kNumFunctions, kStringFunctions};
static_assert(IdsInOrder(kMembers.statements));

struct ConstantEntry {
    const char* name;
    double value;
};

constexpr ConstantEntry kFileConstants[] = {
    {"lfNormal", 1}, {"lfDirectory", 2}, {"lfHidden", 4},
    {"lfSystem", 8}, {"lfReadOnly", 16}, {"lfArchive", 32},
};

}  // namespace

decltype(StatementMember::handler) KeywordHandler(int id) {
    return id >= 1 && id <= kKeywordCount ? kKeywords[id - 1].handler : nullptr;
}

MainObject::MainObject(Program& program) : ScriptObject(program, ""), constants(&program) {
    for (NameList* list : {&statements, &numFunctions, &stringFunctions})
        list->CountChangesIn(&nameGeneration);
    AddMembers(kMembers);
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
    if (id >= kFirstStatementProc) return program_.Procs().CallStatement(id);
    ScriptObject::ProcessStatement(id);
}

double MainObject::ProcessNumFunction(int id) {
    if (id < 0 && systemPartner_) return systemPartner_->ProcessNumFunction(-id);
    if (id >= kFirstNumFunctionProc) return program_.Procs().CallNumFunction(id);
    return ScriptObject::ProcessNumFunction(id);
}

std::string MainObject::ProcessStringFunction(int id) {
    if (id < 0 && systemPartner_) return systemPartner_->ProcessStringFunction(-id);
    if (id >= kFirstStringFunctionProc) return program_.Procs().CallStringFunction(id);
    return ScriptObject::ProcessStringFunction(id);
}

}  // namespace tallow
