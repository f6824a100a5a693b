// What TallowEdit's window tests share: a top-level window to host the window
// under test, message pumping with a time limit, scripted answers for every
// modal box and chooser, and screenshots of a window as BMP files.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ide/win32/modal_answers.h"
#include "ide/win32/window_base.h"

namespace tallow::ide::win32::test {

// How long a test waits for something a window does before it fails; long
// enough for a slow Wine start, short enough that a hang fails the test.
constexpr DWORD kDefaultWaitMs = 5000;

// A plain top-level window with a client area of the given size, hidden or
// shown (shown windows are what a screenshot or the keyboard focus needs).
// The window under test is created as its child or owned by it.
class HostWindow : public Window {
public:
    HostWindow(int clientWidth, int clientHeight, bool shown, const char* caption = "Tallow test host");

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// Dispatches every message already queued for this thread.
void PumpPending();

// Dispatches messages until done() holds or timeoutMs pass; true when done()
// held. done() is checked before the first wait, so a condition that already
// holds costs nothing.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = kDefaultWaitMs);

// Dispatches messages for a while, for effects with no condition to test.
void PumpFor(DWORD milliseconds);

// A message box as the code under test asked for it.
struct RecordedBox {
    std::string text;
    std::string caption;
    UINT flags = 0;
};

// Answers every modal thing from queues the test fills and records what was
// asked. Installed while it exists (the previous answers come back after). An
// empty queue gives the neutral answer: IDCANCEL for a box that has a Cancel
// button, else its first button (IDOK, IDYES, IDABORT, ...); Cancel for a
// chooser or the name dialog.
class FakeModalAnswers : public ModalAnswers {
public:
    FakeModalAnswers();
    ~FakeModalAnswers() override;
    FakeModalAnswers(const FakeModalAnswers&) = delete;
    FakeModalAnswers& operator=(const FakeModalAnswers&) = delete;

    std::deque<int> boxAnswers;
    std::deque<std::optional<std::string>> fileAnswers;
    std::deque<std::optional<std::string>> nameAnswers;

    std::vector<RecordedBox> boxes;
    std::vector<FileDialogRequest> fileRequests;  // in the order asked
    std::vector<bool> fileRequestsSave;           // beside fileRequests: a save chooser
    std::vector<std::string> nameRequests;        // the current name each time

    int MessageBox(const std::string& text, const std::string& caption, UINT flags) override;
    std::optional<std::string> FileDialog(const FileDialogRequest& request, bool save) override;
    std::optional<std::string> NameDialog(const std::string& current) override;

private:
    ModalAnswers* previous_;
};

// The answer a box gives when the queue has none (see FakeModalAnswers).
int NeutralBoxAnswer(UINT flags);

// The folder named by TALLOW_SCREENSHOT_DIR, or nothing when it is unset.
std::optional<std::string> ScreenshotFolder();

// Where a capture takes the window's pixels from: Print draws it through
// PrintWindow (and its children one by one, which Wine's PrintWindow leaves
// out), hidden or not, but without the menu bar and caption under Wine;
// Screen copies what the display shows, all of it, for a shown window that
// nothing covers.
enum class CaptureSource { Print, Screen };

// The window (frame included) as a 24-bit BMP image in memory; empty when
// the window cannot be drawn or copied.
std::vector<unsigned char> CaptureWindowBmp(HWND window, CaptureSource source = CaptureSource::Print);

// Writes the window as FOLDER/name.bmp when TALLOW_SCREENSHOT_DIR is set, from
// the screen when the window is shown, else through PrintWindow; the path
// written, or nothing (unset, or the file could not be written). The test run
// converts the BMP files to PNG afterwards.
std::optional<std::string> SaveScreenshot(HWND window, const std::string& name);

}  // namespace tallow::ide::win32::test
