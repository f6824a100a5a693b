// The document controller's surroundings over Win32: boxes through
// ShowMessageBox, the open and save choosers (or the installed modal
// answers), files written beside their target and renamed over it, and
// string values in the current user's registry.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "ide/model/document_host.h"

namespace tallow::ide::win32 {

// The open (save false) or save chooser for the request, or the installed
// modal answer; nothing for Cancel.
std::optional<std::string> ChooseFile(HWND owner, const FileDialogRequest& request, bool save);

// Writes a string value under root\keyPath, creating the key; name nullptr is
// the key's default value. False when the key cannot be created or written.
bool SetRegistryString(HKEY root, const std::string& keyPath, const char* name, const std::string& value);

class Win32DocumentHost : public DocumentHost {
public:
    // The window that owns the boxes and carries the title; the title set
    // before there is one is applied when it is given.
    void SetOwner(HWND owner);
    HWND Owner() const { return owner_; }
    const std::string& CurrentTitle() const { return title_; }

    SaveAnswer AskSave(const std::string& text, bool withNo) override;
    void ShowWarning(const std::string& text) override;
    std::optional<std::string> ChooseOpenFile(const FileDialogRequest& request) override;
    std::optional<std::string> ChooseSaveFile(const FileDialogRequest& request) override;
    void SetTitle(const std::string& title) override;

    std::string FullPath(const std::string& path) override;
    bool FileExists(const std::string& path) override;
    bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes) override;
    bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) override;

    std::string ReadRegistryString(const std::string& key, const std::string& section,
                                   const std::string& name) override;
    void WriteRegistryString(const std::string& key, const std::string& section, const std::string& name,
                             const std::string& value) override;
    void EraseRegistrySection(const std::string& key, const std::string& section) override;

private:
    HWND owner_ = nullptr;
    std::string title_;
};

}  // namespace tallow::ide::win32
