// File choosers as toolkit file-chooser dialogs: each name/pattern pair of
// the filter text becomes a named filter, the initial file preselects its
// folder and name.
#include "file_chooser_gtk.h"

#include <gtk/gtk.h>

#include <string_view>
#include <vector>

#include "gui_text.h"

namespace tallow::gui {

namespace {

constexpr char kOpenTitle[] = "Open";
constexpr char kSaveTitle[] = "Save As";
constexpr char kFolderTitle[] = "Browse for Folder";

// The NUL-ended texts of filters, in order.
std::vector<std::string> SplitTexts(const char* filters, size_t length) {
    std::vector<std::string> texts;
    size_t start = 0;
    for (size_t i = 0; i < length; ++i) {
        if (filters[i] != '\0') continue;
        if (i == start) break;  // the empty text that ends the list
        texts.emplace_back(filters + start, i - start);
        start = i + 1;
    }
    return texts;
}

void AddFilters(GtkFileChooser* chooser, const char* filters, size_t length) {
    std::vector<std::string> texts = SplitTexts(filters, length);
    for (size_t i = 0; i + 1 < texts.size(); i += 2) {
        GtkFileFilter* filter = gtk_file_filter_new();
        gtk_file_filter_set_name(filter, Utf8(texts[i].c_str()).c_str());
        std::string_view patterns = texts[i + 1];
        while (!patterns.empty()) {
            size_t end = patterns.find(';');
            std::string pattern(patterns.substr(0, end));
            if (!pattern.empty()) gtk_file_filter_add_pattern(filter, Utf8(pattern.c_str()).c_str());
            patterns = end == std::string_view::npos ? std::string_view() : patterns.substr(end + 1);
        }
        gtk_file_chooser_add_filter(chooser, filter);
    }
}

// Runs the chooser to its end; the file it names when accepted.
bool RunChooser(GtkWidget* dialog, std::string& path) {
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    bool accepted = gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT;
    if (accepted) {
        gchar* name = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog));
        accepted = name != nullptr;
        if (name) path = name;
        g_free(name);
    }
    gtk_widget_destroy(dialog);
    while (gtk_events_pending())
        gtk_main_iteration_do(FALSE);
    return accepted;
}

}  // namespace

bool ChooseFile(bool save, const char* filters, size_t filtersLength, const char* initialFile,
                const char* title, std::string& path) {
    std::string caption = title && *title ? Utf8(title) : std::string(save ? kSaveTitle : kOpenTitle);
    GtkWidget* dialog = gtk_file_chooser_dialog_new(
        caption.c_str(), nullptr, save ? GTK_FILE_CHOOSER_ACTION_SAVE : GTK_FILE_CHOOSER_ACTION_OPEN,
        "_Cancel", GTK_RESPONSE_CANCEL, save ? "_Save" : "_Open", GTK_RESPONSE_ACCEPT, nullptr);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
    if (save) gtk_file_chooser_set_do_overwrite_confirmation(chooser, TRUE);
    AddFilters(chooser, filters, filtersLength);
    std::string initial = Utf8(initialFile);
    // Like the system's choosers elsewhere, the current folder comes first.
    gchar* current = g_get_current_dir();
    gtk_file_chooser_set_current_folder(chooser, current);
    g_free(current);
    if (!initial.empty()) {
        gchar* folder = g_path_get_dirname(initial.c_str());
        gchar* base = g_path_get_basename(initial.c_str());
        if (initial.find('/') != std::string::npos) gtk_file_chooser_set_current_folder(chooser, folder);
        if (save)
            gtk_file_chooser_set_current_name(chooser, base);
        else if (initial.find('/') != std::string::npos)
            gtk_file_chooser_set_filename(chooser, initial.c_str());
        g_free(folder);
        g_free(base);
    }
    return RunChooser(dialog, path);
}

bool ChooseFolder(const char* root, const char* title, std::string& path) {
    std::string caption = title && *title ? Utf8(title) : std::string(kFolderTitle);
    GtkWidget* dialog =
        gtk_file_chooser_dialog_new(caption.c_str(), nullptr, GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER,
                                    "_Cancel", GTK_RESPONSE_CANCEL, "_Select", GTK_RESPONSE_ACCEPT, nullptr);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
    std::string start = Utf8(root);
    if (start.empty()) {
        gchar* current = g_get_current_dir();
        start = current;
        g_free(current);
    }
    gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(dialog), start.c_str());
    return RunChooser(dialog, path);
}

}  // namespace tallow::gui
