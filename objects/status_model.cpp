// The status window's percent rule.
#include "status_model.h"

#include "expr/operators.h"

namespace tallow {

int StatusModel::SetPercent(double value) {
    int32_t percent = ToInt32(value);
    if (percent >= kMinPercent && percent <= kMaxPercent) percent_ = percent;
    return percent_;
}

}  // namespace tallow
