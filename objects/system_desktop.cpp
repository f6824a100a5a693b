// The desktop members of the system object: message boxes, file choosers,
// window search, key simulation, sound, wallpaper and the session.
#include <string>

#include "core/messages.h"
#include "core/program.h"
#include "expr/operators.h"
#include "objects/file_filter.h"
#include "objects/key_script.h"
#include "objects/system_members.h"
#include "objects/system_object.h"
#include "platform/console.h"
#include "platform/desktop.h"
#include "platform/message_box.h"

namespace tallow {

namespace {

constexpr unsigned kDefaultBoxFlags = 64;  // mtInformation with one OK button
constexpr char kDefaultBoxCaption[] = "Tallow";
constexpr char kOpenTitle[] = "Open";
constexpr char kSaveTitle[] = "Save As";

std::string RequiredString(Program& p) {
    p.Eval().HasFirstParam(true);
    return p.Eval().EvalString();
}

// The filter, initial file and title of opendialog and savedialog, and the
// chooser shown with them; "" when cancelled, and always when unattended.
std::string ChooseFile(Program& p, bool save) {
    Evaluator& ev = p.Eval();
    std::string filter = kDefaultFileFilter, initialFile, title = save ? kSaveTitle : kOpenTitle;
    if (ev.HasFirstParam(false)) {
        filter = ev.EvalString();
        if (ev.HasNextParam(false)) {
            initialFile = ev.EvalString();
            if (ev.HasNextParam(false)) title = ev.EvalString();
        }
    }
    if (platform::Unattended()) {
        platform::ReportChooserCancelled(title, platform::kFileChooserName);
        return std::string();
    }
    platform::FileChooserRequest request;
    request.owner = p.parentWindow;
    request.save = save;
    request.filters = BuildFilterList(filter);
    if (FitsFileNameBuffer(initialFile)) request.initialFile = initialFile;
    request.title = title;
    return platform::ChooseFile(request);
}

}  // namespace

// setcaption = "setcaption" strexpr
void SysSetCaption(Program& p) {
    std::string title = RequiredString(p);
    platform::SetConsoleTitleText(title.c_str());
}

// playsound = "playsound" strexpr "," numexpr
void SysPlaySound(Program& p) {
    std::string name = RequiredString(p);
    p.Eval().HasNextParam(true);
    unsigned flags = unsigned(ToInt32(p.Eval().EvalNum()));
    platform::PlaySoundNamed(name, flags);
}

// findwindow = "findwindow" strexpr
void SysFindWindow(Program& p) {
    std::string titleStart = RequiredString(p);
    if (!platform::BringWindowForward(titleStart)) p.ReportError(kRuntimeKind, msg::kCouldNotFindWindow);
}

// sendkeys = "sendkeys" strexpr. The keys before an unknown key name are
// sent before the error is raised, as typing them one by one would.
void SysSendKeys(Program& p) {
    std::string text = RequiredString(p);
    if (!ReadKeyScript(text, platform::KeyForChar, platform::SendKeyStrokes))
        p.ReportError(kRuntimeKind, msg::kUnknownKeyCode);
}

// exitwindows = "exitwindows" numexpr
void SysExitWindows(Program& p) {
    p.Eval().HasFirstParam(true);
    unsigned flags = unsigned(ToInt32(p.Eval().EvalNum()));
    p.CloseConsole();
    if (!platform::EndSession(flags)) p.ReportError(kRuntimeKind, msg::kCouldNotExitWindows);
}

// setwallpaper = "setwallpaper" strexpr
void SysSetWallpaper(Program& p) {
    std::string file = RequiredString(p);
    if (!platform::SetWallpaper(file)) p.ReportError(kRuntimeKind, msg::kCannotSetWallpaper);
}

// msgbox = "msgbox(" strexpr ["," numexpr ["," strexpr]] ")". The box is
// owned by the program's parent window; the result is the button's id.
double SysMsgBox(Program& p) {
    Evaluator& ev = p.Eval();
    std::string text = RequiredString(p);
    unsigned flags = kDefaultBoxFlags;
    std::string caption = kDefaultBoxCaption;
    if (ev.HasNextParam(false)) {
        flags = unsigned(ToInt32(ev.EvalNum()));
        if (ev.HasNextParam(false)) caption = ev.EvalString();
    }
    return platform::ShowMessageBox(p.parentWindow, text, caption, flags);
}

// opendialog = "opendialog(" [strexpr ["," strexpr ["," strexpr]]] ")"
std::string SysOpenDialog(Program& p) {
    return ChooseFile(p, false);
}

// savedialog = "savedialog(" [strexpr ["," strexpr ["," strexpr]]] ")"
std::string SysSaveDialog(Program& p) {
    return ChooseFile(p, true);
}

// browsefolder = "browsefolder(" [strexpr ["," strexpr]] ")"
std::string SysBrowseFolder(Program& p) {
    Evaluator& ev = p.Eval();
    std::string root, title;
    if (ev.HasFirstParam(false)) {
        root = ev.EvalString();
        if (ev.HasNextParam(false)) title = ev.EvalString();
    }
    if (platform::Unattended()) {
        platform::ReportChooserCancelled(title.empty() ? platform::kFolderBrowserCaption : title,
                                         platform::kFolderBrowserName);
        return std::string();
    }
    return platform::ChooseFolder(p.parentWindow, root, title);
}

}  // namespace tallow
