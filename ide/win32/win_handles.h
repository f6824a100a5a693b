// Owners for the system handles the IDE's windows hold: each closes, deletes
// or releases its handle once, when it goes out of scope. The owners of
// single handles are the platform's; the device contexts and selections that
// pair two calls are the IDE's own.
#pragma once

#include <windows.h>

#include "platform/win32/unique_handle_win32.h"

namespace tallow::ide::win32 {

using platform::UniqueBitmap;
using platform::UniqueBrush;
using platform::UniqueFont;
using platform::UniqueHandle;
using platform::UniqueKernelHandle;
using platform::UniqueKey;
using platform::UniqueMemoryDc;
using platform::UniqueMenu;
using platform::UniqueModule;
using platform::UniquePen;
using platform::UniqueWindow;

// A device context got from a window (GetDC), released on scope exit.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint ... EndPaint.
class PaintDc {
public:
    explicit PaintDc(HWND window) : window_(window) { dc_ = BeginPaint(window, &ps_); }
    ~PaintDc() { EndPaint(window_, &ps_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC Get() const { return dc_; }
    const RECT& Area() const { return ps_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// Selects an object into a device context and puts the previous one back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(dc_, previous_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace tallow::ide::win32
