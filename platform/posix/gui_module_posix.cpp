// Finding and loading the desktop module: TALLOW_GUI_MODULE when set (tests
// point it at a build), else beside the library that holds this code (a
// build tree), else in Tallow's own folder beside it or in the install
// libdir, where plug-ins live apart from the shared libraries.
#include "gui_module_posix.h"

#include <dlfcn.h>

#include <time.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "platform/confinement.h"
#include "platform/message_box.h"

#ifndef TALLOW_INSTALL_LIBDIR
#define TALLOW_INSTALL_LIBDIR "/usr/local/lib"
#endif

namespace tallow::platform {

namespace {

constexpr char kModuleName[] = "libtallowgui.so";
constexpr char kModuleVariable[] = "TALLOW_GUI_MODULE";

const TallowGuiTable* gLoaded = nullptr;

// How long a wait goes without dispatching the desktop's events: short
// enough that windows repaint and answer clicks without visible delay.
constexpr int kPumpSliceMs = 15;

bool HasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
}

// The folder of the file that holds this function: libtallowcore.so, or the
// program the engine is linked into.
std::string OwnFolder() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&OwnFolder), &info) || !info.dli_fname) return {};
    std::string path = info.dli_fname;
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The module's table from the first candidate that loads, has the entry and
// the right version, and reaches the display. The library stays loaded for
// the life of the process (the toolkit cannot be unloaded safely).
const TallowGuiTable* Load() {
    std::string candidates[3];
    if (const char* forced = std::getenv(kModuleVariable); forced && *forced) {
        candidates[0] = forced;
    } else {
        // Never a bare or relative name: that would load from the current
        // folder or the library path.
        if (std::string own = OwnFolder(); !own.empty()) {
            candidates[0] = own + kModuleName;
            candidates[1] = own + "tallow/" + kModuleName;  // an installed tree moved elsewhere
        }
        candidates[2] = std::string(TALLOW_INSTALL_LIBDIR "/tallow/") + kModuleName;
    }
    for (const std::string& path : candidates) {
        if (path.empty()) continue;
        void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            // A module named on purpose that cannot load says why.
            if (path == candidates[0] && std::getenv(kModuleVariable))
                std::fprintf(stderr, "%s\n", dlerror());
            continue;
        }
        auto entry = reinterpret_cast<TallowGuiTableFunction>(dlsym(library, TALLOW_GUI_ENTRY));
        const TallowGuiTable* table = entry ? entry() : nullptr;
        if (table && table->version == TALLOW_GUI_VERSION && table->Start()) return table;
        // A module that cannot start keeps its toolkit's state: left loaded.
        if (!table) dlclose(library);
        return nullptr;
    }
    return nullptr;
}

}  // namespace

const TallowGuiTable* GuiModule() {
    static std::once_flag once;
    if (Unattended() || Confined() || !HasDisplay()) return nullptr;
    std::call_once(once, [] { gLoaded = Load(); });
    return gLoaded;
}

const TallowGuiTable* LoadedGuiModule() {
    return gLoaded;
}

void PumpGuiEvents() {
    if (const TallowGuiTable* gui = gLoaded) gui->PumpEvents();
}

int PollPumping(pollfd* fds, unsigned long count, int timeoutMs) {
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    for (;;) {
        // What is left of the wait (-1: no end), in slices while a desktop
        // is in use.
        int wait = timeoutMs;
        if (timeoutMs >= 0) {
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            long elapsed = long(now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000;
            if (elapsed >= timeoutMs) return 0;
            wait = int(timeoutMs - elapsed);
        }
        const TallowGuiTable* gui = gLoaded;
        if (gui && (wait < 0 || wait > kPumpSliceMs)) wait = kPumpSliceMs;
        int ready = ::poll(fds, nfds_t(count), wait);
        if (gui) gui->PumpEvents();
        if (ready > 0 || (ready < 0 && errno != EINTR)) return ready;
        // A signal cuts the wait short only by the time it took; a timeout
        // without the desktop is the whole wait.
        if (ready == 0 && !gui) return 0;
    }
}

std::string TakeGuiText(const TallowGuiTable& gui, char* text) {
    if (!text) return {};
    std::string result = text;
    gui.FreeText(text);
    return result;
}

}  // namespace tallow::platform
