// Sounds on Linux through libcanberra, loaded when first needed so that the
// engine links no sound library; without it (or without a sound server)
// playsound does nothing.
#include <dlfcn.h>
#include <strings.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

#include "platform/confinement.h"
#include "platform/desktop.h"

namespace tallow::platform {

namespace {

constexpr char kCanberraLibrary[] = "libcanberra.so.0";
// PlaySound plays one sound at a time for the process: every sound is this
// one, and a new one stops the one before.
constexpr uint32_t kSoundId = 1;
constexpr auto kPollInterval = std::chrono::milliseconds(20);
// The name is a sound image in memory or a resource: nothing to play here.
constexpr unsigned kSndMemory = 0x4;

// The system sounds a script names with sndAlias, and their names in the
// freedesktop sound theme. Other names are taken as theme names.
struct SoundAlias {
    const char* alias;
    const char* themeName;
};
constexpr SoundAlias kSoundAliases[] = {
    {"SystemAsterisk", "dialog-information"},
    {"SystemExclamation", "dialog-warning"},
    {"SystemHand", "dialog-error"},
    {"SystemQuestion", "dialog-question"},
    {"SystemDefault", "bell"},
    {".Default", "bell"},
    {"SystemExit", "desktop-logout"},
    {"SystemStart", "desktop-login"},
    {"MailBeep", "message-new-email"},
};

// The few entry points used, found once; the library and its context stay
// for the life of the process (its threads may still be playing).
struct Canberra {
    using CreateFn = int (*)(void** context);
    using PlayFn = int (*)(void* context, uint32_t id, ...);
    using CancelFn = int (*)(void* context, uint32_t id);
    using PlayingFn = int (*)(void* context, uint32_t id, int* playing);

    void* context = nullptr;
    PlayFn play = nullptr;
    CancelFn cancel = nullptr;
    PlayingFn playing = nullptr;

    bool Load() {
        void* library = dlopen(kCanberraLibrary, RTLD_NOW | RTLD_LOCAL);
        if (!library) return false;
        auto create = reinterpret_cast<CreateFn>(dlsym(library, "ca_context_create"));
        play = reinterpret_cast<PlayFn>(dlsym(library, "ca_context_play"));
        cancel = reinterpret_cast<CancelFn>(dlsym(library, "ca_context_cancel"));
        playing = reinterpret_cast<PlayingFn>(dlsym(library, "ca_context_playing"));
        if (create && play && cancel && playing && create(&context) == 0 && context) return true;
        dlclose(library);
        return false;
    }

    bool Playing() {
        int now = 0;
        return playing(context, kSoundId, &now) == 0 && now;
    }
};

Canberra* TheCanberra() {
    static Canberra* canberra = [] {
        auto* c = new Canberra;
        if (c->Load()) return c;
        delete c;
        return static_cast<Canberra*>(nullptr);
    }();
    return canberra;
}

const char* ThemeName(const std::string& alias) {
    for (const SoundAlias& a : kSoundAliases)
        if (strcasecmp(alias.c_str(), a.alias) == 0) return a.themeName;
    return alias.c_str();
}

// A file name when the flags say so, or without either flag when a file of
// that name exists (PlaySound looks for the alias first; theme names and
// file names rarely meet).
bool IsFileName(const std::string& name, unsigned flags) {
    if (flags & kSndFile) return true;
    if (flags & kSndAlias) return false;
    return access(name.c_str(), F_OK) == 0;
}

}  // namespace

void PlaySoundNamed(const std::string& name, unsigned flags) {
    if (Confined() || (flags & kSndMemory)) return;
    Canberra* c = TheCanberra();
    if (!c) return;
    if ((flags & kSndNoStop) && c->Playing()) return;
    c->cancel(c->context, kSoundId);
    if (name.empty() || (flags & kSndPurge)) return;
    int result = IsFileName(name, flags)
                     ? c->play(c->context, kSoundId, "media.filename", name.c_str(), nullptr)
                     : c->play(c->context, kSoundId, "event.id", ThemeName(name), nullptr);
    if (result != 0 || (flags & kSndAsync)) return;
    while (c->Playing())
        std::this_thread::sleep_for(kPollInterval);
}

}  // namespace tallow::platform
