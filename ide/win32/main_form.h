// TallowEdit's main window: the menus, the tab strip with the code page and
// one designer page per dialog, the status bar, and every command of the
// menus over MainFormModel, which stays the document's source of truth (the
// surfaces hand it their templates as they change; a loaded document is
// handed back to them).
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ide/model/main_form_model.h"
#include "ide/win32/drawer_view.h"
#include "ide/win32/help_engine.h"
#include "ide/win32/listing_printer.h"
#include "ide/win32/main_menu.h"
#include "ide/win32/programmer_view.h"
#include "ide/win32/win32_document_host.h"
#include "ide/win32/win_handles.h"
#include "ide/win32/window_base.h"

namespace tallow::ide::win32 {

inline constexpr const char* kMainFormClass = "TMainForm";

// The code page's editor: "Courier", 10 points, black, comments blue; the
// printed listing uses the same font.
ProgrammerLook EditorLook();

struct MainFormOptions {
    // The running program; empty: the module's own path.
    std::string programPath;
    // Opened after start-up when not empty (the first command-line argument).
    std::string openPath;
    int showCommand = SW_SHOWNORMAL;
    // Registers the code-file type under HKEY_CLASSES_ROOT at start-up.
    bool registerFileType = true;
    // Merges the program folder's help contents files into Tallow.cnt.
    bool mergeHelpContents = true;
    // Ends the thread's message loop when the window is destroyed.
    bool postQuit = true;
};

class TMainForm : public Window, private ProgrammerWatcher {
public:
    TMainForm();
    ~TMainForm() override;

    // Creates the window and runs the start-up; throws std::runtime_error
    // when the system refuses a window.
    void Create(const MainFormOptions& options);

    // For the message loop, before TranslateMessage: the keys the window
    // sees before its children (F6, F1), the search dialog's keys and the
    // shortcuts. True when the message was used up.
    bool PreTranslate(MSG& msg);
    // One idle round: the editor's Edit menu enabling and the status texts.
    void Idle();
    // False: closing skips the document's close query (the self-test run).
    bool promptOnClose = true;
    // How Run and Compile start things: the shell's "open" verb on the saved
    // code file in its folder, and the builder's command line. Tests replace them.
    std::function<void(const std::string& path, const std::string& folder)> openWithShell;
    std::function<void(const std::string& commandLine)> startProgram;

    MainFormModel& Model() { return model_; }
    ProgrammerView& EditorView() { return editorView_; }
    // The designer surface of a dialog, by the dialog's index; null for none.
    DrawerView* Surface(size_t index) { return index < surfaces_.size() ? surfaces_[index].get() : nullptr; }
    HWND TabStrip() const { return tabs_; }
    HWND StatusBar() const { return status_; }
    HMENU MenuBar() const { return menu_.Get(); }
    HACCEL Accelerators() const { return accelerators_.Get(); }
    HelpEngine& Help() { return *help_; }
    const std::string& ProgramFolder() const { return programFolder_; }
    // The message the find and replace dialogs send (FINDMSGSTRING).
    static UINT FindMessage();
    // The ids of the command table, each with its handler; the Resources
    // rows (cmd::kAddControl on) and the recent files are ranges besides it.
    // The menu tables (main_menu.cpp) name the same ids.
    static std::vector<UINT> CommandIds();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct CommandEntry {
        UINT id;
        void (TMainForm::*run)();
    };
    static const CommandEntry kCommands[];

    // ---- start-up, layout and pages (main_form.cpp)
    void CreateChildren();
    void RegisterFileType();
    void ApplyStoredPlacement();
    void StorePlacement();
    void MergeHelpContentsFile();
    RECT PageArea() const;
    void Layout();
    DrawerView& AddSurface();
    // Makes the surfaces match the model's dialogs; reload: every surface
    // takes its template from the model again.
    void SyncSurfaces(bool reload);
    // The tab strip from the model's captions, then the active page.
    void RefreshTabs();
    void ShowActivePage();
    void SetMenuKind(MenuKind kind);
    void RebuildMenu();
    void UpdateStatus();
    // After a document command: the surfaces, tabs, menu and status follow
    // the model; reload when the command may have cleared or read the contents.
    void AfterDocumentCommand(bool reload);
    void SurfaceChanged(size_t index);
    DrawerView* CurrentSurface();
    int SurfaceFontHeight() const;
    void OnClosing();

    // ---- commands (main_form_commands.cpp)
    void UseSystemLaunchers();
    bool RunCommand(UINT id);
    void New();
    void NewDialog();
    void Open();
    void Save();
    void SaveAs();
    void PrintSetup();
    void Print();
    void Exit();
    void Run();
    void Compile();
    void RegisterExtension();
    void Contents();
    void TopicSearch();
    void UsingHelp();
    void RevisionHistory();
    void About();
    void Cut();
    void Copy();
    void Paste();
    void Delete();
    void Find();
    void FindAgain();
    void Replace();
    void CutTool();
    void CopyTool();
    void PasteTool();
    void DeleteTool();
    void GridSettings();
    void TabOrder();
    void TestDialog();
    void AddControl(size_t row);
    void RenameDialog();
    void DeleteDialog();
    void OpenRecent(size_t index);
    void ContextHelp();
    void OnInitMenuPopup(HMENU popup);
    void OnFindMessage(FINDREPLACEA& request);
    void CloseSearchDialog(HWND& dialog);
    bool PrepareSearchDialog(HWND& open, HWND& other, FINDREPLACEA& request, char* findText);
    bool SearchEditor(const std::string& text, bool matchCase, bool quiet);
    // Runs a designer command that raises "No tool selected" as an error box.
    template <typename F>
    void WithSurface(F&& command);
    int Inform(const std::string& text, UINT flags);
    std::string EditorDate() const;

    // ---- the clipboard for the editor (ProgrammerWatcher)
    void SetClipboardText(const std::string& text) override;
    bool GetClipboardText(std::string& text) override;

    MainFormOptions options_;
    std::string programPath_;
    std::string programFolder_;
    Win32DocumentHost host_;
    MainFormModel model_;
    ProgrammerView editorView_;
    std::vector<std::unique_ptr<DrawerView>> surfaces_;
    std::unique_ptr<HelpEngine> help_;
    ListingPrinter printer_;
    HWND tabs_ = nullptr;
    HWND status_ = nullptr;
    HWND margin_ = nullptr;
    UniqueMenu menu_;
    UniqueAccelerators accelerators_;
    MenuKind menuKind_ = MenuKind::Code;
    UniqueFont uiFont_;
    std::string shownPosition_ = "?";
    std::string shownModified_ = "?";
    bool loading_ = false;  // surfaces are being filled from the model

    // The search dialogs: their structures and buffers live as long as the window.
    static constexpr int kSearchTextSize = 256;
    FINDREPLACEA find_{};
    FINDREPLACEA replace_{};
    char findText_[kSearchTextSize] = {};
    char replaceFindText_[kSearchTextSize] = {};
    char replaceWithText_[kSearchTextSize] = {};
    HWND findDialog_ = nullptr;
    HWND replaceDialog_ = nullptr;
};

}  // namespace tallow::ide::win32
