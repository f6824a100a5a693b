// The shared helpers of the window tests: host window, pumping, fake modal
// answers and screenshots.
#include "gui_test.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "ide/win32/win_handles.h"

namespace tallow::ide::win32::test {

namespace {

constexpr char kHostClass[] = "TallowTestHost";
constexpr DWORD kHostStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
// How long a raised and redrawn window is given to reach the X server's
// screen before it is copied from there.
constexpr DWORD kScreenSettleMs = 50;

// Draws the visible children of parent, bottom of the z-order first, each
// through PrintWindow at its place in the image and clipped to its parent:
// Wine's PrintWindow draws the window alone, without its children. origin is
// the screen position of the image's top left; clip is in image pixels.
void PrintChildren(HWND parent, HDC dc, POINT origin, RECT clip) {
    HWND child = GetWindow(parent, GW_CHILD);
    if (!child) return;
    RECT client;
    GetClientRect(parent, &client);
    MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&client), 2);
    OffsetRect(&client, -origin.x, -origin.y);
    IntersectRect(&clip, &clip, &client);
    for (HWND last = GetWindow(child, GW_HWNDLAST); last; last = GetWindow(last, GW_HWNDPREV)) {
        if (!IsWindowVisible(last)) continue;
        RECT place;
        GetWindowRect(last, &place);
        OffsetRect(&place, -origin.x, -origin.y);
        RECT visible;
        if (!IntersectRect(&visible, &place, &clip)) continue;
        const int saved = SaveDC(dc);
        UniqueHandle<HRGN, platform::DeleteGdiObject<HRGN>> region(CreateRectRgnIndirect(&visible));
        SelectClipRgn(dc, region.Get());
        SetViewportOrgEx(dc, place.left, place.top, nullptr);
        PrintWindow(last, dc, 0);
        RestoreDC(dc, saved);
        PrintChildren(last, dc, origin, visible);
    }
}

}  // namespace

HostWindow::HostWindow(int clientWidth, int clientHeight, bool shown, const char* caption) {
    RegisterClass(kHostClass, CS_HREDRAW | CS_VREDRAW, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, kHostStyle, FALSE, 0);
    Create(kHostClass, caption, kHostStyle, 0, 20, 20, frame.right - frame.left, frame.bottom - frame.top,
           nullptr, nullptr);
    if (shown) {
        ShowWindow(Handle(), SW_SHOWNORMAL);
        UpdateWindow(Handle());
        PumpPending();
    }
}

LRESULT HostWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

void PumpPending() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        PumpPending();
        if (done()) return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        // Wakes for any new message, and at least every 50 ms for conditions
        // that change without one (another thread, a file).
        const DWORD wait = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 50));
        MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
    }
}

void PumpFor(DWORD milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
}

// ---- FakeModalAnswers ---------------------------------------------------------

FakeModalAnswers::FakeModalAnswers() : previous_(CurrentModalAnswers()) {
    SetModalAnswers(this);
}

FakeModalAnswers::~FakeModalAnswers() {
    SetModalAnswers(previous_);
}

int NeutralBoxAnswer(UINT flags) {
    switch (flags & MB_TYPEMASK) {
        case MB_OKCANCEL:
        case MB_YESNOCANCEL:
        case MB_RETRYCANCEL:
        case MB_CANCELTRYCONTINUE:
            return IDCANCEL;
        case MB_YESNO:
            return IDYES;
        case MB_ABORTRETRYIGNORE:
            return IDABORT;
        default:
            return IDOK;
    }
}

int FakeModalAnswers::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
    boxes.push_back({text, caption, flags});
    if (boxAnswers.empty()) return NeutralBoxAnswer(flags);
    const int answer = boxAnswers.front();
    boxAnswers.pop_front();
    return answer;
}

std::optional<std::string> FakeModalAnswers::FileDialog(const FileDialogRequest& request, bool save) {
    fileRequests.push_back(request);
    fileRequestsSave.push_back(save);
    if (fileAnswers.empty()) return std::nullopt;
    auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

std::optional<std::string> FakeModalAnswers::NameDialog(const std::string& current) {
    nameRequests.push_back(current);
    if (nameAnswers.empty()) return std::nullopt;
    auto answer = nameAnswers.front();
    nameAnswers.pop_front();
    return answer;
}

// ---- Screenshots ----------------------------------------------------------------

std::optional<std::string> ScreenshotFolder() {
    const char* folder = std::getenv("TALLOW_SCREENSHOT_DIR");
    if (!folder || !*folder) return std::nullopt;
    return std::string(folder);
}

std::vector<unsigned char> CaptureWindowBmp(HWND window, CaptureSource source) {
    RECT frame;
    if (!IsWindow(window) || !GetWindowRect(window, &frame)) return {};
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    if (width <= 0 || height <= 0) return {};

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up rows, as a BMP file stores them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    info.bmiHeader.biSizeImage = imageSize;

    WindowDc screen(nullptr);
    UniqueMemoryDc memory(CreateCompatibleDC(screen.Get()));
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !bitmap || !bits) return {};
    {
        SelectedObject selected(memory.Get(), bitmap.Get());
        // On the screen, nothing of another window may cover it.
        if (source == CaptureSource::Screen) BringWindowToTop(GetAncestor(window, GA_ROOT));
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        if (source == CaptureSource::Screen) {
            PumpFor(kScreenSettleMs);
            if (!BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), frame.left, frame.top, SRCCOPY))
                return {};
        } else {
            if (!PrintWindow(window, memory.Get(), 0)) return {};
            PrintChildren(window, memory.Get(), {frame.left, frame.top}, {0, 0, width, height});
        }
        GdiFlush();
    }

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + imageSize;
    std::vector<unsigned char> bmp(file.bfSize);
    std::memcpy(bmp.data(), &file, sizeof file);
    std::memcpy(bmp.data() + sizeof file, &info.bmiHeader, sizeof info.bmiHeader);
    std::memcpy(bmp.data() + file.bfOffBits, bits, imageSize);
    return bmp;
}

std::optional<std::string> SaveScreenshot(HWND window, const std::string& name) {
    auto folder = ScreenshotFolder();
    if (!folder) return std::nullopt;
    const bool shown = IsWindowVisible(window) && !IsIconic(window);
    const auto bmp = CaptureWindowBmp(window, shown ? CaptureSource::Screen : CaptureSource::Print);
    if (bmp.empty()) return std::nullopt;
    CreateDirectoryA(folder->c_str(), nullptr);
    const std::string path = *folder + "\\" + name + ".bmp";
    std::unique_ptr<FILE, int (*)(FILE*)> out(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!out) return std::nullopt;
    if (std::fwrite(bmp.data(), 1, bmp.size(), out.get()) != bmp.size()) return std::nullopt;
    if (std::fclose(out.release()) != 0) return std::nullopt;
    return path;
}

}  // namespace tallow::ide::win32::test
