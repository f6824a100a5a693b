// TallowEdit's entry point: the common controls, the main window, and the
// message loop that gives the window its keys first (F6, F1, the search
// dialogs, the shortcuts) and an idle round whenever the queue runs empty.
//
// Command line: TallowEdit.exe [FILE] opens FILE after start-up.
// TallowEdit.exe --selftest creates the window (hidden), runs one idle round
// and closes it without any prompt, exiting 0: a start-up check for test
// and CI machines. With TALLOW_UNATTENDED set (not "" or "0") no box or
// chooser is shown; each writes one line to standard error and takes its
// default answer.
#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <exception>
#include <string>
#include <utility>

#include "ide/win32/main_form.h"
#include "ide/win32/modal_answers.h"

using tallow::ide::win32::MainFormOptions;
using tallow::ide::win32::TMainForm;

namespace {

constexpr const char* kSelfTestSwitch = "--selftest";

void RunMessageLoop(TMainForm& form) {
    bool idleDue = true;
    MSG msg{};
    for (;;) {
        if (idleDue && !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            form.Idle();
            idleDue = false;
        }
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) return;
        if (!form.PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        idleDue = true;
    }
}

int Run(MainFormOptions options, bool selfTest) {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    TMainForm form;
    if (selfTest) {
        options.showCommand = SW_HIDE;
        options.openPath.clear();
        options.postQuit = false;
        form.promptOnClose = false;
        form.Create(options);
        form.Idle();
        SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
        return 0;
    }
    form.Create(options);
    RunMessageLoop(form);
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    MainFormOptions options;
    options.showCommand = showCommand;
    bool selfTest = false;
    for (int i = 1; i < __argc; ++i) {
        if (std::strcmp(__argv[i], kSelfTestSwitch) == 0)
            selfTest = true;
        else if (options.openPath.empty())
            options.openPath = __argv[i];
    }
    // The self-test shows nothing modal either.
    tallow::ide::win32::UnattendedAnswers unattended;
    if (selfTest || tallow::ide::win32::UnattendedRequested())
        tallow::ide::win32::SetModalAnswers(&unattended);
    int code = 1;
    try {
        code = Run(std::move(options), selfTest);
    } catch (const std::exception& e) {
        tallow::ide::win32::ShowMessageBox(nullptr, e.what(), "TallowEdit", MB_OK | MB_ICONERROR);
    } catch (...) {
    }
    tallow::ide::win32::SetModalAnswers(nullptr);
    return code;
}
