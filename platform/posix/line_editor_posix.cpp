// Line editing through libedit's readline interface, opened with dlopen by
// its versioned name from the system's library folders.
#include <dlfcn.h>

#include <cstdlib>

#include "platform/line_editor.h"

namespace tallow::platform {

struct LineEditor::Library {
    char* (*readline)(const char*) = nullptr;
    int (*addHistory)(const char*) = nullptr;
    int (*readHistory)(const char*) = nullptr;
    int (*writeHistory)(const char*) = nullptr;
};

namespace {

template <class Function>
bool Resolve(void* handle, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(handle, name));
    return function != nullptr;
}

}  // namespace

LineEditor::LineEditor() {
    // Never unloaded: libedit keeps its state in its own globals until the
    // process ends, as it would if it were linked.
    void* handle = dlopen("libedit.so.2", RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle) return;
    auto library = std::make_unique<Library>();
    if (Resolve(handle, "readline", library->readline) &&
        Resolve(handle, "add_history", library->addHistory) &&
        Resolve(handle, "read_history", library->readHistory) &&
        Resolve(handle, "write_history", library->writeHistory))
        library_ = std::move(library);
}

LineEditor::~LineEditor() = default;

bool LineEditor::ReadLine(const char* prompt, std::string& line) {
    if (!library_) return ReadPlainLine(prompt, line);
    char* text = library_->readline(prompt);
    if (!text) return false;
    line = text;
    if (*text) library_->addHistory(text);
    std::free(text);
    return true;
}

void LineEditor::ReadHistory(const std::string& file) {
    if (library_ && !file.empty()) library_->readHistory(file.c_str());
}

void LineEditor::WriteHistory(const std::string& file) {
    if (library_ && !file.empty()) library_->writeHistory(file.c_str());
}

}  // namespace tallow::platform
