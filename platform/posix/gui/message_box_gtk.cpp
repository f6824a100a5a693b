// Message boxes as toolkit message dialogs: the Win32 type's buttons, icon
// and default button, answered with the Win32 result codes.
#include "message_box_gtk.h"

#include <gtk/gtk.h>

#include "gui_text.h"
#include "platform/message_box.h"

namespace tallow::gui {

namespace {

using namespace tallow::platform;

constexpr unsigned kButtonsMask = 0xF;
constexpr unsigned kIconMask = 0xF0;
constexpr unsigned kDefaultButtonMask = 0xF00;
constexpr unsigned kDefaultButtonShift = 8;
constexpr size_t kMaxButtons = 3;

struct ButtonSet {
    int results[kMaxButtons];
    size_t count;
};

// By the type's low four bits (MB_OK ... MB_RETRYCANCEL).
constexpr ButtonSet kButtonSets[] = {
    {{kIdOk}, 1},
    {{kIdOk, kIdCancel}, 2},
    {{kIdAbort, kIdRetry, kIdIgnore}, 3},
    {{kIdYes, kIdNo, kIdCancel}, 3},
    {{kIdYes, kIdNo}, 2},
    {{kIdRetry, kIdCancel}, 2},
};

// The label of each result code, with its mnemonic (by code, 1 to 7).
constexpr const char* kButtonLabels[] = {"", "_OK", "_Cancel", "_Abort", "_Retry", "_Ignore", "_Yes", "_No"};

struct IconKind {
    unsigned bits;
    GtkMessageType type;
};
constexpr IconKind kIcons[] = {
    {0x10, GTK_MESSAGE_ERROR},
    {0x20, GTK_MESSAGE_QUESTION},
    {0x30, GTK_MESSAGE_WARNING},
    {0x40, GTK_MESSAGE_INFO},
};

GtkMessageType MessageTypeOf(unsigned type) {
    for (const IconKind& icon : kIcons)
        if ((type & kIconMask) == icon.bits) return icon.type;
    return GTK_MESSAGE_OTHER;
}

// What the close box and Escape answer: Cancel where the box has it, OK for
// a box with only OK; 0 (ignored) otherwise, as the system's boxes do.
int CloseResult(const ButtonSet& set) {
    for (size_t i = 0; i < set.count; ++i)
        if (set.results[i] == kIdCancel) return kIdCancel;
    return set.count == 1 ? set.results[0] : 0;
}

// Pixels of a title bar that are not its text: the window menu, the three
// buttons and the margins around them.
constexpr int kTitleBarRoom = 120;

}  // namespace

int ShowMessageBox(const char* text, const char* caption, unsigned type) {
    unsigned buttons = type & kButtonsMask;
    if (buttons >= std::size(kButtonSets)) buttons = 0;
    const ButtonSet& set = kButtonSets[buttons];
    GtkWidget* box = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, MessageTypeOf(type), GTK_BUTTONS_NONE,
                                            "%s", Utf8(text).c_str());
    std::string title = Utf8(caption);
    gtk_window_set_title(GTK_WINDOW(box), title.c_str());
    // A box is at least as wide as its caption, as the system's boxes are:
    // GTK measures the text alone, and the window manager would cut the
    // title of a short question.
    PangoLayout* layout = gtk_widget_create_pango_layout(box, title.c_str());
    int titleWidth = 0, titleHeight = 0;
    pango_layout_get_pixel_size(layout, &titleWidth, &titleHeight);
    g_object_unref(layout);
    gtk_window_set_default_size(GTK_WINDOW(box), titleWidth + kTitleBarRoom, -1);
    gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER);
    gtk_window_set_keep_above(GTK_WINDOW(box), TRUE);
    for (size_t i = 0; i < set.count; ++i)
        gtk_dialog_add_button(GTK_DIALOG(box), kButtonLabels[set.results[i]], set.results[i]);
    size_t defaultIndex = (type & kDefaultButtonMask) >> kDefaultButtonShift;
    if (defaultIndex >= set.count) defaultIndex = 0;
    gtk_dialog_set_default_response(GTK_DIALOG(box), set.results[defaultIndex]);
    int closeResult = CloseResult(set);
    if (!closeResult) gtk_window_set_deletable(GTK_WINDOW(box), FALSE);
    int result = 0;
    while (!result) {
        int response = gtk_dialog_run(GTK_DIALOG(box));
        result = response > 0 ? response : closeResult;
    }
    gtk_widget_destroy(box);
    while (gtk_events_pending())
        gtk_main_iteration_do(FALSE);
    return result;
}

}  // namespace tallow::gui
