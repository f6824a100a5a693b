// The browser on Linux: xdg-open, started and left to itself.
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/browser.h"

extern char** environ;

namespace tallow::platform {

namespace {

bool HasDesktop() {
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (wayland && *wayland);
}

}  // namespace

bool OpenInBrowser(const std::string& url) {
    if (!HasDesktop()) return false;
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) return false;
    // The browser's chatter is not the program's output.
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::string program = "xdg-open";
    char* args[] = {program.data(), const_cast<char*>(url.c_str()), nullptr};
    pid_t pid = 0;
    int failed = posix_spawnp(&pid, program.c_str(), &actions, nullptr, args, environ);
    posix_spawn_file_actions_destroy(&actions);
    return failed == 0;
}

}  // namespace tallow::platform
