// Designed dialogs as toolkit windows. Each template item becomes the widget
// of its class on a GtkFixed, at its position in dialog units converted as
// the system does (x * average character width / 4, y * character height /
// 8, from the dialog's font). Push buttons end an execute; check boxes and
// radio buttons never do; the close box ends it with 0 and hides the dialog.
#include "dialog_gtk.h"

#include <gtk/gtk.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "codec/dialog_template.h"
#include "gui_text.h"
#include "platform/dialog_model.h"

using tallow::platform::ControlClass;

struct TallowGuiDialog;

namespace tallow::gui {

namespace {

// Window and control styles the widgets follow.
using namespace codec;  // the k... style values of codec/dialog_styles.h

// The characters whose mean width the system takes as the dialog's
// horizontal base unit.
constexpr char kAverageSample[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kAverageSampleLength = 52;
// How long showing a dialog without waiting waits for it to be mapped.
constexpr int kMapWaitMs = 1000;
// The font of a template without one, and its size.
constexpr char kDefaultFamily[] = "Sans";
constexpr int kDefaultPoints = 8;

// Each dialog's widgets carry a name of their own, so its font rule reaches
// only them.
std::atomic<unsigned> gDialogNumbers{0};

}  // namespace

std::string UniqueWidgetName() {
    return "tallow-window-" + std::to_string(++gDialogNumbers);
}

namespace {

enum class Widget { Push, Check, Radio, Group, Label, Entry, TextView, List, Combo, SimpleCombo, Other };

struct Control {
    int id = 0;
    Widget kind = Widget::Other;
    uint32_t style = 0;
    GtkWidget* outer = nullptr;  // what sits on the layout
    GtkWidget* inner = nullptr;  // the button, entry, text view, tree view or combo box
    GtkWidget* entry = nullptr;  // a simple combo box's edit field
    GtkListStore* store = nullptr;
    GtkWidget* noneRadio = nullptr;  // the hidden member that lets a radio group have none checked
    int state = 0;                   // three-state boxes: 0, 1 or 2
    TallowGuiDialog* dialog = nullptr;
};

}  // namespace
}  // namespace tallow::gui

struct TallowGuiDialog {
    GtkWidget* window = nullptr;
    GtkWidget* fixed = nullptr;
    GtkCssProvider* css = nullptr;
    std::vector<std::unique_ptr<tallow::gui::Control>> controls;
    int waitMode = 0;
    int result = 0;
    bool waiting = false;
    bool pushing = false;  // the engine is setting widgets: their signals are no user's doing
};

namespace tallow::gui {

BaseUnits MeasureBaseUnits(GtkWidget* window) {
    BaseUnits units;
    PangoLayout* layout = gtk_widget_create_pango_layout(window, kAverageSample);
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    g_object_unref(layout);
    if (width > 0) units.x = (width / (kAverageSampleLength / 2) + 1) / 2;
    if (height > 0) units.y = height;
    return units;
}

std::string FontCss(const std::string& name, const std::string& face, int points) {
    std::string family = kDefaultFamily;
    if (!face.empty() && face.find_first_of("\"\\") == std::string::npos)
        family = "\"" + Utf8(face.c_str()) + "\", " + kDefaultFamily;
    std::string scope = "#" + name + ", #" + name + " *";
    return scope + " { font-family: " + family +
           "; font-size: " + std::to_string(points > 0 ? points : kDefaultPoints) + "pt; }\n";
}

namespace {

// A rule that gives the dialog's widgets its font and lets them shrink to
// the sizes of the template.
std::string DialogCss(const std::string& name, const codec::DialogTemplate& dialog) {
    std::string face;
    int points = kDefaultPoints;
    if (dialog.style & codec::kDsSetFont) {
        face = codec::NarrowUnits(dialog.typeface);
        if (dialog.pointSize > 0) points = dialog.pointSize;
    }
    return FontCss(name, face, points) + "#" + name + " button, #" + name + " entry, #" + name +
           " combobox * { min-height: 0; padding-top: 0; padding-bottom: 0; }\n#" + name +
           " button { padding-left: 2px; padding-right: 2px; }\n";
}

Control* FindControl(TallowGuiDialog* d, int id) {
    for (auto& c : d->controls)
        if (c->id == id) return c.get();
    return nullptr;
}

void EndWait(TallowGuiDialog* d, int result) {
    d->result = result;
    if (d->waitMode == 1 || result == 0) gtk_widget_hide(d->window);
    d->waitMode = 0;
    d->waiting = false;
}

void OnPushClicked(GtkButton*, gpointer data) {
    auto* c = static_cast<Control*>(data);
    EndWait(c->dialog, c->id);
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
    EndWait(static_cast<TallowGuiDialog*>(data), 0);
    return TRUE;  // hidden, not destroyed
}

void ShowCheckState(Control& c, int state) {
    c.state = state;
    gtk_toggle_button_set_inconsistent(GTK_TOGGLE_BUTTON(c.inner), state == 2);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(c.inner), state == 1);
}

// An automatic three-state box goes unchecked, checked, indeterminate in
// turn; the toolkit's own toggling knows only two states.
void OnThreeStateToggled(GtkToggleButton*, gpointer data) {
    auto* c = static_cast<Control*>(data);
    if (c->dialog->pushing) return;
    c->dialog->pushing = true;
    ShowCheckState(*c, (c->state + 1) % 3);
    c->dialog->pushing = false;
}

// A simple combo box's list writes the picked item into its edit field.
void OnSimpleComboPicked(GtkTreeSelection* selection, gpointer data) {
    auto* c = static_cast<Control*>(data);
    GtkTreeModel* model = nullptr;
    GtkTreeIter iter;
    if (c->dialog->pushing || !gtk_tree_selection_get_selected(selection, &model, &iter)) return;
    gchar* text = nullptr;
    gtk_tree_model_get(model, &iter, 0, &text, -1);
    gtk_entry_set_text(GTK_ENTRY(c->entry), text ? text : "");
    g_free(text);
}

GtkWidget* MakeListView(Control& c, bool multiple) {
    c.store = gtk_list_store_new(1, G_TYPE_STRING);
    GtkWidget* view = gtk_tree_view_new_with_model(GTK_TREE_MODEL(c.store));
    g_object_unref(c.store);
    gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(view), FALSE);
    gtk_tree_view_insert_column_with_attributes(GTK_TREE_VIEW(view), -1, "", gtk_cell_renderer_text_new(),
                                                "text", 0, nullptr);
    gtk_tree_selection_set_mode(gtk_tree_view_get_selection(GTK_TREE_VIEW(view)),
                                multiple ? GTK_SELECTION_MULTIPLE : GTK_SELECTION_SINGLE);
    return view;
}

GtkWidget* Scrolled(GtkWidget* child) {
    GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scrolled), GTK_SHADOW_IN);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_AUTOMATIC, GTK_POLICY_AUTOMATIC);
    gtk_container_add(GTK_CONTAINER(scrolled), child);
    return scrolled;
}

void MakeButton(Control& c, const std::string& label, GtkWidget*& lastRadio) {
    uint32_t type = c.style & kBsTypeMask;
    std::string text = MnemonicLabel(label);
    if (type == platform::kBsPushButton || type == kBsDefPushButton) {
        c.kind = Widget::Push;
        c.inner = c.outer = gtk_button_new_with_mnemonic(text.c_str());
        g_signal_connect(c.inner, "clicked", G_CALLBACK(OnPushClicked), &c);
    } else if (type == kBsCheckBox || type == kBsAutoCheckBox || type == kBs3State || type == kBsAuto3State) {
        c.kind = Widget::Check;
        c.inner = c.outer = gtk_check_button_new_with_mnemonic(text.c_str());
        if (type == kBs3State || type == kBsAuto3State)
            g_signal_connect(c.inner, "toggled", G_CALLBACK(OnThreeStateToggled), &c);
    } else if (type == kBsRadioButton || type == kBsAutoRadioButton) {
        c.kind = Widget::Radio;
        // A radio button joins the one before it unless it starts a group.
        if (!lastRadio || (c.style & kWsGroup)) {
            lastRadio = gtk_radio_button_new(nullptr);
            g_object_ref_sink(lastRadio);
        }
        c.noneRadio = lastRadio;
        c.inner = c.outer =
            gtk_radio_button_new_with_mnemonic_from_widget(GTK_RADIO_BUTTON(lastRadio), text.c_str());
        return;
    } else if (type == kBsGroupBox) {
        c.kind = Widget::Group;
        c.inner = c.outer = gtk_frame_new(Utf8(label.c_str()).c_str());
    } else {
        c.kind = Widget::Other;
        c.inner = c.outer = gtk_button_new_with_mnemonic(text.c_str());
    }
    lastRadio = nullptr;
}

void MakeStatic(Control& c, const std::string& label) {
    c.kind = Widget::Label;
    c.inner = c.outer = gtk_label_new(Utf8(label.c_str()).c_str());
    gtk_label_set_line_wrap(GTK_LABEL(c.inner), TRUE);
    float align = 0;
    if ((c.style & kSsAlignMask) == kSsCenter) align = 0.5f;
    if ((c.style & kSsAlignMask) == kSsRight) align = 1;
    gtk_label_set_xalign(GTK_LABEL(c.inner), align);
    gtk_label_set_yalign(GTK_LABEL(c.inner), 0);
    gtk_label_set_justify(GTK_LABEL(c.inner), align == 0.5f
                                                  ? GTK_JUSTIFY_CENTER
                                                  : (align == 1 ? GTK_JUSTIFY_RIGHT : GTK_JUSTIFY_LEFT));
}

void MakeEdit(Control& c, const std::string& text) {
    if (c.style & kEsMultiline) {
        c.kind = Widget::TextView;
        c.inner = gtk_text_view_new();
        gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(c.inner), GTK_WRAP_WORD_CHAR);
        gtk_text_view_set_editable(GTK_TEXT_VIEW(c.inner), !(c.style & kEsReadOnly));
        c.outer = Scrolled(c.inner);
        return;
    }
    c.kind = Widget::Entry;
    c.inner = c.outer = gtk_entry_new();
    gtk_entry_set_text(GTK_ENTRY(c.inner), Utf8(text.c_str()).c_str());
    gtk_entry_set_visibility(GTK_ENTRY(c.inner), !(c.style & kEsPassword));
    gtk_editable_set_editable(GTK_EDITABLE(c.inner), !(c.style & kEsReadOnly));
    gtk_entry_set_activates_default(GTK_ENTRY(c.inner), TRUE);
    gtk_entry_set_width_chars(GTK_ENTRY(c.inner), 1);
    if (c.style & kEsCenter) gtk_entry_set_alignment(GTK_ENTRY(c.inner), 0.5f);
    if (c.style & kEsRight) gtk_entry_set_alignment(GTK_ENTRY(c.inner), 1);
}

void MakeCombo(Control& c) {
    uint32_t type = c.style & kCbsTypeMask;
    if (type == kCbsSimple) {
        c.kind = Widget::SimpleCombo;
        c.entry = gtk_entry_new();
        gtk_entry_set_width_chars(GTK_ENTRY(c.entry), 1);
        c.inner = MakeListView(c, false);
        g_signal_connect(gtk_tree_view_get_selection(GTK_TREE_VIEW(c.inner)), "changed",
                         G_CALLBACK(OnSimpleComboPicked), &c);
        c.outer = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
        gtk_box_pack_start(GTK_BOX(c.outer), c.entry, FALSE, FALSE, 0);
        gtk_box_pack_start(GTK_BOX(c.outer), Scrolled(c.inner), TRUE, TRUE, 0);
        return;
    }
    c.kind = Widget::Combo;
    c.inner = c.outer =
        type == kCbsDropDownList ? gtk_combo_box_text_new() : gtk_combo_box_text_new_with_entry();
    if (type != kCbsDropDownList) c.entry = gtk_bin_get_child(GTK_BIN(c.inner));
    if (c.entry) gtk_entry_set_width_chars(GTK_ENTRY(c.entry), 1);
}

// The widget of one template item, placed and sized in pixels. The drop-down
// part of a combo box is not part of its height on this toolkit: the box
// keeps the height of one line.
void AddControl(TallowGuiDialog* d, const codec::DialogItem& item, BaseUnits units, GtkWidget*& lastRadio) {
    auto c = std::make_unique<Control>();
    c->id = item.id;
    c->style = item.style;
    c->dialog = d;
    std::string title = item.title.isOrdinal ? std::string() : codec::NarrowUnits(item.title.name);
    ControlClass kind = platform::ClassOfItem(item.windowClass);
    if (kind != ControlClass::Button) lastRadio = nullptr;  // a radio group ends at any other control
    switch (kind) {
        case ControlClass::Button:
            MakeButton(*c, title, lastRadio);
            break;
        case ControlClass::Static:
            MakeStatic(*c, title);
            break;
        case ControlClass::Edit:
            MakeEdit(*c, title);
            break;
        case ControlClass::ListBox:
            c->kind = Widget::List;
            c->inner =
                MakeListView(*c, (item.style & (platform::kLbsMultipleSel | platform::kLbsExtendedSel)) != 0);
            c->outer = Scrolled(c->inner);
            break;
        case ControlClass::ComboBox:
            MakeCombo(*c);
            break;
        default:
            c->kind = Widget::Other;
            c->inner = c->outer = gtk_label_new("");
            break;
    }
    int width = item.cx * units.x / 4, height = item.cy * units.y / 8;
    if (c->kind == Widget::Combo) height = std::min(height, units.y * 3 / 2 + 4);
    gtk_widget_set_size_request(c->outer, width, height);
    gtk_fixed_put(GTK_FIXED(d->fixed), c->outer, item.x * units.x / 4, item.y * units.y / 8);
    if ((item.style & kBsTypeMask) == kBsDefPushButton && c->kind == Widget::Push) {
        gtk_widget_set_can_default(c->inner, TRUE);
        gtk_window_set_default(GTK_WINDOW(d->window), c->inner);
    }
    d->controls.push_back(std::move(c));
}

// A multi-line edit field holds line ends as CR LF, as the system's does.
std::string WithCrLf(const char* text) {
    std::string out;
    for (const char* p = text; *p; ++p) {
        if (*p == '\n' && (p == text || p[-1] != '\r')) out.push_back('\r');
        out.push_back(*p);
    }
    return out;
}

std::string WithoutCr(const std::string& text) {
    std::string out;
    for (char ch : text)
        if (ch != '\r') out.push_back(ch);
    return out;
}

void FillStore(Control& c, const TallowGuiControlState& s) {
    gtk_list_store_clear(c.store);
    for (int i = 0; i < s.itemCount; ++i)
        gtk_list_store_insert_with_values(c.store, nullptr, -1, 0, Utf8(s.items[i]).c_str(), -1);
    GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(c.inner));
    gtk_tree_selection_unselect_all(selection);
    bool multiple = gtk_tree_selection_get_mode(selection) == GTK_SELECTION_MULTIPLE;
    for (int i = 0; i < s.itemCount; ++i) {
        bool on = multiple ? (s.selected && s.selected[i]) : i == s.current;
        if (!on) continue;
        GtkTreePath* path = gtk_tree_path_new_from_indices(i, -1);
        gtk_tree_selection_select_path(selection, path);
        if (!multiple) gtk_tree_view_scroll_to_cell(GTK_TREE_VIEW(c.inner), path, nullptr, FALSE, 0, 0);
        gtk_tree_path_free(path);
    }
}

void ReadStore(Control& c, TallowGuiControlState& s) {
    GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(c.inner));
    bool multiple = gtk_tree_selection_get_mode(selection) == GTK_SELECTION_MULTIPLE;
    int first = -1;
    for (int i = 0; i < s.itemCount; ++i) {
        GtkTreePath* path = gtk_tree_path_new_from_indices(i, -1);
        bool on = gtk_tree_selection_path_is_selected(selection, path);
        gtk_tree_path_free(path);
        if (s.selected) s.selected[i] = on;
        if (on && first < 0) first = i;
    }
    if (!multiple) s.current = first;
}

}  // namespace

TallowGuiDialog* CreateDialog(const uint8_t* bytes, size_t length) {
    codec::DialogTemplate dialog;
    if (!codec::ReadDialogTemplate({bytes, length}, dialog)) return nullptr;
    auto* d = new TallowGuiDialog;
    d->window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    g_object_ref_sink(d->window);
    std::string name = UniqueWidgetName();
    gtk_widget_set_name(d->window, name.c_str());
    d->css = gtk_css_provider_new();
    gtk_css_provider_load_from_data(d->css, DialogCss(name, dialog).c_str(), -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(d->css),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    gtk_window_set_title(GTK_WINDOW(d->window), Utf8(codec::NarrowUnits(dialog.title).c_str()).c_str());
    gtk_window_set_resizable(GTK_WINDOW(d->window), FALSE);
    gtk_window_set_position(GTK_WINDOW(d->window), GTK_WIN_POS_CENTER);
    g_signal_connect(d->window, "delete-event", G_CALLBACK(OnDelete), d);
    d->fixed = gtk_fixed_new();
    gtk_container_add(GTK_CONTAINER(d->window), d->fixed);
    BaseUnits units = MeasureBaseUnits(d->window);
    gtk_widget_set_size_request(d->fixed, dialog.cx * units.x / 4, dialog.cy * units.y / 8);
    GtkWidget* lastRadio = nullptr;
    for (const codec::DialogItem& item : dialog.items)
        AddControl(d, item, units, lastRadio);
    gtk_widget_show_all(d->fixed);
    return d;
}

void DestroyDialog(TallowGuiDialog* d) {
    if (!d) return;
    gtk_style_context_remove_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(d->css));
    g_object_unref(d->css);
    // Each group's hidden member is shared by the group: released once.
    for (auto& c : d->controls)
        if (c->noneRadio) {
            GtkWidget* none = c->noneRadio;
            for (auto& other : d->controls)
                if (other->noneRadio == none) other->noneRadio = nullptr;
            g_object_unref(none);
        }
    gtk_widget_destroy(d->window);
    g_object_unref(d->window);
    delete d;
    while (gtk_events_pending())
        gtk_main_iteration_do(FALSE);
}

void SetDialogCaption(TallowGuiDialog* d, const char* text) {
    gtk_window_set_title(GTK_WINDOW(d->window), Utf8(text).c_str());
}

void PushControl(TallowGuiDialog* d, const TallowGuiControlState& s) {
    Control* c = FindControl(d, s.id);
    if (!c) return;
    d->pushing = true;
    std::string text = s.text ? s.text : "";
    switch (c->kind) {
        case Widget::Push:
        case Widget::Other:
            if (GTK_IS_BUTTON(c->inner))
                gtk_button_set_label(GTK_BUTTON(c->inner), MnemonicLabel(text).c_str());
            break;
        case Widget::Check:
            gtk_button_set_label(GTK_BUTTON(c->inner), MnemonicLabel(text).c_str());
            ShowCheckState(*c, s.check);
            break;
        case Widget::Radio:
            gtk_button_set_label(GTK_BUTTON(c->inner), MnemonicLabel(text).c_str());
            if (s.check)
                gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(c->inner), TRUE);
            else if (gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(c->inner)) && c->noneRadio)
                gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(c->noneRadio), TRUE);
            break;
        case Widget::Group:
            gtk_frame_set_label(GTK_FRAME(c->inner), Utf8(text.c_str()).c_str());
            break;
        case Widget::Label:
            gtk_label_set_text(GTK_LABEL(c->inner), Utf8(text.c_str()).c_str());
            break;
        case Widget::Entry:
            gtk_entry_set_text(GTK_ENTRY(c->inner), Utf8(text.c_str()).c_str());
            break;
        case Widget::TextView:
            gtk_text_buffer_set_text(gtk_text_view_get_buffer(GTK_TEXT_VIEW(c->inner)),
                                     Utf8(WithoutCr(text).c_str()).c_str(), -1);
            break;
        case Widget::List:
            FillStore(*c, s);
            break;
        case Widget::SimpleCombo:
            FillStore(*c, s);
            gtk_entry_set_text(GTK_ENTRY(c->entry), Utf8(text.c_str()).c_str());
            break;
        case Widget::Combo:
            gtk_combo_box_text_remove_all(GTK_COMBO_BOX_TEXT(c->inner));
            for (int i = 0; i < s.itemCount; ++i)
                gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(c->inner), Utf8(s.items[i]).c_str());
            gtk_combo_box_set_active(GTK_COMBO_BOX(c->inner), s.current);
            if (c->entry) gtk_entry_set_text(GTK_ENTRY(c->entry), Utf8(text.c_str()).c_str());
            break;
    }
    d->pushing = false;
}

void ReadControl(TallowGuiDialog* d, TallowGuiControlState& s) {
    s.text = nullptr;
    Control* c = FindControl(d, s.id);
    if (!c) return;
    switch (c->kind) {
        case Widget::Check:
            s.check = gtk_toggle_button_get_inconsistent(GTK_TOGGLE_BUTTON(c->inner))
                          ? 2
                          : gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(c->inner));
            break;
        case Widget::Radio:
            s.check = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(c->inner));
            break;
        case Widget::Entry:
            s.text = CopyText(gtk_entry_get_text(GTK_ENTRY(c->inner)));
            break;
        case Widget::TextView: {
            GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(c->inner));
            GtkTextIter start, end;
            gtk_text_buffer_get_bounds(buffer, &start, &end);
            gchar* text = gtk_text_buffer_get_text(buffer, &start, &end, FALSE);
            s.text = CopyText(WithCrLf(text));
            g_free(text);
            break;
        }
        case Widget::List:
            ReadStore(*c, s);
            break;
        case Widget::SimpleCombo:
            ReadStore(*c, s);
            s.text = CopyText(gtk_entry_get_text(GTK_ENTRY(c->entry)));
            break;
        case Widget::Combo:
            s.current = gtk_combo_box_get_active(GTK_COMBO_BOX(c->inner));
            if (c->entry) s.text = CopyText(gtk_entry_get_text(GTK_ENTRY(c->entry)));
            break;
        default:
            break;
    }
}

void FocusControl(TallowGuiDialog* d, int id) {
    if (Control* c = FindControl(d, id)) gtk_widget_grab_focus(c->entry ? c->entry : c->inner);
}

bool DialogVisible(TallowGuiDialog* d) {
    return gtk_widget_get_visible(d->window);
}

// Dispatches events until the window is on the screen (the window manager
// has taken it), so that what the script does next finds it there, as it
// would on Windows; at most kMapWaitMs.
void WaitUntilMapped(GtkWidget* window) {
    gint64 deadline = g_get_monotonic_time() + kMapWaitMs * 1000;
    // The toolkit's own flags change at once; the withdrawn state goes only
    // when the display server reports the window mapped.
    GdkWindow* native = gtk_widget_get_window(window);
    while (native && (gdk_window_get_state(native) & GDK_WINDOW_STATE_WITHDRAWN) &&
           g_get_monotonic_time() < deadline) {
        if (gtk_events_pending())
            gtk_main_iteration_do(FALSE);
        else
            g_usleep(1000);
    }
    while (gtk_events_pending())
        gtk_main_iteration_do(FALSE);
}

// Shows the dialog (centred the first time) and, for a wait mode above 0,
// runs the events until a push button or the close box ends the wait.
int ExecuteDialog(TallowGuiDialog* d, int waitMode) {
    d->waitMode = waitMode;
    d->result = 0;
    gtk_widget_show(d->window);
    gtk_window_present(GTK_WINDOW(d->window));
    for (auto& c : d->controls)
        if (gtk_widget_get_can_focus(c->entry ? c->entry : c->inner)) {
            gtk_widget_grab_focus(c->entry ? c->entry : c->inner);
            break;
        }
    if (waitMode == 0) {
        WaitUntilMapped(d->window);
        return 1;
    }
    d->waiting = true;
    while (d->waiting && gtk_widget_get_visible(d->window))
        gtk_main_iteration_do(TRUE);
    d->waiting = false;
    return d->result;
}

void HideDialog(TallowGuiDialog* d) {
    gtk_widget_hide(d->window);
    d->waiting = false;
    while (gtk_events_pending())
        gtk_main_iteration_do(FALSE);
}

}  // namespace tallow::gui
