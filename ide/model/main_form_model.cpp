// The main window's document: dialogs, tabs, status texts, and the contents
// read from and written to code files.
#include "ide/model/main_form_model.h"

#include <ctime>
#include <stdexcept>

#include "codec/code_file.h"
#include "ide/model/control_tool.h"
#include "ide/model/ide_messages.h"
#include "ide/model/main_form_rules.h"
#include "ide/model/tool_factory.h"

namespace tallow::ide {

namespace {

constexpr const char* kNewDocumentCode = "Dialog.Execute()";
constexpr const char* kDescription = "Tallow Files";
constexpr const char* kExtension = "cod";

CreationDate LocalToday() {
    std::time_t now = std::time(nullptr);
    std::tm local = *std::localtime(&now);
    return {static_cast<int16_t>(local.tm_year + 1900), static_cast<int16_t>(local.tm_mon + 1),
            static_cast<int16_t>(local.tm_mday)};
}

const char* ReadErrorMessage(codec::CodeFileError error) {
    return error == codec::CodeFileError::InvalidType ? msg::kInvalidFileType : msg::kErrorLoadingDialog;
}

}  // namespace

MainFormModel::MainFormModel(DocumentHost& host, ProgrammerWatcher* clipboard)
    : today(LocalToday),
      host_(host),
      doc_(host, this),
      editorEvents_(*this, clipboard),
      editor_(&editorEvents_) {
    doc_.recent.max = kDefaultRecentMax;
    doc_.recent.registryKey = kSettingsKey;
    doc_.description = kDescription;
    doc_.extension = kExtension;
    doc_.SetProgramName(kProgramName);
    doc_.SetUntitledFileName(kUntitledFileName);
    editor_.tabSpaces = 2;
    editor_.remText = "'";
    editor_.breakCharsLeft = " .(,\"$#@\\";
    editor_.breakCharsRight = ")\"";
    dialogs_.push_back({kFirstDialogName, NewDialogFrame(), false});
    editor_.SetText(kNewDocumentCode);
    editor_.ForgetUndo();
    editor_.SetModified(false);
    RefreshPosition();
}

// ---- tabs

std::vector<std::string> MainFormModel::TabCaptions() const {
    std::vector<std::string> captions{kCodeTabCaption};
    for (const DialogPage& page : dialogs_)
        captions.push_back(page.name);
    return captions;
}

void MainFormModel::SelectTab(int index) {
    if (index < 0 || index > static_cast<int>(dialogs_.size())) return;
    activeTab_ = index;
    RefreshPosition();
}

void MainFormModel::SelectNextTab() {
    SelectTab(activeTab_ >= static_cast<int>(dialogs_.size()) ? 0 : activeTab_ + 1);
}

size_t MainFormModel::CurrentDialog() const {
    return activeTab_ >= 1 ? activeTab_ - 1 : 0;
}

void MainFormModel::RefreshPosition() {
    positionText_ = activeTab_ == 0 ? PositionStatus(editor_.CursorLine(), editor_.CursorCol()) : "";
}

// ---- dialogs

std::vector<std::string> MainFormModel::DialogNames() const {
    std::vector<std::string> names;
    for (const DialogPage& page : dialogs_)
        names.push_back(page.name);
    return names;
}

// The frame covers the middle quarter of the surface, made as the designer
// makes it, so that its template is the one the designer would write.
codec::DialogTemplate MainFormModel::NewDialogFrame() const {
    int w = surfaceWidth / 4, h = surfaceHeight / 4;
    ToolSurface surface;
    auto& frame = static_cast<TDialogTool&>(CreateTool(surface, ToolCode::Dialog));
    frame.SetRect({w, h, 3 * w, 3 * h});
    frame.caption = kFirstDialogName;
    return BuildTemplate(surface, metrics, kFirstDialogName);
}

void MainFormModel::SetDialogTemplate(size_t index, codec::DialogTemplate dialog) {
    if (index >= dialogs_.size()) return;
    dialogs_[index].dialog = std::move(dialog);
    dialogs_[index].modified = true;
    MarkDocumentModified();
}

void MainFormModel::AddDialog() {
    dialogs_.push_back({NextDialogName(DialogNames()), NewDialogFrame(), false});
    SelectTab(static_cast<int>(dialogs_.size()));
    MarkDocumentModified();
}

RenameResult MainFormModel::RenameDialog(size_t index, const std::string& name) {
    if (index >= dialogs_.size()) return RenameResult::Invalid;
    if (IsReservedName(name, DialogNames())) return RenameResult::Reserved;
    if (!IsValidComponentName(name)) return RenameResult::Invalid;
    dialogs_[index].name = name;
    MarkDocumentModified();
    return RenameResult::Renamed;
}

bool MainFormModel::DeleteDialog(size_t index) {
    if (index == 0 || index >= dialogs_.size()) return false;
    dialogs_.erase(dialogs_.begin() + static_cast<std::ptrdiff_t>(index));
    int tab = static_cast<int>(index) + 1;
    SelectTab(std::min(tab, static_cast<int>(dialogs_.size())));
    MarkDocumentModified();
    return true;
}

// ---- document events

void MainFormModel::OnClear() {
    dialogs_.resize(1);
    dialogs_[0] = {kFirstDialogName, NewDialogFrame(), false};
    MarkDocumentModified();  // the new frame; the document clears the mark after this
    editor_.Clear();
    created_ = {};
    editor_.SetText(kNewDocumentCode);
    editor_.ForgetUndo();
    editor_.SetModified(false);
    SelectTab(0);
}

void MainFormModel::OnRead(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (!host_.ReadFile(path, bytes)) throw std::runtime_error(msg::kCannotOpenFile);
    DecodeCodeFile(bytes);
}

void MainFormModel::OnWrite(const std::string& path) {
    // The date is taken for good only once the file is written.
    CreationDate saved = created_;
    if (!created_.IsSet()) created_ = today();
    std::vector<uint8_t> bytes = EncodeCodeFile();
    if (!host_.WriteFile(path, bytes)) {
        created_ = saved;
        throw std::runtime_error(msg::kCannotWriteFile);
    }
    editor_.SetModified(false);
    for (DialogPage& page : dialogs_)
        page.modified = false;
}

void MainFormModel::OnChangeModified() {
    modifiedText_ = ModifiedStatus(doc_.Modified());
}

std::vector<uint8_t> MainFormModel::EncodeCodeFile() const {
    codec::CodeFile file;
    file.version = 1;
    file.year = created_.year;
    file.month = created_.month;
    file.day = created_.day;
    for (const DialogPage& page : dialogs_) {
        codec::CodeFileDialog record;
        record.name = page.name;
        record.templateBytes = codec::WriteDialogTemplate(page.dialog);
        file.dialogs.push_back(std::move(record));
    }
    const std::vector<std::string>& lines = editor_.Lines();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) file.code += "\r\n";
        file.code += lines[i];
    }
    file.code += '\0';
    return codec::WriteCodeFile(file);
}

void MainFormModel::DecodeCodeFile(const std::vector<uint8_t>& bytes) {
    codec::CodeFile file;
    codec::CodeFileError error = codec::ReadCodeFile(bytes, file);
    if (error != codec::CodeFileError::None) throw std::runtime_error(ReadErrorMessage(error));
    // Everything is checked before anything changes: a file that cannot be
    // used leaves the document as it was.
    std::vector<DialogPage> pages;
    for (const codec::CodeFileDialog& record : file.dialogs) {
        DialogPage page;
        // A version-0 dialog has no name of its own and fills the first page.
        page.name = file.version == 0 ? dialogs_[0].name : record.name;
        if (file.version != 0 && (!IsValidComponentName(page.name) || IsReservedName(page.name, {})))
            throw std::runtime_error(msg::kErrorLoadingDialog);
        for (const DialogPage& earlier : pages)
            if (EqualNoCase(earlier.name, page.name)) throw std::runtime_error(msg::kErrorLoadingDialog);
        if (!codec::ReadDialogTemplate(record.templateBytes, page.dialog))
            throw std::runtime_error(msg::kErrorLoadingDialog);
        pages.push_back(std::move(page));
    }
    if (pages.empty()) pages.push_back(dialogs_[0]);
    dialogs_ = std::move(pages);
    created_ = {file.year, file.month, file.day};
    editor_.SetText(file.Text());
    if (editor_.LineCount() == 0) editor_.InsertLine(0, "");
    editor_.ForgetUndo();
    editor_.SetModified(false);
    SelectTab(0);
}

// One step for Undo, however many it replaces.
int MainFormModel::ReplaceAll(std::string_view search, std::string_view replacement, bool matchCase) {
    editor_.BeginEdit();
    TextPosition saved = editor_.Cursor();
    editor_.SetCursor(0, 0);
    int count = 0;
    while (editor_.Find(search, matchCase)) {
        editor_.ReplaceSelection(replacement);
        ++count;
    }
    editor_.ClearSelection();
    editor_.SetCursor(saved.line, saved.col);
    return count;
}

// ---- the editor's events

void MainFormModel::EditorEvents::OnCursorChange(int row, int col) {
    form_.positionText_ = PositionStatus(row, col);
}

void MainFormModel::EditorEvents::OnChangeModified() {
    if (form_.editor_.Modified()) form_.MarkDocumentModified();
}

void MainFormModel::EditorEvents::SetClipboardText(const std::string& text) {
    if (clipboard_) clipboard_->SetClipboardText(text);
}

bool MainFormModel::EditorEvents::GetClipboardText(std::string& text) {
    return clipboard_ && clipboard_->GetClipboardText(text);
}

}  // namespace tallow::ide
