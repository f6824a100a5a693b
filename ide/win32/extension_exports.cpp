// TallowEdit's own extension entry points, by their plain names in the C
// convention the engine calls them with. No handler is installed, so each
// fails with its "not implemented" error, which reaches the engine as a
// script error; no C++ exception leaves an entry point (GuardEntry).
#include "ide/win32/extension_entry.h"
#include "include/tallow.h"

using tallow::ide::win32::EntryAdapter;
using tallow::ide::win32::GuardEntry;

extern "C" {

int TALLOW_ENTRY RegisterExtension(void) {
    return GuardEntry(nullptr, [] { return EntryAdapter().RegisterExtension(); });
}

int TALLOW_ENTRY CreateExtensionObject(TallowObjectHandle object, TallowValue data, const char** statements,
                                       const char** numberFunctions, const char** stringFunctions) {
    return GuardEntry(object, [&] {
        return EntryAdapter().CreateExtensionObject(object, data, statements, numberFunctions,
                                                    stringFunctions);
    });
}

int TALLOW_ENTRY DestroyExtensionObject(TallowObjectHandle object, TallowValue data) {
    return GuardEntry(object, [&] { return EntryAdapter().DestroyExtensionObject(object, data); });
}

int TALLOW_ENTRY ProcessStatement(TallowObjectHandle object, int id) {
    return GuardEntry(object, [&] { return EntryAdapter().ProcessStatement(object, id); });
}

int TALLOW_ENTRY ProcessNumFunction(TallowObjectHandle object, int id, double* result) {
    return GuardEntry(object, [&] { return EntryAdapter().ProcessNumFunction(object, id, result); });
}

int TALLOW_ENTRY ProcessStringFunction(TallowObjectHandle object, int id, const char** result) {
    return GuardEntry(object, [&] { return EntryAdapter().ProcessStringFunction(object, id, result); });
}

}  // extern "C"
