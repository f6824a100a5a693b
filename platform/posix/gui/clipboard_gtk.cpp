// The clipboard: reads go through the toolkit; writes go to a helper
// process (tallow-clipboard, beside this module), so that what a script put
// there stays after it ends, as it does on Windows.
#include "clipboard_gtk.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>

#include <gtk/gtk.h>

#include "clipboard_formats.h"
#include "gui_text.h"
#include "platform/posix/owned_fd_posix.h"

extern char** environ;

namespace tallow::gui {

namespace {

constexpr char kHelperName[] = "tallow-clipboard";
// How long a helper may take to own the clipboard.
constexpr int kHelperReadyMs = 5000;

// What the last helper we started serves, while it owns the clipboard.
ClipboardContents gServed;

std::string HelperPath() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&HelperPath), &info) || !info.dli_fname) return kHelperName;
    std::string path = info.dli_fname;
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? kHelperName : path.substr(0, slash + 1) + kHelperName;
}

// Whether the clipboard's owner is still the helper we started: it offers
// exactly the targets we gave it (checked by the marker target).
constexpr char kMarkerTarget[] = "TALLOW_CLIPBOARD_HELPER";

bool HelperStillOwns() {
    if (gServed.empty()) return false;
    GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
    return gtk_clipboard_wait_is_target_available(clipboard, gdk_atom_intern(kMarkerTarget, FALSE));
}

// Starts the helper in a session of its own (it outlives the script and
// holds none of its terminals or pipes) and waits until it owns the
// clipboard.
bool StartHelper(const ClipboardContents& contents) {
    int input[2], ready[2];
    if (pipe2(input, O_CLOEXEC) != 0) return false;
    if (pipe2(ready, O_CLOEXEC) != 0) {
        close(input[0]);
        close(input[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, ready[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    std::string path = HelperPath();
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    pid_t child = 0;
    bool started = posix_spawn(&child, path.c_str(), &actions, &attributes, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(input[0]);
    close(ready[1]);
    bool owned = false;
    if (started) {
        // SIGPIPE would end the script if the helper died early.
        struct sigaction ignore {
        }, old{};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGPIPE, &ignore, &old);
        bool sent = platform::WriteAll(input[1], EncodeContents(contents));
        sigaction(SIGPIPE, &old, nullptr);
        close(input[1]);
        input[1] = -1;
        pollfd waitFor{ready[0], POLLIN, 0};
        char answer = 0;
        owned = sent && poll(&waitFor, 1, kHelperReadyMs) == 1 && read(ready[0], &answer, 1) == 1 &&
                answer == '1';
        // The helper's parent is this process until it ends: reap it if it
        // failed; a serving helper is reaped when the script ends (init).
        if (!owned) {
            kill(child, SIGTERM);
            waitpid(child, nullptr, 0);
        }
    }
    if (input[1] >= 0) close(input[1]);
    close(ready[0]);
    return owned;
}

}  // namespace

bool PutClipboard(unsigned format, const uint8_t* bytes, size_t length) {
    ClipboardContents contents;
    if (HelperStillOwns()) contents = gServed;
    std::string data(reinterpret_cast<const char*>(bytes), length);
    if (format == kTextFormat) {
        // The text format ends at its NUL, as Windows reads it.
        data = Utf8(data.substr(0, data.find('\0')).c_str());
    }
    contents[TargetOfFormat(format)] = data;
    contents[kMarkerTarget] = "";
    if (!StartHelper(contents)) return false;
    gServed = contents;
    return true;
}

int GetClipboard(unsigned format, std::string& data) {
    GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
    if (format == kTextFormat) {
        gchar* text = gtk_clipboard_wait_for_text(clipboard);
        if (!text) return 2;
        data = text;
        g_free(text);
        return 0;
    }
    GtkSelectionData* selection =
        gtk_clipboard_wait_for_contents(clipboard, gdk_atom_intern(TargetOfFormat(format).c_str(), FALSE));
    if (!selection) return 2;
    int length = gtk_selection_data_get_length(selection);
    const guchar* bytes = gtk_selection_data_get_data(selection);
    if (length < 0 || !bytes) {
        gtk_selection_data_free(selection);
        return 2;
    }
    data.assign(reinterpret_cast<const char*>(bytes), size_t(length));
    gtk_selection_data_free(selection);
    return 0;
}

bool ClipboardHas(unsigned format) {
    GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
    if (format == kTextFormat) return gtk_clipboard_wait_is_text_available(clipboard);
    return gtk_clipboard_wait_is_target_available(clipboard,
                                                  gdk_atom_intern(TargetOfFormat(format).c_str(), FALSE));
}

}  // namespace tallow::gui
