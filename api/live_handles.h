// The handles the exports accept: a process-wide record of the live programs
// and objects, so that a stale or made-up handle gets an export's neutral
// result instead of being used. A freed address that is reused by a new
// program or object counts as that one, as with any C library's handles.
#pragma once

#include "tallow.h"

namespace tallow {

class Program;
class ScriptObject;

namespace api {

// ---- Programs ------------------------------------------------------------------

// Records a program made through the API. A program of CreateProgram is the
// host's (DestroyProgram deletes it); one of the one-shot runners lives on
// their stack for one run and is forgotten with ForgetProgram. Throws
// std::bad_alloc when the record cannot grow.
void NoteProgramBorn(Program* program, bool hostOwned);
void ForgetProgram(Program* program);

// The live program behind handle, or null.
Program* LiveProgram(TallowProgramHandle handle);

enum class RunStart { kStarted, kUnknown, kBusy };
// RunProgram's bracket around a run: kStarted (and *program set) unless the
// handle is unknown or the program is already running.
RunStart BeginRun(TallowProgramHandle handle, Program** program);
// Ends the run. True when DestroyProgram was called during it: the program
// is forgotten already and the caller deletes it.
[[nodiscard]] bool EndRun(Program* program);

// Around any other export that may call the host back (InsertObject and
// InsertFactory call a host object's create): the live program behind
// handle, or null, and on leaving whether a DestroyProgram came meanwhile
// and the caller deletes the program now.
Program* EnterProgram(TallowProgramHandle handle);
[[nodiscard]] bool LeaveProgram(Program* program);

enum class Disposal { kUnknown, kDeferred, kDelete };
// DestroyProgram's decision. A program inside an export (running, or
// inserting a host object) is asked to stop, as EndProgram does, and deleted
// when that export returns (kDeferred); an idle one is forgotten here and the
// caller deletes it (kDelete).
Disposal TakeForDestroy(TallowProgramHandle handle);

// ---- Objects -------------------------------------------------------------------

// Every object whose handle can reach an export is noted from its birth to
// its end.
void NoteObjectBorn(const ScriptObject* object);
void NoteObjectGone(const ScriptObject* object);

// The live object behind handle, or null.
ScriptObject* LiveObject(TallowObjectHandle handle);

}  // namespace api
}  // namespace tallow
