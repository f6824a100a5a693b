// Owners for the system handles the IDE's windows hold: each closes, deletes
// or releases its handle once, when it goes out of scope.
#pragma once

#include <windows.h>

#include <utility>

namespace tallow::ide::win32 {

// A handle with a function that frees it; None is the value meaning "no handle".
template <typename H, auto Free, H None = H{}>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H handle) : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, None)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.handle_, None));
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    H Get() const { return handle_; }
    explicit operator bool() const { return handle_ != None; }
    H Release() { return std::exchange(handle_, None); }
    void Reset(H handle = None) {
        if (handle_ != None) Free(handle_);
        handle_ = handle;
    }

private:
    H handle_ = None;
};

template <typename T>
void DeleteGdiObject(T object) {
    DeleteObject(object);
}
inline void DestroyWindowHandle(HWND window) {
    DestroyWindow(window);
}
inline void DestroyMenuHandle(HMENU menu) {
    DestroyMenu(menu);
}
inline void CloseKeyHandle(HKEY key) {
    RegCloseKey(key);
}
inline void FreeLibraryHandle(HMODULE module) {
    FreeLibrary(module);
}
inline void CloseFileHandle(HANDLE handle) {
    CloseHandle(handle);
}
inline void DeleteDcHandle(HDC dc) {
    DeleteDC(dc);
}

using UniqueFont = UniqueHandle<HFONT, DeleteGdiObject<HFONT>>;
using UniqueBrush = UniqueHandle<HBRUSH, DeleteGdiObject<HBRUSH>>;
using UniquePen = UniqueHandle<HPEN, DeleteGdiObject<HPEN>>;
using UniqueBitmap = UniqueHandle<HBITMAP, DeleteGdiObject<HBITMAP>>;
using UniqueWindow = UniqueHandle<HWND, DestroyWindowHandle>;
using UniqueMenu = UniqueHandle<HMENU, DestroyMenuHandle>;
using UniqueKey = UniqueHandle<HKEY, CloseKeyHandle>;
using UniqueModule = UniqueHandle<HMODULE, FreeLibraryHandle>;
using UniqueMemoryDc = UniqueHandle<HDC, DeleteDcHandle>;
// Null is "no handle": not for CreateFile's INVALID_HANDLE_VALUE.
using UniqueKernelHandle = UniqueHandle<HANDLE, CloseFileHandle>;

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
