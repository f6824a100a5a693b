// The "numarray" type.
#include "num_array.h"

#include "core/messages.h"
#include "core/program.h"

namespace tallow {

namespace {

constexpr MemberTable kMembers{kArrayStatements<double>, kArrayNumFunctions<double>, {}};
static_assert(IdsInOrder(kMembers));

}  // namespace

NumArrayObject::NumArrayObject(Program& program, std::string name) : ArrayObject(program, std::move(name)) {
    AddMembers(kMembers);
}

void NumArrayObject::SetNumMember(std::string_view name, double value) {
    if (NamesEqual(name, "total")) program_.ReportError(kRuntimeKind, msg::kTotalReadOnly);
    if (NamesEqual(name, "average")) program_.ReportError(kRuntimeKind, msg::kAverageReadOnly);
    ArrayObject::SetNumMember(name, value);
}

double NumArrayObject::GetNumMember(std::string_view name) {
    bool total = NamesEqual(name, "total"), average = NamesEqual(name, "average");
    if (!total && !average) return ArrayObject::GetNumMember(name);
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
