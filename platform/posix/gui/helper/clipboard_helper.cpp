// tallow-clipboard: serves what a script put on the clipboard after the
// script has ended. It reads the contents from standard input (the records
// of clipboard_formats.h), takes the clipboard, writes one byte to standard
// output once it owns it, and runs until another program takes the
// clipboard. Started by the desktop module, never by hand.
#include <gtk/gtk.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "clipboard_formats.h"

namespace {

using tallow::gui::ClipboardContents;

ClipboardContents gContents;
std::vector<std::string> gTargetNames;  // by the info number of each target

std::string ReadAll(int fd) {
    std::string bytes;
    char buffer[65536];
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0) {
            bytes.append(buffer, size_t(n));
        } else if (n == 0 || errno != EINTR) {
            return bytes;
        }
    }
}

void OnGet(GtkClipboard*, GtkSelectionData* selection, guint info, gpointer) {
    if (info >= gTargetNames.size()) return;
    const std::string& data = gContents[gTargetNames[info]];
    if (gTargetNames[info].empty()) {
        gtk_selection_data_set_text(selection, data.c_str(), int(data.size()));
    } else {
        gtk_selection_data_set(selection, gtk_selection_data_get_target(selection), 8,
                               reinterpret_cast<const guchar*>(data.data()), int(data.size()));
    }
}

// Another program owns the clipboard now: nothing is left to serve.
void OnClear(GtkClipboard*, gpointer) {
    gtk_main_quit();
}

}  // namespace

int main(int argc, char** argv) {
    std::string input = ReadAll(STDIN_FILENO);
    if (!tallow::gui::DecodeContents(input, gContents) || gContents.empty()) return 2;
    if (!gtk_init_check(&argc, &argv)) return 1;
    GtkTargetList* list = gtk_target_list_new(nullptr, 0);
    for (const auto& entry : gContents) {
        guint info = guint(gTargetNames.size());
        gTargetNames.push_back(entry.first);
        if (entry.first.empty())
            gtk_target_list_add_text_targets(list, info);
        else
            gtk_target_list_add(list, gdk_atom_intern(entry.first.c_str(), FALSE), 0, info);
    }
    int count = 0;
    GtkTargetEntry* targets = gtk_target_table_new_from_list(list, &count);
    GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
    bool owned = gtk_clipboard_set_with_data(clipboard, targets, guint(count), OnGet, OnClear, nullptr);
    gtk_target_table_free(targets, count);
    gtk_target_list_unref(list);
    char ready = owned ? '1' : '0';
    if (write(STDOUT_FILENO, &ready, 1) != 1 || !owned) return 1;
    close(STDOUT_FILENO);
    gtk_main();
    return 0;
}
