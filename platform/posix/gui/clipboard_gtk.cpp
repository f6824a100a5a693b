// The clipboard: reads go through the toolkit; writes go to a helper
// process (tallow-clipboard, beside this module), so that what a script put
// there stays after it ends, as it does on Windows. Text goes out as UTF-8
// for other programs and, byte for byte, under a target of our own, from
// which scripts read it back exactly; other programs' text is converted to
// the single-byte text with CR LF that scripts work with.
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

#include <set>

#include "clipboard_formats.h"
#include "clipboard_text.h"
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
// The puts of this process, counted for the helpers' marker tokens.
unsigned gPuts = 0;

std::string HelperPath() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&HelperPath), &info) || !info.dli_fname) return kHelperName;
    std::string path = info.dli_fname;
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? kHelperName : path.substr(0, slash + 1) + kHelperName;
}

// Offered by every helper we start: the owner is one of ours.
constexpr char kMarkerTarget[] = "TALLOW_CLIPBOARD_HELPER";
// The text format as the script gave it, byte for byte.
constexpr char kScriptTextTarget[] = "TALLOW_SCRIPT_TEXT";
// The target whose bytes are other programs' text as UTF-8, unconverted
// (the toolkit's text reading turns CR LF into LF).
constexpr char kUtf8Target[] = "UTF8_STRING";

// What the clipboard's owner offers, asked of it now. The toolkit's own
// list of targets is remembered until it has seen the owner change, which
// it learns only from events a put in this process does not wait for.
struct Offer {
    std::set<std::string> targets;
    bool text = false;  // any of the text targets

    bool Has(const std::string& target) const { return targets.count(target) != 0; }
};

Offer CurrentOffer() {
    Offer offer;
    GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
    GtkSelectionData* selection =
        gtk_clipboard_wait_for_contents(clipboard, gdk_atom_intern_static_string("TARGETS"));
    if (!selection) return offer;
    GdkAtom* atoms = nullptr;
    gint count = 0;
    if (gtk_selection_data_get_targets(selection, &atoms, &count)) {
        for (gint i = 0; i < count; ++i) {
            gchar* name = gdk_atom_name(atoms[i]);
            offer.targets.insert(name);
            g_free(name);
        }
        g_free(atoms);
    }
    offer.text = gtk_selection_data_targets_include_text(selection);
    gtk_selection_data_free(selection);
    return offer;
}

// The owner's bytes for target, false when it gives none.
bool TargetBytes(const char* target, std::string& data) {
    GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
    GtkSelectionData* selection = gtk_clipboard_wait_for_contents(clipboard, gdk_atom_intern(target, FALSE));
    if (!selection) return false;
    int length = gtk_selection_data_get_length(selection);
    const guchar* bytes = gtk_selection_data_get_data(selection);
    bool got = length >= 0 && bytes;
    if (got) data.assign(reinterpret_cast<const char*>(bytes), size_t(length));
    gtk_selection_data_free(selection);
    return got;
}

// Whether the clipboard's owner is still the helper we started last: its
// marker holds the token of that put (another script's helper has its own).
bool HelperStillOwns() {
    std::string token;
    return !gServed.empty() && CurrentOffer().Has(kMarkerTarget) && TargetBytes(kMarkerTarget, token) &&
           token == gServed[kMarkerTarget];
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
        contents[kScriptTextTarget] = data;
        // Other programs read the text up to its NUL, as Windows reads it.
        data = Utf8(data.substr(0, data.find('\0')).c_str());
    }
    contents[TargetOfFormat(format)] = data;
    contents[kMarkerTarget] = std::to_string(getpid()) + "." + std::to_string(++gPuts);
    if (!StartHelper(contents)) return false;
    gServed = contents;
    return true;
}

namespace {

// The text format: a script's text as it was put; another program's from
// its UTF-8 bytes where it offers them, else as the toolkit converts it.
int GetText(std::string& data) {
    Offer offer = CurrentOffer();
    if (offer.Has(kScriptTextTarget) && TargetBytes(kScriptTextTarget, data)) return 0;
    if (!offer.text) return 2;
    std::string text;
    if (!offer.Has(kUtf8Target) || !TargetBytes(kUtf8Target, text)) {
        gchar* converted = gtk_clipboard_wait_for_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD));
        if (!converted) return 2;
        text = converted;
        g_free(converted);
    }
    data = ScriptTextOf(text);
    return 0;
}

}  // namespace

int GetClipboard(unsigned format, std::string& data) {
    if (format == kTextFormat) return GetText(data);
    return TargetBytes(TargetOfFormat(format).c_str(), data) ? 0 : 2;
}

bool ClipboardHas(unsigned format) {
    Offer offer = CurrentOffer();
    if (format == kTextFormat) return offer.text || offer.Has(kScriptTextTarget);
    return offer.Has(TargetOfFormat(format));
}

}  // namespace tallow::gui
