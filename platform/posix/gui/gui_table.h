/* The one boundary between the engine and its desktop module
 * (libtallowgui.so): a table of plain C functions with a version, returned
 * by the module's only export. No C++ exception and no toolkit type crosses
 * it; texts are NUL-terminated, and every text the module returns is freed
 * with the table's FreeText. */
#ifndef TALLOW_GUI_TABLE_H
#define TALLOW_GUI_TABLE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Raised when a function is added or changes; the engine refuses a module
 * whose version differs. */
#define TALLOW_GUI_VERSION 1
#define TALLOW_GUI_ENTRY "TallowGuiGetTable"

/* A designed dialog's window, owned by the module. */
typedef struct TallowGuiDialog TallowGuiDialog;
/* The status object's progress window, owned by the module. */
typedef struct TallowGuiStatus TallowGuiStatus;

/* The whole state of one control, both ways: what the engine pushes to the
 * widget, and what the module reads back from it. */
typedef struct TallowGuiControlState {
    int id;
    const char* text;         /* push: the control's text; read: set by the module (FreeText) */
    const char* const* items; /* list and combo boxes (push only) */
    int itemCount;
    unsigned char* selected; /* one flag an item: multiple-selection list boxes */
    int current;             /* the selected item, -1 none */
    int check;               /* buttons: 0, 1 or 2 */
} TallowGuiControlState;

typedef struct TallowGuiTable {
    uint32_t version;
    /* Connects to the display; 0 when there is none to reach. */
    int (*Start)(void);
    /* Dispatches every pending event without waiting. */
    void (*PumpEvents)(void);
    void (*FreeText)(char* text);

    /* A message box with the Win32 type bits; the result code of the button
     * pressed, 0 when no box could be shown. */
    int (*MessageBox)(const char* text, const char* caption, unsigned type);

    /* File chooser: filters as name/pattern pairs, each NUL-ended, filtersLength
     * bytes in all (0 for none). The path chosen, or NULL when cancelled. */
    char* (*ChooseFile)(int save, const char* filters, size_t filtersLength, const char* initialFile,
                        const char* title);
    char* (*ChooseFolder)(const char* root, const char* title);

    /* Designed dialogs, from classic template bytes; NULL for bad bytes. */
    TallowGuiDialog* (*DialogCreate)(const uint8_t* bytes, size_t length);
    void (*DialogDestroy)(TallowGuiDialog* dialog);
    void (*DialogSetCaption)(TallowGuiDialog* dialog, const char* text);
    /* Makes the widget show state (items, selection, text, check). */
    void (*DialogPushControl)(TallowGuiDialog* dialog, const TallowGuiControlState* state);
    /* Reads what the user changed into state: text (FreeText), the selected
     * flags (state->selected holds itemCount flags), current, check. */
    void (*DialogReadControl)(TallowGuiDialog* dialog, TallowGuiControlState* state);
    void (*DialogFocusControl)(TallowGuiDialog* dialog, int id);
    int (*DialogVisible)(TallowGuiDialog* dialog);
    /* Shows the dialog; waitMode 0 returns 1 at once, above 0 runs the events
     * until a push button (its id) or the close box (0) ends the wait; 1
     * hides the dialog then. */
    int (*DialogExecute)(TallowGuiDialog* dialog, int waitMode);
    void (*DialogHide)(TallowGuiDialog* dialog);

    /* The progress window: a caption, a message line and a bar from 0 to
     * 100, hidden when made. Show centres it on the screen; the close box
     * hides it. Every call draws at once. */
    TallowGuiStatus* (*StatusCreate)(void);
    void (*StatusDestroy)(TallowGuiStatus* status);
    void (*StatusShow)(TallowGuiStatus* status);
    void (*StatusHide)(TallowGuiStatus* status);
    int (*StatusVisible)(TallowGuiStatus* status);
    void (*StatusSetCaption)(TallowGuiStatus* status, const char* text);
    void (*StatusSetMessage)(TallowGuiStatus* status, const char* text);
    void (*StatusSetPercent)(TallowGuiStatus* status, int percent);

    /* The clipboard, by Win32 format number (1 the text format; the numbers
     * from ClipboardRegister for named formats). Put hands the data to a
     * helper process that serves it until another program takes the
     * clipboard, so it outlives the script; the formats put before stay
     * while the helper still owns the clipboard. Put and Has return 1 or 0;
     * Get returns 0 with the data (FreeText), 1 when there is no clipboard,
     * 2 when it has no data of the format. */
    int (*ClipboardPut)(unsigned format, const uint8_t* bytes, size_t length);
    int (*ClipboardGet)(unsigned format, char** bytes, size_t* length);
    int (*ClipboardHas)(unsigned format);
    unsigned (*ClipboardRegister)(const char* name);

    /* X11 only (both answer 0 elsewhere): raises and activates the first
     * top-level window whose title starts with titleStart (letter case
     * aside); sends key strokes (Win32 virtual keys, down or up) through
     * XTest to whatever window has the keyboard. */
    int (*FindWindow)(const char* titleStart);
    int (*SendKeys)(const uint8_t* virtualKeys, const uint8_t* downs, size_t count);
} TallowGuiTable;

typedef const TallowGuiTable* (*TallowGuiTableFunction)(void);

#ifdef __cplusplus
}
#endif

#endif
