// The "numarray" type.
#include "num_array.h"

#include "array_common.h"

namespace tallow {

namespace {
enum NumArrayFunction : int { kGetSize = 1 };
}

NumArrayObject::NumArrayObject(Program& program, std::string name) : ScriptObject(program, std::move(name)) {
    AddStatement("add", kArrayAdd);
    AddStatement("addarray", kArrayAddArray);
    AddStatement("insert", kArrayInsert);
    AddStatement("delete", kArrayDelete);
    AddStatement("clear", kArrayClear);
    AddStatement("setsize", kArraySetSize);
    AddStatement("concat", kArrayConcat);
    AddNumFunction("getsize", kGetSize);
}

double& NumArrayObject::Element(int index) {
    return CheckedElement(program_, items, index);
}

void NumArrayObject::SetSize(int size) {
    ResizeArray(program_, items, size);
}

void NumArrayObject::ProcessStatement(int id) {
    Evaluator& ev = program_.Eval();
    switch (id) {
        case kArrayAdd:
            ev.HasFirstParam(true);
            CheckRoom(program_, items, 1);
            items.push_back(ev.EvalNum());
            return;
        case kArrayAddArray:
        case kArrayConcat: {
            ev.HasFirstParam(true);
            NumArrayObject* source = program_.FindNumArray(ev.ReadName());
            if (!source && id == kArrayAddArray) program_.ReportError(kRuntimeKind, msg::kArrayNotFound);
            AppendCopy(program_, items, source ? &source->items : nullptr);
            return;
        }
        case kArrayInsert: {
            ev.HasFirstParam(true);
            double value = ev.EvalNum();
            ev.HasNextParam(true);
            InsertAt(program_, items, value, ToInt32(ev.EvalNum()));
            return;
        }
        case kArrayDelete:
            ev.HasFirstParam(true);
            DeleteAt(program_, items, ToInt32(ev.EvalNum()));
            return;
        case kArrayClear:
            items.clear();
            return;
        case kArraySetSize:
            ev.HasFirstParam(true);
            SetSize(ToInt32(ev.EvalNum()));
            return;
        default:
            ScriptObject::ProcessStatement(id);
    }
}

double NumArrayObject::ProcessNumFunction(int id) {
    if (id == kGetSize) return double(items.size());
    return ScriptObject::ProcessNumFunction(id);
}

void NumArrayObject::SetNumMember(std::string_view name, double value) {
    if (IsCountProperty(name)) return SetSize(ToInt32(value));
    if (NamesEqual(name, "total")) program_.ReportError(kRuntimeKind, msg::kTotalReadOnly);
    if (NamesEqual(name, "average")) program_.ReportError(kRuntimeKind, msg::kAverageReadOnly);
    ScriptObject::SetNumMember(name, value);
}

double NumArrayObject::GetNumMember(std::string_view name) {
    if (IsCountProperty(name)) return double(items.size());
    bool total = NamesEqual(name, "total"), average = NamesEqual(name, "average");
    if (!total && !average) return ScriptObject::GetNumMember(name);
    double sum = 0;
    for (double v : items)
        sum += v;
    if (total) return sum;
    return items.empty() ? 0.0 : sum / double(items.size());
}

ScriptObject* NumArrayFactory::Create(const std::string& name) {
    return new NumArrayObject(program_, name);
}

}  // namespace tallow
