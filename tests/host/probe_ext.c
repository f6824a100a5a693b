/* probe_ext.c - probe.tlx, a test extension library in plain C: it counts
 * the objects it creates, hands back the object data it was given, raises an
 * error from inside its own frames, and refuses to register itself. */
#include "tallow.h"

/* Object data 2 asks for an object without any members. */
enum { kNoMembers = 2 };

static int creates = 0;

TALLOW_EXTENSION_EXPORT int TALLOW_ENTRY RegisterExtension(void) {
    return 0;
}

TALLOW_EXTENSION_EXPORT int TALLOW_ENTRY CreateExtensionObject(TallowObjectHandle object, TallowValue data,
                                                               const char** statements,
                                                               const char** numberFunctions,
                                                               const char** stringFunctions) {
    ++creates;
    SetProperty(object, "data", data);
    if (data == kNoMembers) return 1;
    *statements = "fail\0";
    *numberFunctions = "creates\0data\0";
    *stringFunctions = "nothing\0";
    return 1;
}

TALLOW_EXTENSION_EXPORT int TALLOW_ENTRY DestroyExtensionObject(TallowObjectHandle object, TallowValue data) {
    (void)object;
    (void)data;
    return 1;
}

TALLOW_EXTENSION_EXPORT int TALLOW_ENTRY ProcessStatement(TallowObjectHandle object, int id) {
    if (id == 1) ThrowError(object, 1, "probe failed");
    return 1;
}

TALLOW_EXTENSION_EXPORT int TALLOW_ENTRY ProcessNumFunction(TallowObjectHandle object, int id,
                                                            double* result) {
    if (id == 1) *result = creates;
    if (id == 2) *result = (double)GetProperty(object, "data");
    return 1;
}

/* nothing() leaves its result null, which the script reads as "". */
TALLOW_EXTENSION_EXPORT int TALLOW_ENTRY ProcessStringFunction(TallowObjectHandle object, int id,
                                                               const char** result) {
    (void)object;
    (void)id;
    (void)result;
    return 1;
}
