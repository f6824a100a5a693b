// The desktop on Windows: the common file dialogs, the shell's folder
// browser, window enumeration, keybd_event, SystemParametersInfo, PlaySound
// and ExitWindowsEx.
#include <windows.h>
// After windows.h, which the others need.
#include <commdlg.h>
#include <mmsystem.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>

#include "platform/confinement.h"
#include "platform/desktop.h"
#include "platform/win32/unique_handle_win32.h"

namespace tallow::platform {

namespace {

// The file dialogs' file-name buffer, which also brings the chosen path back.
constexpr size_t kFileNameBuffer = 256;
// Window titles are compared from their first 1023 characters.
constexpr int kTitleBuffer = 1024;
// With SND_MEMORY alone PlaySound would read the name's bytes as a sound
// image of any length, past the end of the text.
bool NamesMemory(unsigned flags) {
    return (flags & SND_RESOURCE) == SND_MEMORY;
}

// A window handle that still names a window, else none: a stale owner
// would make the dialog fail.
HWND OwnerWindow(Handle owner) {
    HWND window = static_cast<HWND>(owner);
    return window && IsWindow(window) ? window : nullptr;
}

// Dispatches the thread's pending window messages. A quit message is posted
// again for the loop it belongs to, and ends the dispatching.
void DispatchPending() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(int(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

struct WindowSearch {
    std::string_view titleStart;
    HWND found = nullptr;
};

// The enumeration callback: nothing in it can throw.
BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    int wanted = int(search->titleStart.size());
    char title[kTitleBuffer];
    int length = GetWindowTextA(window, title, kTitleBuffer);
    if (length < wanted) return TRUE;
    bool same = wanted == 0 || CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, title, wanted,
                                              search->titleStart.data(), wanted) == CSTR_EQUAL;
    if (!same) return TRUE;
    search->found = window;
    return FALSE;
}

// COM on this thread for as long as it lives, where it was not on already.
class ComScope {
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result_;
};

// A shell item list, freed with the task allocator.
void FreeItemList(LPITEMIDLIST items) {
    CoTaskMemFree(items);
}
using ItemList = UniqueHandle<LPITEMIDLIST, FreeItemList>;

// The root folder as the desktop folder parses it, or null (the desktop)
// when it is empty, too long or unknown.
LPITEMIDLIST ParseRoot(HWND owner, const std::string& root) {
    if (root.empty()) return nullptr;
    wchar_t wide[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, root.c_str(), -1, wide, MAX_PATH)) return nullptr;
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop)) || !desktop) return nullptr;
    LPITEMIDLIST item = nullptr;
    HRESULT result = desktop->ParseDisplayName(owner, nullptr, wide, nullptr, &item, nullptr);
    desktop->Release();
    return SUCCEEDED(result) ? item : nullptr;
}

// Drops one trailing backslash, but not the second byte of a double-byte
// character that happens to have the backslash's value.
void DropTrailingBackslash(std::string& path) {
    if (path.empty()) return;
    const char* end = path.c_str() + path.size();
    const char* last = CharPrevA(path.c_str(), end);
    if (last == end - 1 && *last == '\\') path.pop_back();
}

// Shutting down needs the shutdown privilege, which users hold but which
// starts disabled: ExitWindowsEx fails without it.
void EnableShutdownPrivilege() {
    UniqueKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Out())) return;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    if (!LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) return;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr);
}

}  // namespace

bool KeyForChar(char c, CharKey& key) {
    SHORT code = VkKeyScanA(c);
    if (code == -1 || LOBYTE(code) == 0xFF) return false;
    key.virtualKey = LOBYTE(code);
    key.modifiers = HIBYTE(code) & (kModShift | kModCtrl | kModAlt);
    return true;
}

void SendKeyStrokes(std::span<const KeyStroke> strokes) {
    if (Confined()) return;
    DispatchPending();
    Sleep(0);
    for (const KeyStroke& stroke : strokes)
        keybd_event(stroke.virtualKey, 0, stroke.down ? 0 : KEYEVENTF_KEYUP, 0);
}

bool BringWindowForward(std::string_view titleStart) {
    if (Confined()) return false;
    WindowSearch search{titleStart};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return false;
    SetForegroundWindow(search.found);
    return true;
}

std::string ChooseFile(const FileChooserRequest& request) {
    if (Confined()) return std::string();
    char file[kFileNameBuffer] = {};
    std::memcpy(file, request.initialFile.data(), std::min(request.initialFile.size(), kFileNameBuffer - 1));
    // The list is read pair by pair up to an empty text: end it whatever it holds.
    std::string filters = request.filters;
    if (!filters.empty()) filters.append(2, '\0');
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = OwnerWindow(request.owner);
    dialog.lpstrFilter = filters.empty() ? nullptr : filters.c_str();
    dialog.lpstrFile = file;
    dialog.nMaxFile = kFileNameBuffer;
    dialog.lpstrTitle = request.title.c_str();
    BOOL chosen;
    if (request.save) {
        dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOTESTFILECREATE;
        chosen = GetSaveFileNameA(&dialog);
    } else {
        dialog.Flags = OFN_FILEMUSTEXIST;
        chosen = GetOpenFileNameA(&dialog);
    }
    if (chosen) return std::string(file, strnlen(file, kFileNameBuffer));
    // Not cancelled but failed (no desktop to show it on, say): say so.
    if (CommDlgExtendedError() != 0) ReportChooserCancelled(request.title, kFileChooserName);
    return std::string();
}

std::string ChooseFolder(Handle owner, const std::string& root, const std::string& title) {
    if (Confined()) return std::string();
    ComScope com;
    HWND ownerWindow = OwnerWindow(owner);
    ItemList rootItem(ParseRoot(ownerWindow, root));
    char displayName[MAX_PATH] = {};
    BROWSEINFOA browse{};
    browse.hwndOwner = ownerWindow;
    browse.pidlRoot = rootItem.Get();
    browse.pszDisplayName = displayName;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    ItemList chosen(SHBrowseForFolderA(&browse));
    if (!chosen.Get()) return std::string();
    char path[MAX_PATH] = {};
    if (!SHGetPathFromIDListA(chosen.Get(), path)) return std::string();
    std::string result(path, strnlen(path, MAX_PATH));
    DropTrailingBackslash(result);
    return result;
}

bool SetWallpaper(const std::string& file) {
    if (Confined()) return false;
    // An empty name removes the wallpaper; any other must be an existing file.
    if (!file.empty()) {
        DWORD attributes = GetFileAttributesA(file.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    }
    std::string name = file;  // the call takes a pointer to writable text
    return SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, name.data(),
                                 SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE) != 0;
}

void PlaySoundNamed(const std::string& name, unsigned flags) {
    if (Confined() || NamesMemory(flags)) return;
    PlaySoundA(name.c_str(), nullptr, flags);
}

bool EndSession(unsigned flags) {
    if (Confined()) return false;
    SessionEndRequest request{flags, {}};
    if (SessionEnder ender = CurrentSessionEnder()) return ender(request);
    if (flags & (EWX_SHUTDOWN | EWX_REBOOT | EWX_POWEROFF)) EnableShutdownPrivilege();
    return ExitWindowsEx(flags, 0) != 0;
}

}  // namespace tallow::platform
