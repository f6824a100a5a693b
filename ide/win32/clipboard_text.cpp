#include "ide/win32/clipboard_text.h"

#include <cstring>

namespace tallow::ide::win32 {

namespace {

// Another program may hold the clipboard for a moment; a few short waits
// keep a copy from failing for that.
constexpr int kOpenAttempts = 5;
constexpr DWORD kOpenRetryMs = 10;

class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) {
        for (int i = 0; i < kOpenAttempts && !open_; ++i) {
            if (i > 0) Sleep(kOpenRetryMs);
            open_ = OpenClipboard(owner) != FALSE;
        }
    }
    ~OpenedClipboard() {
        if (open_) CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    explicit operator bool() const { return open_; }

private:
    bool open_ = false;
};

// Global memory freed unless handed to the clipboard (Release).
class GlobalMemory {
public:
    explicit GlobalMemory(SIZE_T size) : memory_(GlobalAlloc(GMEM_MOVEABLE, size)) {}
    ~GlobalMemory() {
        if (memory_) GlobalFree(memory_);
    }
    GlobalMemory(const GlobalMemory&) = delete;
    GlobalMemory& operator=(const GlobalMemory&) = delete;
    HGLOBAL Get() const { return memory_; }
    void Release() { memory_ = nullptr; }

private:
    HGLOBAL memory_;
};

class LockedMemory {
public:
    explicit LockedMemory(HGLOBAL memory) : memory_(memory), bytes_(memory ? GlobalLock(memory) : nullptr) {}
    ~LockedMemory() {
        if (bytes_) GlobalUnlock(memory_);
    }
    LockedMemory(const LockedMemory&) = delete;
    LockedMemory& operator=(const LockedMemory&) = delete;
    char* Bytes() const { return static_cast<char*>(bytes_); }

private:
    HGLOBAL memory_;
    void* bytes_;
};

}  // namespace

bool SetClipboardTextA(HWND owner, const std::string& text) {
    return SetClipboardFormatText(owner, CF_TEXT, text);
}

bool SetClipboardFormatText(HWND owner, UINT format, const std::string& text) {
    if (format == 0) return false;
    GlobalMemory memory(text.size() + 1);
    if (!memory.Get()) return false;
    {
        LockedMemory locked(memory.Get());
        if (!locked.Bytes()) return false;
        std::memcpy(locked.Bytes(), text.c_str(), text.size() + 1);
    }
    OpenedClipboard clipboard(owner);
    if (!clipboard || !EmptyClipboard()) return false;
    if (!SetClipboardData(format, memory.Get())) return false;
    memory.Release();  // the clipboard owns it now
    return true;
}

bool GetClipboardTextA(HWND owner, std::string& text) {
    return GetClipboardFormatText(owner, CF_TEXT, text);
}

// The data need not end in a NUL: the copy stops at the block's size.
bool GetClipboardFormatText(HWND owner, UINT format, std::string& text) {
    if (format == 0 || !IsClipboardFormatAvailable(format)) return false;
    OpenedClipboard clipboard(owner);
    if (!clipboard) return false;
    HGLOBAL data = GetClipboardData(format);
    if (!data) return false;
    LockedMemory locked(data);
    if (!locked.Bytes()) return false;
    const char* bytes = locked.Bytes();
    text.assign(bytes, strnlen(bytes, GlobalSize(data)));
    return true;
}

}  // namespace tallow::ide::win32
