// The record of live programs and objects behind the exports' handle checks.
// One mutex guards it: hosts may create, run and destroy programs on several
// threads at once.
#include "api/live_handles.h"

#include <mutex>
#include <unordered_map>
#include <unordered_set>

#include "core/program.h"
#include "expr/script_object.h"

namespace tallow::api {

namespace {

struct ProgramRecord {
    bool hostOwned = false;
    bool running = false;
    int entries = 0;              // exports in progress that may call the host back
    bool destroyPending = false;  // DestroyProgram came during one of them
};

struct Registry {
    std::mutex mutex;
    std::unordered_map<const Program*, ProgramRecord> programs;
    std::unordered_set<const void*> objects;
};

// Never destroyed: a host may still call an export while the process's
// static objects go.
Registry& TheRegistry() {
    static Registry* registry = new Registry;
    return *registry;
}

}  // namespace

void NoteProgramBorn(Program* program, bool hostOwned) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    ProgramRecord record;
    record.hostOwned = hostOwned;
    record.running = !hostOwned;  // a one-shot program exists for its one run
    r.programs[program] = record;
}

void ForgetProgram(Program* program) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.programs.erase(program);
}

Program* LiveProgram(TallowProgramHandle handle) {
    auto* program = reinterpret_cast<Program*>(handle);
    if (!program) return nullptr;
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.programs.count(program) ? program : nullptr;
}

RunStart BeginRun(TallowProgramHandle handle, Program** program) {
    auto* p = reinterpret_cast<Program*>(handle);
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = p ? r.programs.find(p) : r.programs.end();
    if (it == r.programs.end()) return RunStart::kUnknown;
    if (it->second.running || p->IsRunning()) return RunStart::kBusy;
    it->second.running = true;
    ++it->second.entries;
    *program = p;
    return RunStart::kStarted;
}

bool EndRun(Program* program) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.programs.find(program);
    if (it == r.programs.end()) return false;
    it->second.running = false;
    if (--it->second.entries > 0 || !it->second.destroyPending) return false;
    r.programs.erase(it);
    return true;
}

Program* EnterProgram(TallowProgramHandle handle) {
    auto* p = reinterpret_cast<Program*>(handle);
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = p ? r.programs.find(p) : r.programs.end();
    if (it == r.programs.end()) return nullptr;
    ++it->second.entries;
    return p;
}

bool LeaveProgram(Program* program) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.programs.find(program);
    if (it == r.programs.end()) return false;
    if (--it->second.entries > 0 || !it->second.destroyPending) return false;
    r.programs.erase(it);
    return true;
}

Disposal TakeForDestroy(TallowProgramHandle handle) {
    auto* p = reinterpret_cast<Program*>(handle);
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = p ? r.programs.find(p) : r.programs.end();
    if (it == r.programs.end()) return Disposal::kUnknown;
    if (it->second.running || it->second.entries > 0) {
        // A one-shot program is only stopped: its runner owns it.
        it->second.destroyPending = it->second.hostOwned;
        p->stopRequested = 1;
        return Disposal::kDeferred;
    }
    r.programs.erase(it);
    return Disposal::kDelete;
}

void NoteObjectBorn(const ScriptObject* object) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.objects.insert(object);
}

void NoteObjectGone(const ScriptObject* object) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.objects.erase(object);
}

ScriptObject* LiveObject(TallowObjectHandle handle) {
    auto* object = reinterpret_cast<ScriptObject*>(handle);
    if (!object) return nullptr;
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.objects.count(object) ? object : nullptr;
}

}  // namespace tallow::api
