// The document controller: title, prompts, open, save and the recent files.
#include "ide/model/document_model.h"

#include "ide/model/ide_messages.h"

namespace tallow::ide {

DocumentModel::DocumentModel(DocumentHost& host, DocumentEvents* events)
    : host_(host), events_(events ? events : &noEvents_) {}

void DocumentModel::SetProgramName(const std::string& name) {
    if (name == programName_) return;
    programName_ = name;
    UpdateTitle();
}

void DocumentModel::SetUntitledFileName(const std::string& name) {
    if (name == untitledFileName_) return;
    untitledFileName_ = name;
    UpdateTitle();
}

void DocumentModel::Setup() {
    recent.Load(host_);
    RecentChanged();
    SetModified(false);
}

std::string DocumentModel::Title() const {
    std::string name;
    if (addToTitle) name = Untitled() ? untitledFileName_ : FileNameOf(fileName_);
    std::string title;
    if (!name.empty() && !programName_.empty())
        title = name + " - " + programName_;
    else
        title = name.empty() ? programName_ : name;
    if (autoShowModified && modified_) title = "*" + title;
    return title;
}

void DocumentModel::UpdateTitle() {
    host_.SetTitle(Title());
}

void DocumentModel::SetModified(bool flag) {
    if (flag == modified_) return;
    modified_ = flag;
    UpdateTitle();
    events_->OnChangeModified();
}

void DocumentModel::Clear() {
    events_->OnClear();
    fileName_.clear();
    SetModified(false);
    UpdateTitle();
}

bool DocumentModel::QuerySave(bool force) {
    switch (saveAction) {
        case SaveAction::NeverSave:
            return true;
        case SaveAction::AlwaysSave:
            // A save that fails keeps the changes: the caller must not go on
            // and discard them.
            if (!Untitled() && !Save()) return false;
            break;
        case SaveAction::PromptToSave: {
            if (!modified_) {
                if (std::optional<bool> answer = events_->OnGetModified()) SetModified(*answer);
            }
            bool untitledForced = Untitled() && force;
            if (modified_ || untitledForced) {
                std::string name = Untitled() ? untitledFileName_ : fileName_;
                std::string text = msg::kSaveChangesBefore + name + msg::kSaveChangesAfter;
                SaveAnswer answer = host_.AskSave(text, !untitledForced);
                if (answer == SaveAnswer::Cancel) return false;
                if (answer == SaveAnswer::Yes && !Save()) return false;
            }
            break;
        }
    }
    recent.Save(host_);
    return true;
}

bool DocumentModel::CloseQuery() {
    bool result = QuerySave(false);
    recent.Save(host_);
    return result;
}

bool DocumentModel::New() {
    if (!CloseQuery()) return false;
    Clear();
    return true;
}

FileDialogRequest DocumentModel::OpenRequest() const {
    FileDialogRequest request;
    request.title = msg::kOpenTitle;
    request.filter = description + " (*." + extension + ")|*." + extension + "|All Files (*.*)|*.*";
    request.defaultExtension = extension;
    request.initialFolder = FolderOf(fileName_);
    request.fileName = FileNameOf(fileName_);
    request.fileMustExist = true;
    return request;
}

FileDialogRequest DocumentModel::SaveAsRequest() const {
    FileDialogRequest request;
    request.title = msg::kSaveAsTitle;
    request.filter = description + " (*." + extension + ")|*." + extension;
    request.defaultExtension = extension;
    const std::string& proposed = Untitled() ? untitledFileName_ : fileName_;
    request.initialFolder = FolderOf(proposed);
    request.fileName = FileNameOf(proposed);
    request.promptOverwrite = true;
    return request;
}

bool DocumentModel::Open() {
    std::optional<std::string> path = host_.ChooseOpenFile(OpenRequest());
    return path && OpenFile(*path);
}

bool DocumentModel::OpenFile(const std::string& path) {
    std::string fullPath = host_.FullPath(path);
    if (!Untitled() && EqualNoCase(fullPath, fileName_)) return true;
    if (!New()) return false;
    // A file that cannot be read leaves an empty untitled document, and is
    // not reported as opened.
    if (!Read(fullPath)) return false;
    SetModified(false);
    recent.Add(host_, fileName_);
    RecentChanged();
    return true;
}

bool DocumentModel::Save() {
    if (Untitled()) return SaveAs();
    // A failed write keeps the modified mark, so that no later prompt takes
    // the document for saved.
    if (!Write(fileName_)) return false;
    SetModified(false);
    return true;
}

bool DocumentModel::SaveAs() {
    std::optional<std::string> path = host_.ChooseSaveFile(SaveAsRequest());
    if (!path || !Write(*path)) return false;
    recent.Add(host_, *path);
    RecentChanged();
    SetModified(false);
    return true;
}

bool DocumentModel::Read(const std::string& path) {
    fileName_ = path;
    try {
        events_->OnRead(path);
    } catch (...) {
        host_.ShowWarning(msg::kCannotReadBefore + path + msg::kQuoteAfter);
        fileName_.clear();
        Clear();
        recent.Load(host_);
        RecentChanged();
        return false;
    }
    UpdateTitle();
    return true;
}

bool DocumentModel::Write(const std::string& path) {
    std::string previous = fileName_;
    fileName_ = path;
    try {
        events_->OnWrite(path);
    } catch (...) {
        host_.ShowWarning(msg::kCannotWriteBefore + path + msg::kQuoteAfter);
        // The document stays what it was: its name, and so the next Save,
        // still refer to the file its contents came from.
        fileName_ = previous;
        return false;
    }
    UpdateTitle();
    return true;
}

}  // namespace tallow::ide
