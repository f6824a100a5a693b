// Print Setup and Print of the main window: the printer chosen in the setup
// dialog is kept for the next print, and a listing prints as text lines in
// the editor's font, a new page whenever the next line does not fit.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ide/win32/win_handles.h"

namespace tallow::ide::win32 {

inline void FreeGlobalHandle(HGLOBAL memory) {
    GlobalFree(memory);
}
using UniqueGlobal = UniqueHandle<HGLOBAL, FreeGlobalHandle>;

class ListingPrinter {
public:
    // The printer set-up dialog; true on OK. With modal answers installed
    // they answer instead.
    bool Setup(HWND owner);
    // The print dialog, then the lines one per printed line in font (as the
    // screen shows it; scaled to the printer's resolution). True when the
    // document was printed; false for Cancel or a printer failure.
    bool Print(HWND owner, const std::string& documentName, const std::vector<std::string>& lines,
               const LOGFONTA& font);

private:
    // The dialog's structure with the kept printer; takes back what the dialog returns.
    PRINTDLGA Request(HWND owner, DWORD flags);
    void Keep(PRINTDLGA& dialog);

    UniqueGlobal devMode_;
    UniqueGlobal devNames_;
};

}  // namespace tallow::ide::win32
