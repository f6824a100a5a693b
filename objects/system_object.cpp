// The system partner. It attaches itself to the main object on construction.
#include "system_object.h"

#include "core/main_object.h"
#include "core/program.h"

namespace tallow {

SystemObject::SystemObject(Program& program) : ScriptObject(program, "") {
    program.Main().SetSystemPartner(this);
}

}  // namespace tallow
