// The Windows clipboard: movable shared global memory blocks handed over to
// it, and copies read back out of its blocks.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "platform/clipboard.h"
#include "platform/win32/unique_handle_win32.h"

namespace tallow::platform {

namespace {

// The clipboard open for as long as it lives.
class OpenClipboardScope {
public:
    OpenClipboardScope() : open_(OpenClipboard(nullptr) != FALSE) {}
    ~OpenClipboardScope() {
        if (open_) CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    bool IsOpen() const { return open_; }

private:
    bool open_;
};

// A global memory block locked for as long as it lives; Bytes() is null
// when it cannot be locked.
class LockedBlock {
public:
    explicit LockedBlock(HGLOBAL block) : block_(block), bytes_(GlobalLock(block)) {}
    ~LockedBlock() {
        if (bytes_) GlobalUnlock(block_);
    }
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;
    void* Bytes() const { return bytes_; }

private:
    HGLOBAL block_;
    void* bytes_;
};

}  // namespace

ClipboardStatus PutClipboardData(unsigned format, std::span<const uint8_t> bytes) {
    OpenClipboardScope clipboard;
    if (!clipboard.IsOpen()) return ClipboardStatus::kCannotOpen;
    // A block of no bytes is still a block the clipboard can own.
    UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes.empty() ? 1 : bytes.size()));
    if (!block.Get()) return ClipboardStatus::kOk;
    {
        LockedBlock locked(block.Get());
        if (!locked.Bytes()) return ClipboardStatus::kOk;
        if (!bytes.empty()) std::memcpy(locked.Bytes(), bytes.data(), bytes.size());
    }
    // The clipboard owns the block from here on, unless it refused it.
    if (SetClipboardData(format, block.Get())) block.Release();
    return ClipboardStatus::kOk;
}

ClipboardStatus GetClipboardData(unsigned format, size_t maxBytes, std::vector<uint8_t>& out) {
    out.clear();
    OpenClipboardScope clipboard;
    if (!clipboard.IsOpen()) return ClipboardStatus::kCannotOpen;
    HANDLE data = ::GetClipboardData(format);
    if (!data) return ClipboardStatus::kNoData;
    LockedBlock locked(data);
    if (!locked.Bytes()) return ClipboardStatus::kNoData;
    out.resize(std::min(size_t(GlobalSize(data)), maxBytes));
    if (!out.empty()) std::memcpy(out.data(), locked.Bytes(), out.size());
    return ClipboardStatus::kOk;
}

ClipboardStatus ClipboardHasFormat(unsigned format, bool& available) {
    available = IsClipboardFormatAvailable(format) != FALSE;
    return ClipboardStatus::kOk;
}

ClipboardStatus RegisterClipboardFormatName(const std::string& name, unsigned& format) {
    format = RegisterClipboardFormatA(name.c_str());
    return ClipboardStatus::kOk;
}

}  // namespace tallow::platform
