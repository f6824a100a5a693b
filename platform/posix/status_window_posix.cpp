// The status window. It keeps its caption, message and percent; the first
// show on a desktop makes the desktop module's progress window, which shows
// them from then on. Without a desktop, while it is shown, standard error is
// a terminal and the run is not unattended, it draws them as one line there,
// redrawn in place on every change and cleared when it hides.
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "gui_module_posix.h"
#include "platform/message_box.h"
#include "platform/status_line.h"
#include "platform/status_window.h"

namespace tallow::platform {

namespace {

// The handle of every status window: one per program, and a number the
// same in every program, so that a script's output does not depend on how
// many programs came before. Apart from the dialog models' (from 0x10000).
constexpr uintptr_t kStatusHandle = 0x7E000000;

// The caption of the desktop's window before the script sets one.
constexpr char kDefaultCaption[] = "Progress";

// Without a width from the terminal, the line stays within the classic 80
// columns.
constexpr size_t kDefaultColumns = 80;
// Returns the cursor to the line's start and erases the line.
constexpr char kClearLine[] = "\r\033[K";

void WriteToStdError(const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(STDERR_FILENO, text.data() + done, text.size() - done);
        if (n <= 0) return;
        done += size_t(n);
    }
}

// One column less than the terminal has, so the line never wraps.
size_t LineWidth() {
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 1) return size_t(size.ws_col) - 1;
    return kDefaultColumns - 1;
}

class TerminalStatusWindow final : public StatusWindow {
public:
    TerminalStatusWindow() : handle_(reinterpret_cast<Handle>(kStatusHandle)) {}
    ~TerminalStatusWindow() override {
        Clear();
        if (window_) gui_->StatusDestroy(window_);
    }
    TerminalStatusWindow(const TerminalStatusWindow&) = delete;
    TerminalStatusWindow& operator=(const TerminalStatusWindow&) = delete;

    Handle NativeHandle() const override { return handle_; }
    // The user may have closed the desktop window meanwhile.
    bool Visible() const override { return window_ ? gui_->StatusVisible(window_) != 0 : visible_; }

    void Show(Handle& parentWindow) override {
        if (!Visible()) {
            oldParent_ = parentWindow;
            parentWindow = handle_;
            visible_ = true;
        }
        percent_ = 0;
        if (!window_) MakeDesktopWindow();
        if (window_) gui_->StatusShow(window_);
        Draw();
    }
    void Hide(Handle& parentWindow) override {
        if (!Visible()) {
            // Closed by its close box: the owner comes back all the same.
            if (visible_) parentWindow = oldParent_;
            visible_ = false;
            return;
        }
        parentWindow = oldParent_;
        visible_ = false;
        if (window_) gui_->StatusHide(window_);
        Clear();
    }
    void SetCaption(const std::string& text) override {
        caption_ = text;
        Draw();
    }
    void SetMessage(const std::string& text) override {
        message_ = text;
        Draw();
    }
    void SetPercent(int percent) override {
        percent_ = percent;
        Draw();
    }

private:
    // The window's caption until the script sets one, as on Windows.
    const char* DesktopCaption() const { return caption_.empty() ? kDefaultCaption : caption_.c_str(); }

    void MakeDesktopWindow() {
        gui_ = GuiModule();
        window_ = gui_ ? gui_->StatusCreate() : nullptr;
        if (!window_) return;
        gui_->StatusSetCaption(window_, DesktopCaption());
        gui_->StatusSetMessage(window_, message_.c_str());
    }

    void Draw() {
        if (window_) {
            gui_->StatusSetCaption(window_, DesktopCaption());
            gui_->StatusSetMessage(window_, message_.c_str());
            gui_->StatusSetPercent(window_, percent_);
            return;
        }
        if (!visible_ || Unattended() || !isatty(STDERR_FILENO)) return;
        WriteToStdError(std::string("\r") + FormatStatusLine(caption_, message_, percent_, LineWidth()) +
                        "\033[K");
        drawn_ = true;
    }
    void Clear() {
        if (!drawn_) return;
        WriteToStdError(kClearLine);
        drawn_ = false;
    }

    Handle handle_;
    const TallowGuiTable* gui_ = nullptr;
    TallowGuiStatus* window_ = nullptr;  // the desktop's window, from the first show on a desktop
    Handle oldParent_ = nullptr;
    bool visible_ = false;
    bool drawn_ = false;  // a line stands on the terminal
    std::string caption_;
    std::string message_;
    int percent_ = 0;
};

}  // namespace

std::unique_ptr<StatusWindow> MakeStatusWindow(Handle*) {
    return std::make_unique<TerminalStatusWindow>();
}

}  // namespace tallow::platform
