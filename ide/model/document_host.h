// What the document controller needs from its surroundings: prompts, the
// open and save dialogs, the registry section of the recent-file list and
// the file system. The GUI implements it over the system; tests fake it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tallow::ide {

enum class SaveAnswer { Yes, No, Cancel };

// An open or save dialog as the document asks for it.
struct FileDialogRequest {
    std::string title;
    std::string filter;            // "Description|*.ext|..." pairs
    std::string defaultExtension;  // without the dot
    std::string initialFolder;     // empty: the dialog's own choice
    std::string fileName;          // the name proposed in the dialog
    bool fileMustExist = false;
    bool promptOverwrite = false;
    bool hideReadOnly = true;
};

class DocumentHost {
public:
    virtual ~DocumentHost() = default;

    // A confirmation box with Yes, Cancel and (when withNo) No.
    virtual SaveAnswer AskSave(const std::string& text, bool withNo) = 0;
    // A warning box with an OK button.
    virtual void ShowWarning(const std::string& text) = 0;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<std::string> ChooseOpenFile(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> ChooseSaveFile(const FileDialogRequest& request) = 0;
    // The caption of the owning window and the application's title.
    virtual void SetTitle(const std::string& title) = 0;

    // ---- the file system
    // The path made absolute against the current folder.
    virtual std::string FullPath(const std::string& path) = 0;
    virtual bool FileExists(const std::string& path) = 0;
    // False when the file cannot be opened or read whole.
    virtual bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes) = 0;
    // False when the file cannot be written whole. An implementation writes
    // beside the file and replaces it, so a failure leaves the old file as
    // it was.
    virtual bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) = 0;

    // ---- the registry, strings in a section of a key under the current user
    // Empty when the key, the section or the value is missing.
    virtual std::string ReadRegistryString(const std::string& key, const std::string& section,
                                           const std::string& name) = 0;
    virtual void WriteRegistryString(const std::string& key, const std::string& section,
                                     const std::string& name, const std::string& value) = 0;
    virtual void EraseRegistrySection(const std::string& key, const std::string& section) = 0;
};

}  // namespace tallow::ide
