// The progress window: the layout of the status dialog on Windows (207 x 55
// dialog units of 8-point "MS Sans Serif"; the message line at 7, 7, 193 x
// 20; the bar at 7, 31, 193 x 17), caption "Progress". It is modeless, so
// every change is drawn at once, without waiting for the script to wait.
#include "status_gtk.h"

#include <gtk/gtk.h>

#include <string>

#include "dialog_gtk.h"
#include "gui_text.h"

struct TallowGuiStatus {
    GtkWidget* window = nullptr;
    GtkWidget* message = nullptr;
    GtkWidget* bar = nullptr;
    GtkCssProvider* css = nullptr;
};

namespace tallow::gui {

namespace {

constexpr char kCaption[] = "Progress";
constexpr char kFace[] = "MS Sans Serif";
constexpr int kPoints = 8;
struct Box {
    int x, y, cx, cy;
};
constexpr Box kWindow{0, 0, 207, 55}, kMessage{7, 7, 193, 20}, kBar{7, 31, 193, 17};

void Draw() {
    while (gtk_events_pending())
        gtk_main_iteration_do(FALSE);
}

gboolean OnDelete(GtkWidget* window, GdkEvent*, gpointer) {
    gtk_widget_hide(window);
    return TRUE;
}

void Place(GtkWidget* fixed, GtkWidget* child, Box box, BaseUnits units) {
    gtk_widget_set_size_request(child, box.cx * units.x / 4, box.cy * units.y / 8);
    gtk_fixed_put(GTK_FIXED(fixed), child, box.x * units.x / 4, box.y * units.y / 8);
}

}  // namespace

TallowGuiStatus* CreateStatus() {
    auto* s = new TallowGuiStatus;
    s->window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    g_object_ref_sink(s->window);
    std::string name = UniqueWidgetName();
    gtk_widget_set_name(s->window, name.c_str());
    s->css = gtk_css_provider_new();
    std::string css = FontCss(name, kFace, kPoints) + "#" + name + " progressbar * { min-height: 0; }\n";
    gtk_css_provider_load_from_data(s->css, css.c_str(), -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(s->css),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    gtk_window_set_title(GTK_WINDOW(s->window), kCaption);
    gtk_window_set_resizable(GTK_WINDOW(s->window), FALSE);
    gtk_window_set_position(GTK_WINDOW(s->window), GTK_WIN_POS_CENTER_ALWAYS);
    g_signal_connect(s->window, "delete-event", G_CALLBACK(OnDelete), nullptr);
    GtkWidget* fixed = gtk_fixed_new();
    gtk_container_add(GTK_CONTAINER(s->window), fixed);
    BaseUnits units = MeasureBaseUnits(s->window);
    gtk_widget_set_size_request(fixed, kWindow.cx * units.x / 4, kWindow.cy * units.y / 8);
    s->message = gtk_label_new("");
    gtk_label_set_xalign(GTK_LABEL(s->message), 0);
    gtk_label_set_yalign(GTK_LABEL(s->message), 0);
    gtk_label_set_ellipsize(GTK_LABEL(s->message), PANGO_ELLIPSIZE_END);
    Place(fixed, s->message, kMessage, units);
    s->bar = gtk_progress_bar_new();
    Place(fixed, s->bar, kBar, units);
    gtk_widget_show_all(fixed);
    return s;
}

void DestroyStatus(TallowGuiStatus* s) {
    if (!s) return;
    gtk_style_context_remove_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(s->css));
    g_object_unref(s->css);
    gtk_widget_destroy(s->window);
    g_object_unref(s->window);
    delete s;
    Draw();
}

void ShowStatus(TallowGuiStatus* s) {
    gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(s->bar), 0);
    gtk_widget_show(s->window);
    gtk_window_present(GTK_WINDOW(s->window));
    Draw();
}

void HideStatus(TallowGuiStatus* s) {
    gtk_widget_hide(s->window);
    Draw();
}

bool StatusVisible(TallowGuiStatus* s) {
    Draw();  // a close box pressed meanwhile
    return gtk_widget_get_visible(s->window);
}

void SetStatusCaption(TallowGuiStatus* s, const char* text) {
    gtk_window_set_title(GTK_WINDOW(s->window), Utf8(text).c_str());
    Draw();
}

void SetStatusMessage(TallowGuiStatus* s, const char* text) {
    gtk_label_set_text(GTK_LABEL(s->message), Utf8(text).c_str());
    Draw();
}

void SetStatusPercent(TallowGuiStatus* s, int percent) {
    gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(s->bar), percent < 0     ? 0
                                                            : percent > 100 ? 1
                                                                            : percent / 100.0);
    Draw();
}

}  // namespace tallow::gui
