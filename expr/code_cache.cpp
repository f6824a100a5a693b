// The arenas of remembered code; destroyed with the text they describe.
#include "code_cache.h"

#include "core/statement_plan.h"

namespace tallow {

CodeCache::CodeCache() = default;
CodeCache::~CodeCache() = default;

// The code made under the old names stays allocated (it may be running);
// only the notes that lead to it are dropped.
void CodeCache::Forget(uint32_t generation) {
    notes_.reset_all();
    generation_ = generation;
}

}  // namespace tallow
