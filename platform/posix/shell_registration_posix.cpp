// Code files for freedesktop.org file managers: a shared-mime-info package
// that names application/x-tallow-code (glob *.cod, the code-file magic) and
// a desktop entry that opens it with the runner. The caches are rebuilt by
// update-mime-database and update-desktop-database where they are installed.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "platform/desktop_entry.h"
#include "platform/file_replacement.h"
#include "platform/self_path.h"
#include "platform/shell_registration.h"

extern char** environ;

namespace tallow::platform {

namespace {

namespace fs = std::filesystem;

constexpr const char* kMimeType = "application/x-tallow-code";
constexpr const char* kMimePackage = "mime/packages/tallow-code.xml";
constexpr const char* kDesktopEntry = "applications/tallow-code.desktop";

constexpr const char* kMimeText =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
    "  <mime-type type=\"application/x-tallow-code\">\n"
    "    <comment>Tallow code file</comment>\n"
    "    <magic priority=\"60\">\n"
    "      <match type=\"string\" offset=\"0\" value=\"TALLOW\\0\"/>\n"
    "      <match type=\"string\" offset=\"0\" value=\"TALLOW1\\0\"/>\n"
    "    </magic>\n"
    "    <glob pattern=\"*.cod\"/>\n"
    "  </mime-type>\n"
    "</mime-info>\n";

// $XDG_DATA_HOME, or ~/.local/share when it is unset or not absolute.
fs::path DataHome() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/') return fs::path(data);
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return fs::path(home) / ".local/share";
    return fs::path();
}

std::string DesktopEntryFor(const std::string& launcher) {
    return std::string(
               "[Desktop Entry]\n"
               "Type=Application\n"
               "Name=Tallow\n"
               "Comment=Runs a Tallow code file\n"
               "Exec=") +
           ExecValue(launcher, {}) + " %f\nMimeType=" + kMimeType +
           ";\n"
           "NoDisplay=true\n"
           "Terminal=false\n";
}

// Replaces the file whole: a file manager never reads half of one.
bool WriteFile(const fs::path& path, const std::string& text, std::string& error) {
    std::error_code code;
    fs::create_directories(path.parent_path(), code);
    if (ReplaceFileContents(path.string(), text)) return true;
    error = "cannot write " + path.string();
    return false;
}

// Runs program with one folder argument, its output discarded; a program
// that is not installed is no failure, the shell then reads the files as
// they are at its next start.
void RunQuietly(const char* program, const fs::path& folder) {
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) return;
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::string folderText = folder.string();
    char* argv[] = {const_cast<char*>(program), folderText.data(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, program, &actions, nullptr, argv, environ) == 0) {
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }
    posix_spawn_file_actions_destroy(&actions);
}

void UpdateCaches(const fs::path& dataHome) {
    std::error_code error;
    if (fs::is_directory(dataHome / "mime", error)) RunQuietly("update-mime-database", dataHome / "mime");
    if (fs::is_directory(dataHome / "applications", error))
        RunQuietly("update-desktop-database", dataHome / "applications");
}

}  // namespace

std::string CodeFileLauncher() {
    return ExecutablePath();
}

bool RegisterCodeFiles(const std::string& launcher, std::vector<std::string>& changed, std::string& error) {
    fs::path dataHome = DataHome();
    if (dataHome.empty()) {
        error = "neither XDG_DATA_HOME nor HOME names a folder";
        return false;
    }
    for (auto [file, text] : {std::pair{kMimePackage, std::string(kMimeText)},
                              std::pair{kDesktopEntry, DesktopEntryFor(launcher)}}) {
        if (!WriteFile(dataHome / file, text, error)) return false;
        changed.push_back((dataHome / file).string());
    }
    UpdateCaches(dataHome);
    return true;
}

bool UnregisterCodeFiles(std::vector<std::string>& changed, std::string& error) {
    fs::path dataHome = DataHome();
    if (dataHome.empty()) {
        error = "neither XDG_DATA_HOME nor HOME names a folder";
        return false;
    }
    for (const char* file : {kMimePackage, kDesktopEntry}) {
        std::error_code code;
        if (fs::remove(dataHome / file, code)) changed.push_back((dataHome / file).string());
        if (code) {
            error = "cannot remove " + (dataHome / file).string() + ": " + code.message();
            return false;
        }
    }
    if (!changed.empty()) UpdateCaches(dataHome);
    return true;
}

}  // namespace tallow::platform
