// The dll object's members. Every value a call hands out lives in storage
// the engine owns for the call: a by-reference string is a buffer of the
// variable's length plus its NUL, and only text before that length and
// before the first NUL comes back.
#include "objects/dll_object.h"

#include <algorithm>
#include <cstring>

#include "core/main_object.h"
#include "core/messages.h"
#include "core/program.h"
#include "expr/member_table.h"
#include "objects/heap_blocks.h"
#include "platform/native_call.h"

namespace tallow {

namespace {

// declare is the one member of the table; the declared statements follow it.
constexpr StatementMember kStatements[] = {
    {"declare", 1, Call<&DllObject::Declare>},
};
constexpr MemberTable kMembers{kStatements, {}, {}};
static_assert(IdsInOrder(kMembers));
constexpr int kFirstStatement = int(std::size(kStatements)) + 1;
constexpr int kFirstFunction = 1;

// One parameter's storage during a call.
struct ArgStore {
    std::string variable;    // by reference: the script variable's name
    std::vector<char> text;  // strings: the characters and their NUL
    size_t length = 0;       // strings: the length before the call
    // Integers: the value at the type's width in the low bytes. By reference
    // it is pointer-sized, so a function that stores an address (strtol's
    // end) does not write past it; the variable gets the type's bits.
    uint64_t number = 0;
};

platform::NativeType NativeTypeOf(const DynamicParam& param) {
    if (param.byReference || param.type == DynamicType::String) return platform::NativeType::Pointer;
    return static_cast<platform::NativeType>(param.type);
}

// In a build whose addresses are wider than 32 bits, a number that a 32-bit
// parameter cannot hold (an address above 4 GiB, say) would reach the
// function cut to its low bits, and a callee that took it for an address
// would crash: such a number, and any address of a live Heap block, is
// refused with "Value does not fit a 32-bit parameter!". A 32-bit build
// keeps the low bits, as it always did.
double Checked32([[maybe_unused]] Program& p, [[maybe_unused]] DynamicType type, double value) {
    if constexpr (sizeof(void*) > 4) {
        if (type != DynamicType::U32 && type != DynamicType::S32) return value;
        bool fits = value >= -2147483648.0 && value < 4294967296.0;
        if (!fits || (p.heapBlocks && p.heapBlocks->SizeOf(AddressFromNumber(value)) != 0))
            p.ReportError(kRuntimeKind, msg::kDllValueTooWide);
    }
    return value;
}

void SetText(ArgStore& store, const std::string& value) {
    store.length = value.size();
    store.text.assign(value.begin(), value.end());
    store.text.push_back('\0');
}

}  // namespace

DllObject::DllObject(Program& program, std::string name, platform::Library library)
    : ScriptObject(program, std::move(name)), library_(std::move(library)) {
    AddMembers(kMembers);
}

// declare = "declare" strexpr "," strexpr ["," numexpr]
void DllObject::Declare() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    std::string exportName = ev.EvalString();
    ev.HasNextParam(true);
    std::string signatureText = ev.EvalString();
    bool firstPlacedFirst = ev.HasNextParam(false) && ev.EvalNum() == 0;

    DynamicFunction function;
    function.address = library_.Find(exportName.c_str());
    if (!function.address) program_.ReportError(kRuntimeKind, msg::kDllLink);
    std::optional<DynamicSignature> signature = ParseSignature(signatureText);
    if (!signature) program_.ReportError(kRuntimeKind, msg::kDllBadParam);
    function.signature = std::move(*signature);
    function.firstPlacedFirst = firstPlacedFirst;

    // A second declaration of a name is kept, but lookup finds the first.
    switch (function.signature.result.type) {
        case DynamicType::Void:
            statements_.push_back(std::move(function));
            AddStatement(exportName, kFirstStatement + int(statements_.size()) - 1);
            break;
        case DynamicType::String:
            stringFunctions_.push_back(std::move(function));
            AddStringFunction(exportName, kFirstFunction + int(stringFunctions_.size()) - 1);
            break;
        default:
            numFunctions_.push_back(std::move(function));
            AddNumFunction(exportName, kFirstFunction + int(numFunctions_.size()) - 1);
            break;
    }
}

DllObject::CallResult DllObject::Call(DynamicFunction function) {
    Evaluator& ev = program_.Eval();
    MainObject& main = program_.Main();
    const std::vector<DynamicParam>& params = function.signature.params;
    std::vector<ArgStore> stores(params.size());
    for (size_t i = 0; i < params.size(); ++i) {
        const DynamicParam& param = params[i];
        ArgStore& store = stores[i];
        if (i == 0)
            ev.HasFirstParam(true);
        else
            ev.HasNextParam(true);
        if (param.type == DynamicType::Void) continue;
        if (param.byReference) {
            store.variable = ev.ReadName();
            if (param.type == DynamicType::String)
                SetText(store, main.GetStringMember(store.variable));
            else
                store.number = ToNativeWidth(
                    param.type, Checked32(program_, param.type, main.GetNumMember(store.variable)));
        } else if (param.type == DynamicType::String) {
            SetText(store, ev.EvalString());
        } else {
            store.number = ToNativeWidth(param.type, Checked32(program_, param.type, ev.EvalNum()));
        }
    }

    std::vector<platform::NativeArg> args;
    args.reserve(params.size());
    for (size_t i = 0; i < params.size(); ++i) {
        const DynamicParam& param = params[i];
        ArgStore& store = stores[i];
        if (param.type == DynamicType::Void) continue;
        platform::NativeArg arg;
        arg.type = NativeTypeOf(param);
        arg.number = uint32_t(store.number);
        if (param.type == DynamicType::String)
            arg.pointer = store.text.data();
        else if (param.byReference)
            arg.pointer = &store.number;
        args.push_back(arg);
    }
    if (function.firstPlacedFirst) std::reverse(args.begin(), args.end());

    CallResult result;
    result.raw = platform::CallNative(function.address, NativeTypeOf(function.signature.result), args.data(),
                                      args.size());
    // Copied now: the text may lie in a buffer of this call (strcpy's result).
    if (function.signature.result.type == DynamicType::String) {
        if (const char* text = reinterpret_cast<const char*>(uintptr_t(result.raw))) result.text = text;
    }

    for (size_t i = 0; i < params.size(); ++i) {
        const DynamicParam& param = params[i];
        const ArgStore& store = stores[i];
        if (!param.byReference || param.type == DynamicType::Void) continue;
        if (param.type == DynamicType::String)
            main.SetStringMember(store.variable,
                                 std::string(store.text.data(), strnlen(store.text.data(), store.length)));
        else
            main.SetNumMember(store.variable, FromNativeWidth(param.type, store.number));
    }
    return result;
}

void DllObject::ProcessStatement(int id) {
    size_t index = size_t(id - kFirstStatement);
    if (id < kFirstStatement || index >= statements_.size()) return ScriptObject::ProcessStatement(id);
    Call(statements_[index]);
}

double DllObject::ProcessNumFunction(int id) {
    size_t index = size_t(id - kFirstFunction);
    if (id < kFirstFunction || index >= numFunctions_.size())
        program_.ReportError(kSyntaxKind, msg::kDllUnknownFunction);
    // The call may declare more functions and move the list: take the
    // result's type first.
    auto resultType = numFunctions_[index].signature.result.type;
    return FromNativeWidth(resultType, Call(numFunctions_[index]).raw);
}

std::string DllObject::ProcessStringFunction(int id) {
    size_t index = size_t(id - kFirstFunction);
    if (id < kFirstFunction || index >= stringFunctions_.size())
        program_.ReportError(kSyntaxKind, msg::kDllUnknownFunction);
    return Call(stringFunctions_[index]).text;
}

ScriptObject* DllFactory::Create(const std::string& name) {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    std::string path = ev.EvalString();
    platform::Library library;
    if (!library.Load(path)) program_.ReportError(kRuntimeKind, msg::kDllLoad);
    return new DllObject(program_, name, std::move(library));
}

}  // namespace tallow
