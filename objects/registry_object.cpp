// The registry object's members. Every write opens or creates its key, sets
// the value and closes the key, and raises its message on any failure; every
// read opens the key for reading and falls back to its default (readbuffer
// raises instead). Values are read whole: no fixed buffer cuts them.
#include "registry_object.h"

#include <algorithm>
#include <cstring>

#include "core/messages.h"
#include "core/program.h"
#include "expr/member_table.h"
#include "expr/operators.h"
#include "objects/heap_bytes.h"
#include "platform/confinement.h"

namespace tallow {

namespace {

using platform::RegistryRoot;

constexpr StatementMember kStatements[] = {
    {"writestring", 1, Call<&RegistryObject::WriteString>},
    {"writenum", 2, Call<&RegistryObject::WriteNum>},
    {"deletesection", 3, Call<&RegistryObject::DeleteSection>},
    {"writebuffer", 4, Call<&RegistryObject::WriteBuffer>},
};
constexpr NumFunctionMember kNumFunctions[] = {
    {"readnum", 1, Call<&RegistryObject::ReadNum>},
    {"readbuffer", 2, Call<&RegistryObject::ReadBuffer>},
};
constexpr StringFunctionMember kStringFunctions[] = {
    {"readstring", 1, Call<&RegistryObject::ReadString>},
};
constexpr MemberTable kMembers{kStatements, kNumFunctions, kStringFunctions};
static_assert(IdsInOrder(kMembers));
// Objects of the type: writebuffer and readbuffer, the last of their lists,
// are the built-in object's alone.
constexpr MemberTable kBoundMembers{kMembers.statements.first(kMembers.statements.size() - 1),
                                    kMembers.numFunctions.first(kMembers.numFunctions.size() - 1),
                                    kMembers.stringFunctions};

constexpr std::string_view kKeyNameProperty = "KeyName";

struct RootWord {
    std::string_view word;
    RegistryRoot root;
};
// Tested in this order; a root word with none of them means the classes root.
constexpr RootWord kRootWords[] = {
    {"current", RegistryRoot::kCurrentUser},
    {"local", RegistryRoot::kLocalMachine},
    {"users", RegistryRoot::kUsers},
};

// A number value is 4 bytes, least significant first, on both targets.
constexpr size_t kNumberBytes = 4;

// The size parameter of the buffer members, or an invalid-address error.
size_t BufferSize(Program& p, double size) {
    int32_t n = ToInt32(size);
    if (n < 0) p.ReportError(kRuntimeKind, msg::kInvalidHeapAddress);
    return size_t(n);
}

}  // namespace

RegistryPath SplitRegistryPath(std::string_view path) {
    size_t slash = path.find('\\');
    if (slash == std::string_view::npos || slash == 0) return {std::nullopt, std::string(path)};
    std::string word(path.substr(0, slash));
    for (char& c : word)
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
    RegistryRoot root = RegistryRoot::kClassesRoot;
    for (const RootWord& w : kRootWords) {
        if (word.find(w.word) == std::string::npos) continue;
        root = w.root;
        break;
    }
    return {root, std::string(path.substr(slash + 1))};
}

RegistryObject::RegistryObject(Program& program) : ScriptObject(program, "registry"), bound_(false) {
    AddMembers(kMembers);
}

RegistryObject::RegistryObject(Program& program, std::string name, std::string_view path)
    : ScriptObject(program, std::move(name)), bound_(true), path_(SplitRegistryPath(path)) {
    AddMembers(kBoundMembers);
}

// The key a member works on, then the value name (or subkey) that follows
// it: the built-in object reads the full key path as the first parameter, a
// bound object uses its own.
RegistryPath RegistryObject::ReadKeyAndValueName(std::string& valueName) {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    RegistryPath key = path_;
    if (!bound_) {
        key = SplitRegistryPath(ev.EvalString());
        ev.HasNextParam(true);
    }
    valueName = ev.EvalString();
    return key;
}

// Text nobody trusts (a confined program) leaves the registry as it is.
void RegistryObject::Write(const RegistryPath& key, const std::string& valueName, uint32_t type,
                           std::string_view data, const char* message) {
    platform::RegistryKey handle;
    if (!key.root || platform::Confined() || !handle.Create(*key.root, key.keyName) ||
        !handle.SetValue(valueName, type, data))
        program_.ReportError(kRuntimeKind, message);
}

bool RegistryObject::Query(const RegistryPath& key, const std::string& valueName, std::string& data) {
    platform::RegistryKey handle;
    uint32_t type = 0;
    return key.root && handle.Open(*key.root, key.keyName, false) && handle.QueryValue(valueName, type, data);
}

// writestring = "writestring" [strexpr ","] strexpr "," strexpr ["," numexpr].
// The text is stored with its terminating NUL, as binary data when the flag
// is given and not zero.
void RegistryObject::WriteString() {
    Evaluator& ev = program_.Eval();
    std::string valueName;
    RegistryPath key = ReadKeyAndValueName(valueName);
    ev.HasNextParam(true);
    std::string text = ev.EvalString();
    bool binary = ev.HasNextParam(false) && ToInt32(ev.EvalNum()) != 0;
    text.push_back('\0');
    Write(key, valueName, binary ? platform::kRegBinary : platform::kRegSz, text, msg::kRegistryWriteString);
}

// writenum = "writenum" [strexpr ","] strexpr "," numexpr ["," numexpr]
void RegistryObject::WriteNum() {
    Evaluator& ev = program_.Eval();
    std::string valueName;
    RegistryPath key = ReadKeyAndValueName(valueName);
    ev.HasNextParam(true);
    uint32_t number = uint32_t(ToInt32(ev.EvalNum()));
    bool binary = ev.HasNextParam(false) && ToInt32(ev.EvalNum()) != 0;
    char bytes[kNumberBytes];
    for (size_t i = 0; i < kNumberBytes; ++i)
        bytes[i] = char(number >> (8 * i));
    Write(key, valueName, binary ? platform::kRegBinary : platform::kRegDword,
          std::string_view(bytes, kNumberBytes), msg::kRegistryWriteNumber);
}

// deletesection = "deletesection" [strexpr ","] strexpr. The key is opened
// or created first; its subkey must exist and have no subkeys of its own.
void RegistryObject::DeleteSection() {
    std::string subKey;
    RegistryPath key = ReadKeyAndValueName(subKey);
    platform::RegistryKey handle;
    if (!key.root || platform::Confined() || !handle.Create(*key.root, key.keyName) ||
        !handle.DeleteSubKey(subKey))
        program_.ReportError(kRuntimeKind, msg::kRegistryDeleteSection);
}

// writebuffer = "writebuffer" strexpr "," strexpr "," numexpr "," numexpr:
// the bytes of a Heap block, stored as binary data.
void RegistryObject::WriteBuffer() {
    Evaluator& ev = program_.Eval();
    std::string valueName;
    RegistryPath key = ReadKeyAndValueName(valueName);
    ev.HasNextParam(true);
    double address = ev.EvalNum();
    ev.HasNextParam(true);
    size_t size = BufferSize(program_, ev.EvalNum());
    const char* bytes = static_cast<const char*>(HeapBytes(program_, address, size));
    Write(key, valueName, platform::kRegBinary, std::string_view(bytes, size), msg::kRegistryWriteString);
}

// readnum = "readnum(" [strexpr ","] strexpr ["," numexpr] ")". Up to four
// bytes of the value, whatever its type, as an unsigned number; the default
// (else 0) when the value is missing or longer.
double RegistryObject::ReadNum() {
    Evaluator& ev = program_.Eval();
    std::string valueName;
    RegistryPath key = ReadKeyAndValueName(valueName);
    double fallback = ev.HasNextParam(false) ? ev.EvalNum() : 0;
    std::string data;
    if (!Query(key, valueName, data) || data.size() > kNumberBytes) return fallback;
    uint32_t number = 0;
    for (size_t i = 0; i < data.size(); ++i)
        number |= uint32_t(uint8_t(data[i])) << (8 * i);
    return number;
}

// readbuffer = "readbuffer(" strexpr "," strexpr "," numexpr "," numexpr ")":
// copies the value into a Heap block and gives its size in bytes. A value
// larger than the block is an error, as a missing one is; nothing is cut.
double RegistryObject::ReadBuffer() {
    Evaluator& ev = program_.Eval();
    std::string valueName;
    RegistryPath key = ReadKeyAndValueName(valueName);
    ev.HasNextParam(true);
    double address = ev.EvalNum();
    ev.HasNextParam(true);
    size_t size = BufferSize(program_, ev.EvalNum());
    void* block = HeapBytes(program_, address, size);
    std::string data;
    if (!Query(key, valueName, data) || data.size() > size)
        program_.ReportError(kRuntimeKind, msg::kRegistryWriteString);
    if (!data.empty()) std::memcpy(block, data.data(), data.size());
    return double(data.size());
}

// readstring = "readstring(" [strexpr ","] strexpr ["," strexpr] ")". The
// value's bytes, whatever its type, up to its first NUL; the default (else
// "") when it is missing.
std::string RegistryObject::ReadString() {
    Evaluator& ev = program_.Eval();
    std::string valueName;
    RegistryPath key = ReadKeyAndValueName(valueName);
    std::string fallback = ev.HasNextParam(false) ? ev.EvalString() : std::string();
    std::string data;
    if (!Query(key, valueName, data)) return fallback;
    data.resize(std::min(data.size(), data.find('\0')));
    return data;
}

void RegistryObject::SetStringMember(std::string_view name, std::string value) {
    if (!NamesEqual(name, kKeyNameProperty)) return ScriptObject::SetStringMember(name, std::move(value));
    if (!bound_) program_.ReportError(kRuntimeKind, msg::kKeyNameReadOnly);
    path_ = SplitRegistryPath(value);
}

std::string RegistryObject::GetStringMember(std::string_view name) {
    if (!NamesEqual(name, kKeyNameProperty)) return ScriptObject::GetStringMember(name);
    return bound_ ? path_.keyName : std::string();
}

ScriptObject* RegistryFactory::Create(const std::string& name) {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    std::string path = ev.EvalString();
    return new RegistryObject(program_, name, path);
}

}  // namespace tallow
