// Variable tables: the error path and the two instantiations.
#include "var_table.h"

#include "core/messages.h"
#include "core/program.h"

namespace tallow {

template <class Value>
const Value& VarTable<Value>::Get(std::string_view name) const {
    auto it = index_.find(name);
    if (it == index_.end()) Unknown();
    return values_[it->second];
}

template <class Value>
void VarTable<Value>::Unknown() const {
    if (program_) program_->ReportError(kSyntaxKind, msg::kUnknownVariable);
    throw ScriptError{};
}

template class VarTable<double>;
template class VarTable<std::string>;

}  // namespace tallow
