// TMainForm's commands: the command table, the document, running and
// building, help, the editor's and the designer's Edit menus, the
// Resources menu, search and replace, and the clipboard.
#include <windows.h>

#include <shellapi.h>

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "ide/model/about_texts.h"
#include "ide/model/extension_registration.h"
#include "ide/model/ide_messages.h"
#include "ide/model/main_form_rules.h"
#include "ide/model/recent_files.h"
#include "ide/win32/clipboard_text.h"
#include "ide/win32/ide_dialogs.h"
#include "ide/win32/main_form.h"
#include "ide/win32/modal_answers.h"
#include "support/launch_request.h"

namespace tallow::ide::win32 {

namespace {

constexpr const char* kRevisionHistoryTopic = "REVISIONxHISTORY";

// The test dialog ends only on the close message: its buttons do nothing.
INT_PTR CALLBACK TestDialogProcedure(HWND dialog, UINT message, WPARAM, LPARAM) {
    return Guarded(dialog, "test dialog", INT_PTR{FALSE}, [&]() -> INT_PTR {
        if (message == WM_INITDIALOG) return TRUE;
        if (message == WM_CLOSE) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    });
}

class LoadedExtension : public ExtensionLibrary {
public:
    explicit LoadedExtension(HMODULE module) : module_(module) {}
    bool HasRegisterExtension() override { return Entry() != nullptr; }
    int CallRegisterExtension() override {
        auto entry = Entry();
        return entry ? entry() : 0;
    }

private:
    using RegisterProc = int(__cdecl*)();
    RegisterProc Entry() {
        return reinterpret_cast<RegisterProc>(
            reinterpret_cast<void*>(GetProcAddress(module_.Get(), "RegisterExtension")));
    }
    UniqueModule module_;
};

class RegistrationHost : public ExtensionRegistrationHost {
public:
    explicit RegistrationHost(HWND owner) : owner_(owner) {}
    std::optional<std::string> ChooseExtension(const FileDialogRequest& request) override {
        return ChooseFile(owner_, request, false);
    }
    std::unique_ptr<ExtensionLibrary> Load(const std::string& path) override {
        HMODULE module = LoadLibraryA(path.c_str());
        if (!module) return nullptr;
        return std::make_unique<LoadedExtension>(module);
    }
    void ShowError(const std::string& text) override {
        ShowMessageBox(owner_, text, kProgramName, MB_OK | MB_ICONERROR);
    }
    void ShowInformation(const std::string& text) override {
        ShowMessageBox(owner_, text, kProgramName, MB_OK | MB_ICONINFORMATION);
    }

private:
    HWND owner_;
};

std::optional<FileStamp> FileStampOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    FILETIME local{};
    SYSTEMTIME time{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &time))
        return std::nullopt;
    return FileStamp{time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute};
}

// The most significant half of the engine library's file version: the
// library found along the executable search path, else the one found beside
// TallowEdit.
std::optional<uint32_t> EngineFileVersion(const std::string& found) {
    char path[MAX_PATH] = {};
    DWORD length = SearchPathA(nullptr, kEngineLibraryName, nullptr, MAX_PATH, path, nullptr);
    if (length == 0 || length >= MAX_PATH) {
        if (found.empty() || found.size() >= MAX_PATH) return std::nullopt;
        std::strcpy(path, found.c_str());
    }
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0) return std::nullopt;
    std::vector<uint8_t> info(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!GetFileVersionInfoA(path, 0, size, info.data()) ||
        !VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize) || !fixed ||
        fixedSize < sizeof(VS_FIXEDFILEINFO))
        return std::nullopt;
    return static_cast<uint32_t>(fixed->dwFileVersionMS);
}

// A new empty file in the temp folder for the launcher's error report.
std::string NewErrorFile() {
    char folder[MAX_PATH + 1] = {}, path[MAX_PATH + 1] = {};
    DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length > MAX_PATH || !GetTempFileNameA(folder, "ter", 0, path)) return {};
    return path;
}

void CopyText(char* buffer, size_t size, const char* text) {
    if (!text || buffer == text) return;
    std::strncpy(buffer, text, size - 1);
    buffer[size - 1] = '\0';
}

}  // namespace

const TMainForm::CommandEntry TMainForm::kCommands[] = {
    {cmd::kNew, &TMainForm::New},
    {cmd::kNewDialog, &TMainForm::NewDialog},
    {cmd::kOpen, &TMainForm::Open},
    {cmd::kSave, &TMainForm::Save},
    {cmd::kSaveAs, &TMainForm::SaveAs},
    {cmd::kPrintSetup, &TMainForm::PrintSetup},
    {cmd::kPrint, &TMainForm::Print},
    {cmd::kExit, &TMainForm::Exit},
    {cmd::kRun, &TMainForm::Run},
    {cmd::kCompile, &TMainForm::Compile},
    {cmd::kRegisterExtension, &TMainForm::RegisterExtension},
    {cmd::kContents, &TMainForm::Contents},
    {cmd::kTopicSearch, &TMainForm::TopicSearch},
    {cmd::kUsingHelp, &TMainForm::UsingHelp},
    {cmd::kRevisionHistory, &TMainForm::RevisionHistory},
    {cmd::kAbout, &TMainForm::About},
    {cmd::kCut, &TMainForm::Cut},
    {cmd::kCopy, &TMainForm::Copy},
    {cmd::kPaste, &TMainForm::Paste},
    {cmd::kDelete, &TMainForm::Delete},
    {cmd::kFind, &TMainForm::Find},
    {cmd::kFindAgain, &TMainForm::FindAgain},
    {cmd::kReplace, &TMainForm::Replace},
    {cmd::kCutTool, &TMainForm::CutTool},
    {cmd::kCopyTool, &TMainForm::CopyTool},
    {cmd::kPasteTool, &TMainForm::PasteTool},
    {cmd::kDeleteTool, &TMainForm::DeleteTool},
    {cmd::kGridSettings, &TMainForm::GridSettings},
    {cmd::kTabOrder, &TMainForm::TabOrder},
    {cmd::kTestDialog, &TMainForm::TestDialog},
    {cmd::kRenameDialog, &TMainForm::RenameDialog},
    {cmd::kDeleteDialog, &TMainForm::DeleteDialog},
    {cmd::kUndo, &TMainForm::Undo},
    {cmd::kRedo, &TMainForm::Redo},
    {cmd::kUndoTool, &TMainForm::UndoTool},
    {cmd::kRedoTool, &TMainForm::RedoTool},
};

std::vector<UINT> TMainForm::CommandIds() {
    std::vector<UINT> ids;
    for (const CommandEntry& entry : kCommands)
        ids.push_back(entry.id);
    return ids;
}

void TMainForm::UseSystemLaunchers() {
    shellOpensCodeFiles = ShellOpensCodeFiles;
    openWithShell = OpenWithShellVerb;
    startProgram = StartProcess;
}

// The editor's and the designer's items share their shortcuts, so a
// command of the other page's menu (sent while it is not shown) does nothing.
bool TMainForm::RunCommand(UINT id) {
    bool codePage = model_.ActiveTab() == 0;
    if (id >= cmd::kCut && id <= cmd::kRedo && !codePage) return false;
    if (id >= cmd::kCutTool && id <= cmd::kDeleteDialog && codePage) return false;
    if (id >= cmd::kAddControl && id < cmd::kAddControl + std::size(kControlCommands)) {
        AddControl(id - cmd::kAddControl);
        return true;
    }
    if (id >= cmd::kRecentFirst && id <= cmd::kRecentLast) {
        OpenRecent(id - cmd::kRecentFirst);
        return true;
    }
    for (const CommandEntry& entry : kCommands) {
        if (entry.id == id) {
            (this->*entry.run)();
            return true;
        }
    }
    return false;
}

int TMainForm::Inform(const std::string& text, UINT flags) {
    return ShowMessageBox(Handle(), text, kProgramName, flags);
}

// ---- File

void TMainForm::New() {
    model_.Document().New();
    AfterDocumentCommand(true);
}

void TMainForm::NewDialog() {
    model_.AddDialog();
    SyncSurfaces(false);
    RefreshTabs();
}

void TMainForm::Open() {
    model_.Document().Open();
    AfterDocumentCommand(true);
}

void TMainForm::Save() {
    model_.Document().Save();
    AfterDocumentCommand(false);
}

void TMainForm::SaveAs() {
    model_.Document().SaveAs();
    AfterDocumentCommand(false);
}

void TMainForm::OpenRecent(size_t index) {
    const std::vector<std::string>& paths = model_.Document().recent.Paths();
    if (index >= paths.size()) return;
    std::string path = paths[index];  // the list changes while the file opens
    model_.Document().OpenFile(path);
    AfterDocumentCommand(true);
}

void TMainForm::PrintSetup() {
    printer_.Setup(Handle());
}

void TMainForm::Print() {
    ProgrammerLook look = EditorLook();
    LOGFONTA font{};
    font.lfHeight = look.fontHeight;
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    std::strncpy(font.lfFaceName, look.fontName, LF_FACESIZE - 1);
    const DocumentModel& doc = model_.Document();
    printer_.Print(Handle(), doc.Title(), PrintListing(doc.FileName(), model_.Editor().Lines()), font);
}

void TMainForm::Exit() {
    SendMessageA(Handle(), WM_CLOSE, 0, 0);
}

// ---- Utilities

// The shell's "open" verb where it has one for code files, else the launcher
// beside TallowEdit. Either way the launcher is asked, through its
// environment, to report the error that ends the script and to keep the
// script's console open; when the run ends, the editor shows the error's line.
void TMainForm::Run() {
    bool saved = model_.Document().QuerySave(true);
    AfterDocumentCommand(false);
    if (!saved || model_.Document().Untitled()) return;
    std::string path = model_.Document().FileName();
    std::string folder = FolderOf(path);
    std::string errorFile = NewErrorFile();
    Environment env{{support::kHoldConsoleVariable, "1"}};
    if (!errorFile.empty()) env.emplace_back(support::kErrorFileVariable, errorFile);

    RunRoute route = ChooseRunRoute(shellOpensCodeFiles(), !layout_.launcher.empty());
    StartOutcome outcome;
    if (route == RunRoute::Shell) {
        outcome = openWithShell(path, folder, env);
        if (!outcome.started && outcome.noAssociation && !layout_.launcher.empty())
            route = RunRoute::Launcher;
    }
    if (route == RunRoute::Launcher)
        outcome =
            startProgram(layout_.launcher, LauncherCommandLine(layout_.launcher, path), folder, env, false);
    if (!outcome.started) {
        if (!errorFile.empty()) DeleteFileA(errorFile.c_str());
        Inform(route == RunRoute::None ? NoRunnerMessage(path) : CannotRunMessage(path, outcome.error),
               MB_OK | MB_ICONERROR);
        return;
    }
    SetStatusMessage("");
    if (!outcome.process) {
        if (!errorFile.empty()) strayErrorFiles_.push_back(errorFile);
        return;
    }
    WatchProgram(std::move(outcome.process), [this, path, errorFile](DWORD) { RunEnded(path, errorFile); });
}

void TMainForm::RunEnded(const std::string& codePath, const std::string& errorFile) {
    if (errorFile.empty()) return;
    std::vector<uint8_t> bytes;
    bool read = host_.ReadFile(errorFile, bytes);
    DeleteFileA(errorFile.c_str());
    if (!read) return;
    std::optional<RunDiagnostic> error =
        ParseRunDiagnostic(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    if (!error || !SamePath(error->file, codePath) || !SamePath(model_.Document().FileName(), codePath))
        return;
    ShowErrorLine(*error);
}

// The code page with the caret on the error; the line and column count from 1.
void TMainForm::ShowErrorLine(const RunDiagnostic& error) {
    ProgrammerModel& editor = model_.Editor();
    if (editor.LineCount() == 0) return;
    int line = std::clamp(error.line - 1, 0, editor.LineCount() - 1);
    int column = std::clamp(error.column - 1, 0, kMaxColumn);
    if (model_.ActiveTab() != 0) {
        model_.SelectTab(0);
        TabCtrl_SetCurSel(tabs_, 0);
        ShowActivePage();
    }
    editor.ClearSelection();
    editor.SetCursor(line, column);
    editorView_.ShowCursor();
    SetStatusMessage(RunErrorStatus(error));
    UpdateStatus();
}

void TMainForm::WatchProgram(UniqueKernelHandle process, ProcessWatch::Ended ended) {
    watch_.Add(std::move(process), std::move(ended));
    SetTimer(Handle(), kWatchTimerId, kWatchIntervalMs, nullptr);
}

bool TMainForm::PollStartedPrograms() {
    watch_.Poll();
    if (watch_.Empty()) KillTimer(Handle(), kWatchTimerId);
    return !watch_.Empty();
}

// TallowMake runs without a console window; its own box says why it failed,
// the window says where the executable went.
void TMainForm::Compile() {
    bool saved = model_.Document().QuerySave(true);
    AfterDocumentCommand(false);
    if (!saved || model_.Document().Untitled()) return;
    std::string codePath = model_.Document().FileName();
    if (layout_.builder.empty()) {
        Inform(NoBuilderMessage(codePath), MB_OK | MB_ICONERROR);
        return;
    }
    std::string exePath = ExecutableNameFor(codePath);
    FileDialogRequest request;
    request.title = "Create EXE";
    request.filter = "Program|*.exe";
    request.defaultExtension = "exe";
    request.initialFolder = FolderOf(exePath);
    request.fileName = FileNameOf(exePath);
    request.promptOverwrite = true;
    request.hideReadOnly = true;
    std::optional<std::string> chosen = ChooseFile(Handle(), request, true);
    if (!chosen) return;
    std::string exe = *chosen;
    StartOutcome outcome = startProgram(layout_.builder, BuilderCommandLine(layout_.builder, codePath, exe),
                                        FolderOf(codePath), {}, true);
    if (!outcome.started) {
        Inform(CannotCompileMessage(codePath, outcome.error), MB_OK | MB_ICONERROR);
        return;
    }
    SetStatusMessage("");
    WatchProgram(std::move(outcome.process), [this, exe](DWORD status) { CompileEnded(exe, status); });
}

void TMainForm::CompileEnded(const std::string& exePath, DWORD status) {
    if (status != 0) {
        SetStatusMessage(CompileFailedStatus(exePath, status));
        return;
    }
    SetStatusMessage(CompiledStatus(exePath));
    Inform(CompiledMessage(exePath), MB_OK | MB_ICONINFORMATION);
}

void TMainForm::RegisterExtension() {
    RegistrationHost host(Handle());
    RegisterExtensionCommand(host);
}

// ---- Help

void TMainForm::Contents() {
    help_->Contents();
}

void TMainForm::TopicSearch() {
    help_->KeywordSearch("");
}

void TMainForm::UsingHelp() {
    help_->HelpOnHelp();
}

void TMainForm::RevisionHistory() {
    help_->JumpToTopic(kRevisionHistoryTopic);
}

std::string TMainForm::EditorDate() const {
    std::optional<FileStamp> stamp = FileStampOf(programPath_);
    return stamp ? FormatEditorDate(*stamp) : kUnknownAboutValue;
}

void TMainForm::About() {
    std::optional<uint32_t> version = EngineFileVersion(layout_.engine);
    ShowAboutBox(Handle(), EditorDate(), version ? FormatEngineVersion(*version) : kUnknownAboutValue);
}

// F1: on a dialog page the selected control's topic, on the code page a
// keyword search for the word at the cursor.
void TMainForm::ContextHelp() {
    if (model_.ActiveTab() == 0) {
        const ProgrammerModel& editor = model_.Editor();
        help_->KeywordSearch(ContextHelpWord(editor.Line(editor.CursorLine()), editor.CursorCol()));
        return;
    }
    DrawerView* surface = CurrentSurface();
    TTool* selected = surface ? surface->Drawer().Selected() : nullptr;
    help_->JumpToTopic(HelpTopicName(DesignerHelpSubject(selected ? ControlRowOf(selected->Code()) : -1)));
}

// ---- Edit on the code page

void TMainForm::Undo() {
    if (!model_.Editor().Undo()) return;
    editorView_.Refresh();
    editorView_.ShowCursor();
}

void TMainForm::Redo() {
    if (!model_.Editor().Redo()) return;
    editorView_.Refresh();
    editorView_.ShowCursor();
}

void TMainForm::Cut() {
    model_.Editor().BeginEdit();
    model_.Editor().CutToClipboard();
    editorView_.ShowCursor();
}

void TMainForm::Copy() {
    model_.Editor().CopyToClipboard();
}

void TMainForm::Paste() {
    model_.Editor().BeginEdit();
    model_.Editor().PasteFromClipboard();
    editorView_.ShowCursor();
}

// The item has no action of its own in the menu's rules: it removes the
// selection without copying it, as the Del key does.
void TMainForm::Delete() {
    model_.Editor().BeginEdit();
    model_.Editor().DeleteSelection(false);
    editorView_.ShowCursor();
}

// Destroying a search dialog sends no FR_DIALOGTERM: its handle is forgotten here.
void TMainForm::CloseSearchDialog(HWND& dialog) {
    if (dialog) DestroyWindow(dialog);
    dialog = nullptr;
}

// Closes the other search dialog, and brings an open one to the front; false
// when this one is to be opened, its request then set up for searching down
// with the case option kept.
bool TMainForm::PrepareSearchDialog(HWND& open, HWND& other, FINDREPLACEA& request, char* findText) {
    CloseSearchDialog(other);
    if (open) {
        SetFocus(open);
        return true;
    }
    request.lStructSize = sizeof request;
    request.hwndOwner = Handle();
    request.Flags = (request.Flags & FR_MATCHCASE) | FR_DOWN | FR_HIDEWHOLEWORD | FR_HIDEUPDOWN;
    request.lpstrFindWhat = findText;
    request.wFindWhatLen = kSearchTextSize;
    return false;
}

void TMainForm::Find() {
    if (PrepareSearchDialog(findDialog_, replaceDialog_, find_, findText_)) return;
    findDialog_ = FindTextA(&find_);
}

void TMainForm::FindAgain() {
    if (findText_[0] == '\0') return Find();
    SearchEditor(findText_, (find_.Flags & FR_MATCHCASE) != 0, false);
}

void TMainForm::Replace() {
    if (PrepareSearchDialog(replaceDialog_, findDialog_, replace_, replaceFindText_)) return;
    replace_.lpstrReplaceWith = replaceWithText_;
    replace_.wReplaceWithLen = kSearchTextSize;
    replaceDialog_ = ReplaceTextA(&replace_);
}

// Searches from the cursor; the not-found message unless quiet.
bool TMainForm::SearchEditor(const std::string& text, bool matchCase, bool quiet) {
    bool found = model_.Editor().Find(text, matchCase);
    if (found)
        editorView_.ShowCursor();
    else if (!quiet)
        Inform(NotFoundMessage(text), MB_OK | MB_ICONINFORMATION);
    return found;
}

// What the find and replace dialogs ask for. Both dialogs keep the same
// search text and case option, whichever one was used last.
void TMainForm::OnFindMessage(FINDREPLACEA& request) {
    if (request.Flags & FR_DIALOGTERM) {
        if (&request == &find_) findDialog_ = nullptr;
        if (&request == &replace_) replaceDialog_ = nullptr;
        return;
    }
    std::string text = request.lpstrFindWhat ? request.lpstrFindWhat : "";
    std::string with = request.lpstrReplaceWith ? request.lpstrReplaceWith : "";
    bool matchCase = (request.Flags & FR_MATCHCASE) != 0;
    CopyText(findText_, sizeof findText_, text.c_str());
    CopyText(replaceFindText_, sizeof replaceFindText_, text.c_str());
    DWORD caseFlag = matchCase ? FR_MATCHCASE : 0;
    find_.Flags = (find_.Flags & ~FR_MATCHCASE) | caseFlag;
    replace_.Flags = (replace_.Flags & ~FR_MATCHCASE) | caseFlag;
    if (model_.ActiveTab() != 0 || text.empty()) return;

    if (request.Flags & FR_REPLACEALL) {
        CloseSearchDialog(replaceDialog_);
        int count = model_.ReplaceAll(text, with, matchCase);
        editorView_.ShowCursor();
        Inform(ReplaceAllMessage(count, text), MB_OK | MB_ICONINFORMATION);
    } else if (request.Flags & FR_REPLACE) {
        if (model_.Editor().HasSelection()) {
            model_.Editor().BeginEdit();
            model_.Editor().ReplaceSelection(with);
            SearchEditor(text, matchCase, true);
            editorView_.ShowCursor();
        } else {
            SearchEditor(text, matchCase, false);
        }
    } else if (request.Flags & FR_FINDNEXT) {
        SearchEditor(text, matchCase, false);
    }
    UpdateStatus();
}

// ---- Edit on a dialog page

template <typename F>
void TMainForm::WithSurface(F&& command) {
    DrawerView* surface = CurrentSurface();
    if (!surface) return;
    try {
        command(*surface);
    } catch (const std::runtime_error& e) {
        Inform(e.what(), MB_OK | MB_ICONERROR);
    }
}

void TMainForm::UndoTool() {
    WithSurface([](DrawerView& surface) { surface.Drawer().Undo(); });
}

void TMainForm::RedoTool() {
    WithSurface([](DrawerView& surface) { surface.Drawer().Redo(); });
}

void TMainForm::CutTool() {
    WithSurface([](DrawerView& surface) { surface.CutSelected(); });
}

void TMainForm::CopyTool() {
    WithSurface([](DrawerView& surface) { surface.CopySelected(); });
}

void TMainForm::PasteTool() {
    WithSurface([](DrawerView& surface) { surface.Paste(); });
}

void TMainForm::DeleteTool() {
    WithSurface([](DrawerView& surface) { surface.DeleteSelected(); });
}

void TMainForm::GridSettings() {
    WithSurface([this](DrawerView& surface) {
        surface.EditGrid();
        model_.Document().SetModified(true);
    });
}

void TMainForm::TabOrder() {
    WithSurface([](DrawerView& surface) { surface.ToggleTabOrder(); });
}

// The current dialog as the program will show it, modal, until it is closed.
void TMainForm::TestDialog() {
    WithSurface([this](DrawerView& surface) {
        std::vector<uint8_t> bytes = codec::WriteDialogTemplate(surface.MakeTemplate(model_.metrics));
        // The system reads the template in DWORD-aligned memory.
        std::vector<DWORD> aligned((bytes.size() + sizeof(DWORD) - 1) / sizeof(DWORD) + 1, 0);
        std::memcpy(aligned.data(), bytes.data(), bytes.size());
        DialogBoxIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(aligned.data()),
                                Handle(), TestDialogProcedure, 0);
    });
}

void TMainForm::OnInitMenuPopup(HMENU popup) {
    auto has = [popup](UINT id) { return GetMenuState(popup, id, MF_BYCOMMAND) != static_cast<UINT>(-1); };
    auto enable = [popup](UINT id, bool on) { EnableMenuItem(popup, id, on ? MF_ENABLED : MF_GRAYED); };
    if (has(cmd::kCutTool)) {
        DrawerView* surface = CurrentSurface();
        if (!surface) return;
        TTool* selected = surface->Drawer().Selected();
        EditMenuState state =
            DesignerEditMenu(surface->Drawer().ShowTabs(), selected != nullptr,
                             selected && selected->Code() == ToolCode::Dialog, ClipboardHasTool());
        enable(cmd::kCutTool, state.cut);
        enable(cmd::kCopyTool, state.copy);
        enable(cmd::kPasteTool, state.paste);
        enable(cmd::kDeleteTool, state.del);
        enable(cmd::kUndoTool, surface->Drawer().CanUndo());
        enable(cmd::kRedoTool, surface->Drawer().CanRedo());
        CheckMenuItem(popup, cmd::kTabOrder, state.tabOrderChecked ? MF_CHECKED : MF_UNCHECKED);
    } else if (has(cmd::kDeleteDialog)) {
        enable(cmd::kDeleteDialog, CanDeleteDialog(model_.ActiveTab()));
    } else if (has(cmd::kCut)) {
        Idle();
    }
}

// ---- Resources

void TMainForm::AddControl(size_t row) {
    const ControlCommand& command = kControlCommands[row];
    WithSurface([&](DrawerView& surface) {
        model_.Document().SetModified(true);
        surface.AddControl(kControlToolCodes[row], command.width,
                           NewControlHeight(command, SurfaceFontHeight()));
    });
}

// Asks again after a reserved name; an invalid name ends the command.
void TMainForm::RenameDialog() {
    size_t index = model_.CurrentDialog();
    if (index >= model_.Dialogs().size()) return;
    for (;;) {
        std::optional<std::string> name = ShowNameDialog(Handle(), model_.Dialogs()[index].name);
        if (!name) return;
        switch (model_.RenameDialog(index, *name)) {
            case RenameResult::Reserved:
                Inform(msg::kReservedName, MB_OK | MB_ICONWARNING);
                continue;
            case RenameResult::Invalid:
                Inform(InvalidNameMessage(*name), MB_OK | MB_ICONERROR);
                return;
            case RenameResult::Renamed:
                if (DrawerView* surface = Surface(index)) surface->SetName(*name);
                RefreshTabs();
                return;
        }
    }
}

void TMainForm::DeleteDialog() {
    if (!CanDeleteDialog(model_.ActiveTab())) return;
    if (Inform(msg::kDeleteDialogPrompt, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    size_t index = model_.CurrentDialog();
    if (!model_.DeleteDialog(index)) return;
    surfaces_.erase(surfaces_.begin() + static_cast<std::ptrdiff_t>(index));
    RefreshTabs();
}

// ---- the clipboard

void TMainForm::SetClipboardText(const std::string& text) {
    SetClipboardTextA(Handle(), text);
}

bool TMainForm::GetClipboardText(std::string& text) {
    return GetClipboardTextA(Handle(), text);
}

}  // namespace tallow::ide::win32
