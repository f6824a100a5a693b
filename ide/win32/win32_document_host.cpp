// Win32DocumentHost: the document's boxes, choosers, files and registry values.
#include "ide/win32/win32_document_host.h"

#include <commdlg.h>

#include <algorithm>

#include "ide/model/recent_files.h"
#include "ide/win32/modal_answers.h"
#include "ide/win32/win_handles.h"
#include "support/system.h"

namespace tallow::ide::win32 {

namespace {

// Longer files are not code files; refusing them keeps a stray choice from
// taking all memory.
constexpr LONGLONG kMaxFileSize = 64LL * 1024 * 1024;
// The chooser's buffer: several folders deep with long names.
constexpr size_t kPathBufferSize = 4096;

// "A|*.a|B|*.b" as the chooser wants it: NUL-separated, two NULs at the end.
std::string ChooserFilter(const std::string& filter) {
    std::string out = filter;
    for (char& c : out)
        if (c == '|') c = '\0';
    out.append(2, '\0');
    return out;
}

UniqueKernelHandle OpenFileHandle(const std::string& path, DWORD access, DWORD disposition) {
    HANDLE file = CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    return UniqueKernelHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

std::string SectionKey(const std::string& key, const std::string& section) {
    return section.empty() ? key : key + "\\" + section;
}

}  // namespace

std::optional<std::string> ChooseFile(HWND owner, const FileDialogRequest& request, bool save) {
    if (ModalAnswers* answers = CurrentModalAnswers()) return answers->FileDialog(request, save);
    std::string filter = ChooserFilter(request.filter);
    std::string buffer = request.fileName;
    buffer.resize(kPathBufferSize, '\0');
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrInitialDir = request.initialFolder.empty() ? nullptr : request.initialFolder.c_str();
    ofn.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
    ofn.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (request.fileMustExist) ofn.Flags |= OFN_FILEMUSTEXIST;
    if (request.promptOverwrite) ofn.Flags |= OFN_OVERWRITEPROMPT;
    if (request.hideReadOnly) ofn.Flags |= OFN_HIDEREADONLY;
    BOOL chosen = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    if (!chosen) return std::nullopt;
    return std::string(buffer.c_str());
}

void Win32DocumentHost::SetOwner(HWND owner) {
    owner_ = owner;
    if (owner_) SetWindowTextA(owner_, title_.c_str());
}

// Without No the box offers OK and Cancel, OK standing for Yes: the system
// has no box with Yes and Cancel alone.
SaveAnswer Win32DocumentHost::AskSave(const std::string& text, bool withNo) {
    UINT flags = (withNo ? MB_YESNOCANCEL : MB_OKCANCEL) | MB_ICONQUESTION;
    switch (ShowMessageBox(owner_, text, title_, flags)) {
        case IDYES:
        case IDOK:
            return SaveAnswer::Yes;
        case IDNO:
            return SaveAnswer::No;
        default:
            return SaveAnswer::Cancel;
    }
}

void Win32DocumentHost::ShowWarning(const std::string& text) {
    ShowMessageBox(owner_, text, title_, MB_OK | MB_ICONWARNING);
}

std::optional<std::string> Win32DocumentHost::ChooseOpenFile(const FileDialogRequest& request) {
    return ChooseFile(owner_, request, false);
}

std::optional<std::string> Win32DocumentHost::ChooseSaveFile(const FileDialogRequest& request) {
    return ChooseFile(owner_, request, true);
}

void Win32DocumentHost::SetTitle(const std::string& title) {
    title_ = title;
    if (owner_) SetWindowTextA(owner_, title_.c_str());
}

std::string Win32DocumentHost::FullPath(const std::string& path) {
    std::string buffer(kPathBufferSize, '\0');
    DWORD length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0 || length >= buffer.size()) return path;
    buffer.resize(length);
    return buffer;
}

bool Win32DocumentHost::FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32DocumentHost::ReadFile(const std::string& path, std::vector<uint8_t>& bytes) {
    UniqueKernelHandle file = OpenFileHandle(path, GENERIC_READ, OPEN_EXISTING);
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart > kMaxFileSize) return false;
    bytes.assign(static_cast<size_t>(size.QuadPart), 0);
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        if (!::ReadFile(file.Get(), bytes.data() + done, chunk, &got, nullptr) || got == 0) return false;
        done += got;
    }
    return true;
}

// The file is replaced whole: a full disk leaves the old one as it was, and
// it keeps its attributes and access rights.
bool Win32DocumentHost::WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    return support::ReplaceFileContents(path, {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
}

std::string Win32DocumentHost::ReadRegistryString(const std::string& key, const std::string& section,
                                                  const std::string& name) {
    HKEY raw = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SectionKey(key, section).c_str(), 0, KEY_READ, &raw) !=
        ERROR_SUCCESS)
        return {};
    UniqueKey opened(raw);
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(opened.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ || size == 0)
        return {};
    std::string value(size, '\0');
    if (RegQueryValueExA(opened.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                         &size) != ERROR_SUCCESS)
        return {};
    value.resize(std::min<size_t>(size, value.size()));
    // The stored size may or may not count the terminating NUL.
    value.resize(std::string(value.c_str()).size());
    return value;
}

bool SetRegistryString(HKEY root, const std::string& keyPath, const char* name, const std::string& value) {
    HKEY raw = nullptr;
    if (RegCreateKeyExA(root, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &raw, nullptr) !=
        ERROR_SUCCESS)
        return false;
    UniqueKey opened(raw);
    return RegSetValueExA(opened.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

void Win32DocumentHost::WriteRegistryString(const std::string& key, const std::string& section,
                                            const std::string& name, const std::string& value) {
    SetRegistryString(HKEY_CURRENT_USER, SectionKey(key, section), name.c_str(), value);
}

void Win32DocumentHost::EraseRegistrySection(const std::string& key, const std::string& section) {
    if (section.empty()) return;
    RegDeleteKeyA(HKEY_CURRENT_USER, SectionKey(key, section).c_str());
}

}  // namespace tallow::ide::win32
