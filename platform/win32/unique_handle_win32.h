// Owners for system handles: each frees its handle once, when it goes out
// of scope or takes another. The platform's Windows implementations and
// TallowEdit's windows (ide/win32/win_handles.h) hold their handles in these.
// The functions that free are wrapped: a system function's address is no
// constant where it is imported from a DLL.
#pragma once

#include <windows.h>

#include <utility>

namespace tallow::platform {

// A handle with the function that frees it; None is the value meaning "no
// handle".
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
    // For a call that hands back a new handle through a pointer: frees the
    // one held first.
    H* Out() {
        Reset();
        return &handle_;
    }

private:
    H handle_ = None;
};

// CreateFile gives INVALID_HANDLE_VALUE where other calls give null: neither
// is closed.
inline void CloseKernelHandle(HANDLE handle) {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
}
inline void CloseKeyHandle(HKEY key) {
    RegCloseKey(key);
}
inline void FreeLibraryHandle(HMODULE module) {
    FreeLibrary(module);
}
inline void FreeGlobalHandle(HGLOBAL block) {
    GlobalFree(block);
}
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
inline void DeleteDcHandle(HDC dc) {
    DeleteDC(dc);
}

// A kernel object (file, process, thread, token); Get() may be
// INVALID_HANDLE_VALUE after a failed CreateFile.
using UniqueKernelHandle = UniqueHandle<HANDLE, CloseKernelHandle>;
using UniqueKey = UniqueHandle<HKEY, CloseKeyHandle>;
using UniqueModule = UniqueHandle<HMODULE, FreeLibraryHandle>;
using UniqueGlobal = UniqueHandle<HGLOBAL, FreeGlobalHandle>;
using UniqueFont = UniqueHandle<HFONT, DeleteGdiObject<HFONT>>;
using UniqueBrush = UniqueHandle<HBRUSH, DeleteGdiObject<HBRUSH>>;
using UniquePen = UniqueHandle<HPEN, DeleteGdiObject<HPEN>>;
using UniqueBitmap = UniqueHandle<HBITMAP, DeleteGdiObject<HBITMAP>>;
using UniqueWindow = UniqueHandle<HWND, DestroyWindowHandle>;
using UniqueMenu = UniqueHandle<HMENU, DestroyMenuHandle>;
using UniqueMemoryDc = UniqueHandle<HDC, DeleteDcHandle>;

}  // namespace tallow::platform
