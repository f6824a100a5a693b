// The inifile object's members: each reads all its parameters, then makes one
// profile call. Writes raise their message on failure, and refuse names and
// values that could not be read back or would change other entries (a line
// break, a key with '='); reads never raise and give their default. Values
// and name lists are read whole.
#include "ini_file_object.h"

#include "core/messages.h"
#include "core/program.h"
#include "expr/member_table.h"
#include "expr/operators.h"
#include "expr/string_array.h"
#include "platform/ini_text.h"
#include "platform/profile.h"

namespace tallow {

namespace {

constexpr StatementMember kStatements[] = {
    {"writenum", 1, Call<&IniFileObject::WriteNum>},
    {"writestring", 2, Call<&IniFileObject::WriteString>},
    {"deletesection", 3, Call<&IniFileObject::DeleteSection>},
    {"readkeynames", 4, Call<&IniFileObject::ReadKeyNames>},
    {"readsectionnames", 5, Call<&IniFileObject::ReadSectionNames>},
};
constexpr NumFunctionMember kNumFunctions[] = {
    {"readnum", 1, Call<&IniFileObject::ReadNum>},
};
constexpr StringFunctionMember kStringFunctions[] = {
    {"readstring", 1, Call<&IniFileObject::ReadString>},
};
constexpr MemberTable kMembers{kStatements, kNumFunctions, kStringFunctions};
static_assert(IdsInOrder(kMembers));

constexpr std::string_view kFileNameProperty = "FileName";

}  // namespace

IniFileObject::IniFileObject(Program& program, std::string name, std::string fileName)
    : ScriptObject(program, std::move(name)), fileName_(std::move(fileName)) {
    AddMembers(kMembers);
}

void IniFileObject::Write(const std::string& section, const std::string& key, const std::string& value,
                          const char* message) {
    if (!platform::IniWritable(section, key, value) ||
        !platform::WriteProfileEntry(fileName_, section, &key, &value))
        program_.ReportError(kRuntimeKind, message);
}

// writenum = "writenum" strexpr "," strexpr "," numexpr
void IniFileObject::WriteNum() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    std::string section = ev.EvalString();
    ev.HasNextParam(true);
    std::string key = ev.EvalString();
    ev.HasNextParam(true);
    int32_t number = ToInt32(ev.EvalNum());
    Write(section, key, std::to_string(number), msg::kIniWriteNumber);
}

// writestring = "writestring" strexpr "," strexpr "," strexpr
void IniFileObject::WriteString() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    std::string section = ev.EvalString();
    ev.HasNextParam(true);
    std::string key = ev.EvalString();
    ev.HasNextParam(true);
    std::string value = ev.EvalString();
    Write(section, key, value, msg::kIniWriteString);
}

// deletesection = "deletesection" strexpr. A section that is not there is
// already gone: no error.
void IniFileObject::DeleteSection() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    std::string section = ev.EvalString();
    if (!platform::WriteProfileEntry(fileName_, section, nullptr, nullptr))
        program_.ReportError(kRuntimeKind, msg::kIniDeleteSection);
}

// readkeynames = "readkeynames" strexpr "," word: the array is made anew
// with the names of the section's keys.
void IniFileObject::ReadKeyNames() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    std::string section = ev.EvalString();
    ev.HasNextParam(true);
    std::string arrayName = ev.ReadName();
    std::vector<std::string> names = platform::ProfileKeyNames(fileName_, section);
    program_.ClearStringArray(arrayName)->items = std::move(names);
}

// readsectionnames = "readsectionnames" word
void IniFileObject::ReadSectionNames() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    std::string arrayName = ev.ReadName();
    std::vector<std::string> names = platform::ProfileSectionNames(fileName_);
    program_.ClearStringArray(arrayName)->items = std::move(names);
}

// readnum = "readnum(" strexpr "," strexpr ["," numexpr] ")": the value read
// as an unsigned 32-bit number (so -5 gives 4294967291); the default, made
// an integer, when the key is missing or empty.
double IniFileObject::ReadNum() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    std::string section = ev.EvalString();
    ev.HasNextParam(true);
    std::string key = ev.EvalString();
    int32_t fallback = ev.HasNextParam(false) ? ToInt32(ev.EvalNum()) : 0;
    return platform::ReadProfileNumber(fileName_, section, key, fallback);
}

// readstring = "readstring(" strexpr "," strexpr ["," strexpr] ")": the value
// trimmed and without surrounding quotes, else the default less its
// trailing blanks.
std::string IniFileObject::ReadString() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    std::string section = ev.EvalString();
    ev.HasNextParam(true);
    std::string key = ev.EvalString();
    std::string fallback = ev.HasNextParam(false) ? ev.EvalString() : std::string();
    return platform::ReadProfileString(fileName_, section, key, fallback);
}

void IniFileObject::SetStringMember(std::string_view name, std::string value) {
    if (!NamesEqual(name, kFileNameProperty)) return ScriptObject::SetStringMember(name, std::move(value));
    fileName_ = std::move(value);
}

std::string IniFileObject::GetStringMember(std::string_view name) {
    if (!NamesEqual(name, kFileNameProperty)) return ScriptObject::GetStringMember(name);
    return fileName_;
}

ScriptObject* IniFileFactory::Create(const std::string& name) {
    Evaluator& ev = program_.Eval();
    if (!ev.HasFirstParam(false)) program_.ReportError(kRuntimeKind, msg::kIniNeedsFileName);
    std::string fileName = ev.EvalString();
    return new IniFileObject(program_, name, std::move(fileName));
}

}  // namespace tallow
