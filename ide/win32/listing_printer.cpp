// ListingPrinter: the common print dialogs and a plain text listing on the printer.
#include "ide/win32/listing_printer.h"

#include <commdlg.h>

#include "ide/win32/modal_answers.h"

namespace tallow::ide::win32 {

namespace {

// The screen resolution fonts are given in; printers are scaled from it.
constexpr int kScreenDpi = 96;

// Ends a started document: AbortDoc unless EndDoc ran.
class PrintJob {
public:
    PrintJob(HDC dc, const std::string& name) : dc_(dc) {
        DOCINFOA info{};
        info.cbSize = sizeof info;
        info.lpszDocName = name.c_str();
        started_ = StartDocA(dc_, &info) > 0;
    }
    ~PrintJob() {
        if (started_) AbortDoc(dc_);
    }
    PrintJob(const PrintJob&) = delete;
    PrintJob& operator=(const PrintJob&) = delete;
    bool Started() const { return started_; }
    bool Finish() {
        started_ = false;
        return EndDoc(dc_) > 0;
    }

private:
    HDC dc_;
    bool started_ = false;
};

}  // namespace

PRINTDLGA ListingPrinter::Request(HWND owner, DWORD flags) {
    PRINTDLGA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.hDevMode = devMode_.Release();
    dialog.hDevNames = devNames_.Release();
    dialog.Flags = flags;
    return dialog;
}

void ListingPrinter::Keep(PRINTDLGA& dialog) {
    devMode_.Reset(dialog.hDevMode);
    devNames_.Reset(dialog.hDevNames);
}

bool ListingPrinter::Setup(HWND owner) {
    if (ModalAnswers* answers = CurrentModalAnswers()) return answers->PrintDialog(true);
    if (!devNames_) {
        PRINTDLGA defaults = Request(owner, PD_RETURNDEFAULT);
        PrintDlgA(&defaults);
        Keep(defaults);
    }
    PRINTDLGA dialog = Request(owner, PD_PRINTSETUP);
    bool ok = PrintDlgA(&dialog) != 0;
    Keep(dialog);
    return ok;
}

bool ListingPrinter::Print(HWND owner, const std::string& documentName, const std::vector<std::string>& lines,
                           const LOGFONTA& font) {
    if (ModalAnswers* answers = CurrentModalAnswers()) return answers->PrintDialog(false);
    PRINTDLGA dialog = Request(owner, PD_RETURNDC | PD_DISABLEPRINTTOFILE | PD_NOPAGENUMS | PD_NOSELECTION);
    bool ok = PrintDlgA(&dialog) != 0;
    Keep(dialog);
    if (!ok || !dialog.hDC) return false;
    UniqueMemoryDc dc(dialog.hDC);

    LOGFONTA scaled = font;
    scaled.lfHeight = MulDiv(font.lfHeight, GetDeviceCaps(dc.Get(), LOGPIXELSY), kScreenDpi);
    scaled.lfWidth = 0;
    UniqueFont printerFont(CreateFontIndirectA(&scaled));
    PrintJob job(dc.Get(), documentName);
    if (!job.Started() || !printerFont) return false;

    int pageHeight = GetDeviceCaps(dc.Get(), VERTRES);
    bool pageOpen = false;
    int y = 0, lineHeight = 0;
    for (const std::string& line : lines) {
        if (!pageOpen) {
            if (StartPage(dc.Get()) <= 0) return false;
            pageOpen = true;
            y = 0;
        }
        // The font is selected per page: some drivers reset the DC at StartPage.
        SelectedObject selected(dc.Get(), printerFont.Get());
        TEXTMETRICA metrics{};
        GetTextMetricsA(dc.Get(), &metrics);
        lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
        TextOutA(dc.Get(), 0, y, line.c_str(), static_cast<int>(line.size()));
        y += lineHeight;
        if (y + lineHeight > pageHeight) {
            if (EndPage(dc.Get()) <= 0) return false;
            pageOpen = false;
        }
    }
    if (pageOpen && EndPage(dc.Get()) <= 0) return false;
    return job.Finish();
}

}  // namespace tallow::ide::win32
