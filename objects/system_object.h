// The system partner of the main object: an unnamed script object whose
// statement and function names are searched before the keywords, so its
// members are written without a prefix.
#pragma once

#include "expr/script_object.h"

namespace tallow {

class SystemObject : public ScriptObject {
public:
    explicit SystemObject(Program& program);
};

}  // namespace tallow
