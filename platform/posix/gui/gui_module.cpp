// The desktop module's one export: the table of functions the engine calls.
// Every entry catches whatever the toolkit side throws, so nothing crosses
// the C boundary; a failed entry answers as "nothing shown".
#include <gtk/gtk.h>

#include <string>

#include "clipboard_formats.h"
#include "clipboard_gtk.h"
#include "dialog_gtk.h"
#include "file_chooser_gtk.h"
#include "gui_table.h"
#include "gui_text.h"
#include "message_box_gtk.h"
#include "status_gtk.h"
#include "x11_desktop.h"

namespace tallow::gui {

namespace {

// The engine's number formatting depends on the C locale: the toolkit must
// not switch the process to the user's.
int Start() {
    try {
        gtk_disable_setlocale();
        return gtk_init_check(nullptr, nullptr) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

void PumpEvents() {
    while (gtk_events_pending())
        gtk_main_iteration_do(FALSE);
}

void FreeText(char* text) {
    g_free(text);
}

int MessageBoxEntry(const char* text, const char* caption, unsigned type) {
    try {
        return ShowMessageBox(text, caption, type);
    } catch (...) {
        return 0;
    }
}

char* ChooseFileEntry(int save, const char* filters, size_t filtersLength, const char* initialFile,
                      const char* title) {
    try {
        std::string path;
        return ChooseFile(save != 0, filters, filtersLength, initialFile, title, path) ? CopyText(path)
                                                                                       : nullptr;
    } catch (...) {
        return nullptr;
    }
}

char* ChooseFolderEntry(const char* root, const char* title) {
    try {
        std::string path;
        return ChooseFolder(root, title, path) ? CopyText(path) : nullptr;
    } catch (...) {
        return nullptr;
    }
}

TallowGuiDialog* DialogCreateEntry(const uint8_t* bytes, size_t length) {
    try {
        return CreateDialog(bytes, length);
    } catch (...) {
        return nullptr;
    }
}

// The dialog entries below only call the toolkit, which does not throw;
// the ones that build C++ strings are guarded.
void DialogPushEntry(TallowGuiDialog* dialog, const TallowGuiControlState* state) {
    try {
        PushControl(dialog, *state);
    } catch (...) {
    }
}

void DialogReadEntry(TallowGuiDialog* dialog, TallowGuiControlState* state) {
    try {
        ReadControl(dialog, *state);
    } catch (...) {
        state->text = nullptr;
    }
}

void DialogCaptionEntry(TallowGuiDialog* dialog, const char* text) {
    try {
        SetDialogCaption(dialog, text);
    } catch (...) {
    }
}

void DialogDestroyEntry(TallowGuiDialog* dialog) {
    try {
        DestroyDialog(dialog);
    } catch (...) {
    }
}

int DialogVisibleEntry(TallowGuiDialog* dialog) {
    return DialogVisible(dialog) ? 1 : 0;
}

// The status entries build C++ strings only in creation and captions.
TallowGuiStatus* StatusCreateEntry() {
    try {
        return CreateStatus();
    } catch (...) {
        return nullptr;
    }
}

void StatusCaptionEntry(TallowGuiStatus* status, const char* text) {
    try {
        SetStatusCaption(status, text);
    } catch (...) {
    }
}

void StatusMessageEntry(TallowGuiStatus* status, const char* text) {
    try {
        SetStatusMessage(status, text);
    } catch (...) {
    }
}

int StatusVisibleEntry(TallowGuiStatus* status) {
    return StatusVisible(status) ? 1 : 0;
}

int ClipboardPutEntry(unsigned format, const uint8_t* bytes, size_t length) {
    try {
        return PutClipboard(format, bytes, length) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int ClipboardGetEntry(unsigned format, char** bytes, size_t* length) {
    try {
        std::string data;
        int status = GetClipboard(format, data);
        if (status == 0) {
            *bytes = CopyText(data);
            *length = data.size();
        }
        return status;
    } catch (...) {
        return 1;
    }
}

int ClipboardHasEntry(unsigned format) {
    try {
        return ClipboardHas(format) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

unsigned ClipboardRegisterEntry(const char* name) {
    try {
        return RegisterFormat(name ? name : "");
    } catch (...) {
        return 0;
    }
}

int FindWindowEntry(const char* titleStart) {
    try {
        return RaiseWindowByTitle(titleStart) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int SendKeysEntry(const uint8_t* virtualKeys, const uint8_t* downs, size_t count) {
    return SendVirtualKeys(virtualKeys, downs, count) ? 1 : 0;
}

// Each slot of the table filled by name, so that the slot and the function
// behind it are found from either side.
constexpr TallowGuiTable kTable = {
    .version = TALLOW_GUI_VERSION,
    .Start = Start,
    .PumpEvents = PumpEvents,
    .FreeText = FreeText,
    .MessageBox = MessageBoxEntry,
    .ChooseFile = ChooseFileEntry,
    .ChooseFolder = ChooseFolderEntry,
    .DialogCreate = DialogCreateEntry,
    .DialogDestroy = DialogDestroyEntry,
    .DialogSetCaption = DialogCaptionEntry,
    .DialogPushControl = DialogPushEntry,
    .DialogReadControl = DialogReadEntry,
    .DialogFocusControl = FocusControl,
    .DialogVisible = DialogVisibleEntry,
    .DialogExecute = ExecuteDialog,
    .DialogHide = HideDialog,
    .StatusCreate = StatusCreateEntry,
    .StatusDestroy = DestroyStatus,
    .StatusShow = ShowStatus,
    .StatusHide = HideStatus,
    .StatusVisible = StatusVisibleEntry,
    .StatusSetCaption = StatusCaptionEntry,
    .StatusSetMessage = StatusMessageEntry,
    .StatusSetPercent = SetStatusPercent,
    .ClipboardPut = ClipboardPutEntry,
    .ClipboardGet = ClipboardGetEntry,
    .ClipboardHas = ClipboardHasEntry,
    .ClipboardRegister = ClipboardRegisterEntry,
    .FindWindow = FindWindowEntry,
    .SendKeys = SendKeysEntry,
};

}  // namespace

}  // namespace tallow::gui

extern "C" __attribute__((visibility("default"))) const TallowGuiTable* TallowGuiGetTable() {
    return &tallow::gui::kTable;
}
