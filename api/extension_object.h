// Extension objects: script objects served by the five entry points of an
// extension library, or by the same functions supplied by a host.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "api/live_handles.h"
#include "expr/script_object.h"
#include "platform/library.h"
#include "tallow.h"

namespace tallow {

// The five object entry points.
struct EntryPoints {
    TallowCreateProc create = nullptr;
    TallowDestroyProc destroy = nullptr;
    TallowStatementProc statement = nullptr;
    TallowNumFunctionProc numberFunction = nullptr;
    TallowStringFunctionProc stringFunction = nullptr;

    bool Complete() const { return create && destroy && statement && numberFunction && stringFunction; }
};

class ExtensionObject : public ScriptObject {
public:
    // Loads the library at path, finds its entry points and initialises the
    // object with data. "Could not initialize extension library!" (kind 1)
    // when the library or an entry point is missing; an error raised by the
    // library's call-backs goes on as it is. Nothing is left on failure.
    ExtensionObject(Program& program, std::string name, TallowValue data, const std::string& path);
    // The same from a host's functions: "Could not create extension object!"
    // (kind 1) when one of them is null.
    ExtensionObject(Program& program, std::string name, TallowValue data, const EntryPoints& entry);
    // Calls the library's destroy (errors it raises are dropped), then
    // releases the library.
    ~ExtensionObject() override;

    void ProcessStatement(int id) override;
    double ProcessNumFunction(int id) override;
    std::string ProcessStringFunction(int id) override;

    TallowObjectHandle Handle() {
        return reinterpret_cast<TallowObjectHandle>(static_cast<ScriptObject*>(this));
    }
    bool Initialized() const { return initialized_; }

    // True while one of the object's entry points is running.
    bool InCall() const { return activeCalls_ > 0; }
    // Destroys the object once its last entry point in progress returns:
    // the script replaced or deleted it from inside one of its own members.
    void DestroyWhenIdle() { destroyPending_ = true; }

    // The library's own storage; names match exactly.
    void SetProperty(std::string_view name, TallowValue value) { properties_[std::string(name)] = value; }
    TallowValue GetProperty(std::string_view name) const;

private:
    // Counts one entry-point call; the last to end carries out a pending
    // destruction, so nothing of the object may be used after it.
    class ActiveCall {
    public:
        explicit ActiveCall(ExtensionObject& object) : object_(object) { ++object_.activeCalls_; }
        ~ActiveCall() {
            if (--object_.activeCalls_ == 0 && object_.destroyPending_) delete &object_;
        }
        ActiveCall(const ActiveCall&) = delete;
        ActiveCall& operator=(const ActiveCall&) = delete;

    private:
        ExtensionObject& object_;
    };

    // Makes the object's handle valid for the exports from before its create
    // entry point to after its destroy entry point, also when construction
    // fails part-way.
    class LiveMark {
    public:
        explicit LiveMark(const ScriptObject* object) : object_(object) { api::NoteObjectBorn(object_); }
        ~LiveMark() { api::NoteObjectGone(object_); }
        LiveMark(const LiveMark&) = delete;
        LiveMark& operator=(const LiveMark&) = delete;

    private:
        const ScriptObject* object_;
    };

    void Initialise();

    LiveMark liveMark_{this};
    platform::Library library_;
    EntryPoints entry_;
    TallowValue data_;
    bool initialized_ = false;
    int activeCalls_ = 0;
    bool destroyPending_ = false;
    std::map<std::string, TallowValue, std::less<>> properties_;
};

}  // namespace tallow
