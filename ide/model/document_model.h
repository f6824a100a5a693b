// The document controller without a window: the current file, its modified
// mark, the prompts before changes are lost, the open and save dialogs, the
// window title and the recent-file list. It does not know the contents: the
// owner loads, saves and clears them through DocumentEvents.
#pragma once

#include <optional>
#include <string>

#include "ide/model/document_host.h"
#include "ide/model/recent_files.h"

namespace tallow::ide {

enum class SaveAction { PromptToSave, AlwaysSave, NeverSave };

// What the document tells its owner. Every member has a do-nothing default.
class DocumentEvents {
public:
    virtual ~DocumentEvents() = default;
    // Resets the contents to a new document.
    virtual void OnClear() {}
    // Load or save the contents; any exception means the file could not be
    // used (its text is not shown).
    virtual void OnRead(const std::string& /*path*/) {}
    virtual void OnWrite(const std::string& /*path*/) {}
    // Whether the contents hold changes the document was not told of;
    // nothing when the owner does not answer.
    virtual std::optional<bool> OnGetModified() { return std::nullopt; }
    virtual void OnChangeModified() {}
    // The recent-file list changed: rebuild its menu items.
    virtual void OnRecentFilesChanged() {}
};

class DocumentModel {
public:
    explicit DocumentModel(DocumentHost& host, DocumentEvents* events = nullptr);

    // ---- properties
    bool autoShowModified = false;
    bool addToTitle = true;
    SaveAction saveAction = SaveAction::PromptToSave;
    std::string description;
    std::string extension;  // without the dot
    RecentFiles recent;

    const std::string& ProgramName() const { return programName_; }
    const std::string& UntitledFileName() const { return untitledFileName_; }
    // Each updates the title when the value changes.
    void SetProgramName(const std::string& name);
    void SetUntitledFileName(const std::string& name);

    // What the owner does once its window exists: load the recent files and
    // clear the modified mark.
    void Setup();

    // ---- operations; each returns whether it succeeded
    bool New();
    bool Open();
    bool OpenFile(const std::string& path);
    bool Save();
    bool SaveAs();
    bool CloseQuery();
    // Asks to save unsaved changes; with force an untitled document is
    // always offered for saving (Yes and Cancel only).
    bool QuerySave(bool force);
    bool Read(const std::string& path);
    bool Write(const std::string& path);
    void Clear();
    void SetModified(bool flag);

    const std::string& FileName() const { return fileName_; }
    bool Modified() const { return modified_; }
    bool Untitled() const { return fileName_.empty(); }
    std::string Title() const;

    // The open and save dialogs as they are asked for (for the GUI's tests).
    FileDialogRequest OpenRequest() const;
    FileDialogRequest SaveAsRequest() const;

private:
    void UpdateTitle();
    void RecentChanged() { events_->OnRecentFilesChanged(); }

    DocumentHost& host_;
    DocumentEvents* events_;
    DocumentEvents noEvents_;
    std::string programName_;
    std::string untitledFileName_;
    std::string fileName_;
    bool modified_ = false;
};

}  // namespace tallow::ide
