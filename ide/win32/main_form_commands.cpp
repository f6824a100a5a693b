// TMainForm's commands: the command table, the document, running and
// building, help, the editor's and the designer's Edit menus, the
// Resources menu, search and replace, and the clipboard.
#include <windows.h>

#include <shellapi.h>

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

// The most significant half of the engine library's file version, the
// library found along the executable search path.
std::optional<uint32_t> EngineFileVersion() {
    char path[MAX_PATH] = {};
    DWORD length = SearchPathA(nullptr, kEngineLibraryName, nullptr, MAX_PATH, path, nullptr);
    if (length == 0 || length >= MAX_PATH) return std::nullopt;
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

// The shell's "open" verb on a file, its folder the working folder.
void OpenWithShell(const std::string& path, const std::string& folder) {
    ShellExecuteA(nullptr, "open", path.c_str(), nullptr, folder.empty() ? nullptr : folder.c_str(),
                  SW_SHOWNORMAL);
}

// Starts a command line, shown normally; the program runs on its own.
void StartProgram(const std::string& commandLine) {
    std::string writable = commandLine;  // CreateProcessA may write into it
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process)) {
        UniqueKernelHandle thread(process.hThread);
        UniqueKernelHandle started(process.hProcess);
    }
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
};

std::vector<UINT> TMainForm::CommandIds() {
    std::vector<UINT> ids;
    for (const CommandEntry& entry : kCommands)
        ids.push_back(entry.id);
    return ids;
}

void TMainForm::UseSystemLaunchers() {
    openWithShell = OpenWithShell;
    startProgram = StartProgram;
}

// The editor's and the designer's items share their shortcuts, so a
// command of the other page's menu (sent while it is not shown) does nothing.
bool TMainForm::RunCommand(UINT id) {
    bool codePage = model_.ActiveTab() == 0;
    if (id >= cmd::kCut && id <= cmd::kReplace && !codePage) return false;
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

void TMainForm::Run() {
    bool saved = model_.Document().QuerySave(true);
    AfterDocumentCommand(false);
    if (!saved || model_.Document().Untitled()) return;
    const std::string& path = model_.Document().FileName();
    std::string folder = FolderOf(path);
    openWithShell(path, folder);
}

void TMainForm::Compile() {
    bool saved = model_.Document().QuerySave(true);
    AfterDocumentCommand(false);
    if (!saved || model_.Document().Untitled()) return;
    std::string codePath = model_.Document().FileName();
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
    startProgram(BuilderCommandLine(programFolder_, codePath, *chosen));
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
    std::optional<uint32_t> version = EngineFileVersion();
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

void TMainForm::Cut() {
    model_.Editor().CutToClipboard();
    editorView_.ShowCursor();
}

void TMainForm::Copy() {
    model_.Editor().CopyToClipboard();
}

void TMainForm::Paste() {
    model_.Editor().PasteFromClipboard();
    editorView_.ShowCursor();
}

// The item has no action of its own in the menu's rules: it removes the
// selection without copying it, as the Del key does.
void TMainForm::Delete() {
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
