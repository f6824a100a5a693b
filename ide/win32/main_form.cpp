// TMainForm: start-up, layout, the pages behind the tab strip, the menu bar
// that follows the active page, the status bar, closing and the messages.
#include "ide/win32/main_form.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

#include "ide/model/main_form_rules.h"
#include "ide/model/recent_files.h"
#include "ide/model/window_settings.h"
#include "ide/win32/folder_files.h"
#include "support/system.h"

namespace tallow::ide::win32 {

namespace {

constexpr int kTabStripId = 1;
constexpr int kStatusBarId = 2;
constexpr int kMarginId = 3;
constexpr int kEditorId = 4;
constexpr int kFirstSurfaceId = 100;
constexpr int kMarginWidth = 9;  // the strip in the window colour left of the editor
constexpr int kPositionPanelWidth = 70;
constexpr int kModifiedPanelWidth = 100;
// The dialog font's size in points; a new Static is this font's height + 4 high.
constexpr int kSurfaceFontPoints = 8;
constexpr WindowPlacement kDefaultPlacement{};

std::vector<std::string> SplitLines(const std::vector<uint8_t>& bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < bytes.size(); ++i) {
        char c = static_cast<char>(bytes[i]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            lines.push_back(std::move(line));
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
}

void SetStatusText(HWND status, int panel, const std::string& text, bool centred) {
    std::string shown = centred ? "\t" + text : text;
    SendMessageA(status, SB_SETTEXTA, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(shown.c_str()));
}

}  // namespace

ProgrammerLook EditorLook() {
    ProgrammerLook look;
    look.fontName = "Courier";
    look.fontHeight = -13;
    look.textColor = RGB(0, 0, 0);
    look.remColor = RGB(0, 0, 255);
    return look;
}

TMainForm::TMainForm() : model_(host_, this), editorView_(model_.Editor(), EditorLook()) {
    UseSystemLaunchers();
}

TMainForm::~TMainForm() {
    // The window and its children go while the objects they use still exist.
    if (Handle()) DestroyWindow(Handle());
}

UINT TMainForm::FindMessage() {
    static const UINT message = RegisterWindowMessageA(FINDMSGSTRINGA);
    return message;
}

// The start-up in its fixed order: help, the file type, the stored
// placement, the window shown with a fresh document, the help contents,
// then the file named on the command line.
void TMainForm::Create(const MainFormOptions& options) {
    options_ = options;
    programPath_ = options.programPath.empty() ? support::ExecutablePath() : options.programPath;
    programFolder_ = FolderOf(programPath_);
    layout_ = FindProgramLayout(programFolder_, [](const std::string& path) {
        DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    });
    help_ = std::make_unique<HelpEngine>(layout_.reference, layout_.guide);

    RegisterClass(kMainFormClass, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), nullptr,
                  LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1)));
    Window::Create(kMainFormClass, host_.CurrentTitle().c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0,
                   kDefaultPlacement.left, kDefaultPlacement.top, kDefaultPlacement.width,
                   kDefaultPlacement.height, nullptr, nullptr);
    host_.SetOwner(Handle());
    if (options_.registerFileType) RegisterFileType();
    ApplyStoredPlacement();

    // New dialog frames and every template are measured in this display's dialog units.
    model_.metrics = MeasureDialogMetrics();
    model_.Document().Setup();
    model_.Document().New();
    AfterDocumentCommand(true);
    model_.SelectTab(0);
    RefreshTabs();
    if (options_.mergeHelpContents) MergeHelpContentsFile();
    if (!options_.openPath.empty()) {
        model_.Document().OpenFile(options_.openPath);
        AfterDocumentCommand(true);
    }
}

void TMainForm::CreateChildren() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        uiFont_.Reset(CreateFontIndirectA(&metrics.lfMessageFont));
    tabs_ = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_FOCUSNEVER,
                            0, 0, 10, 10, Handle(), reinterpret_cast<HMENU>(kTabStripId), instance, nullptr);
    status_ = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                              Handle(), reinterpret_cast<HMENU>(kStatusBarId), instance, nullptr);
    margin_ = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, kMarginWidth, 10, Handle(),
                              reinterpret_cast<HMENU>(kMarginId), instance, nullptr);
    if (!tabs_) throw std::runtime_error("Cannot create the main window's tab strip");
    if (!status_) throw std::runtime_error("Cannot create the main window's status bar");
    if (!margin_) throw std::runtime_error("Cannot create the main window's margin");
    if (uiFont_) SendMessageA(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont_.Get()), FALSE);
    // Panel 2, the rest of the bar, tells what the last Run or Compile came to.
    int widths[] = {kPositionPanelWidth, kPositionPanelWidth + kModifiedPanelWidth, -1};
    SendMessageA(status_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(widths));
    RECT area{kMarginWidth, 0, 100, 100};
    editorView_.Create(Handle(), kEditorId, area);
}

void TMainForm::RegisterFileType() {
    for (const RegistryDefault& entry : FileTypeRegistration(programPath_))
        SetRegistryString(HKEY_CLASSES_ROOT, entry.key, nullptr, entry.value);
}

void TMainForm::ApplyStoredPlacement() {
    WindowPlacement placement = ReadWindowPlacement(host_, kDefaultPlacement);
    MoveWindow(Handle(), placement.left, placement.top, placement.width, placement.height, FALSE);
    int show = options_.showCommand;
    if (placement.maximized && show != SW_HIDE) show = SW_SHOWMAXIMIZED;
    ShowWindow(Handle(), show);
    Layout();
}

void TMainForm::StorePlacement() {
    WINDOWPLACEMENT shown{};
    shown.length = sizeof shown;
    if (!GetWindowPlacement(Handle(), &shown)) return;
    const RECT& normal = shown.rcNormalPosition;
    WindowPlacement placement{normal.left, normal.top, normal.right - normal.left, normal.bottom - normal.top,
                              IsZoomed(Handle()) != 0};
    WriteWindowPlacement(host_, placement);
}

// The contents file is rewritten only when the merge added a line, so a
// read-only program folder costs nothing when nothing is new.
void TMainForm::MergeHelpContentsFile() {
    std::string path = programFolder_ + kHelpContentsName;
    std::vector<uint8_t> bytes;
    if (!host_.ReadFile(path, bytes)) bytes.clear();
    std::vector<std::string> lines = SplitLines(bytes);
    std::vector<std::string> merged = MergeHelpContents(lines, FilesIn(programFolder_, "*.cnt"));
    if (merged == lines) return;
    std::string text;
    for (const std::string& line : merged)
        text += line + "\r\n";
    host_.WriteFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

RECT TMainForm::PageArea() const {
    RECT client{};
    GetClientRect(Handle(), &client);
    RECT statusRect{};
    if (status_) GetWindowRect(status_, &statusRect);
    int bottom = std::max<int>(0, client.bottom - (statusRect.bottom - statusRect.top));
    RECT tabRect{};
    int top = 0;
    if (tabs_ && TabCtrl_GetItemRect(tabs_, 0, &tabRect)) top = tabRect.bottom + 2;
    return {0, std::min<int>(top, bottom), client.right, bottom};
}

void TMainForm::Layout() {
    if (!status_) return;
    SendMessageA(status_, WM_SIZE, 0, 0);
    // The bar repaints only what it thinks changed, which leaves the size
    // grip drawn where the old right edge was: all of it is painted again.
    InvalidateRect(status_, nullptr, TRUE);
    RECT page = PageArea();
    MoveWindow(tabs_, 0, 0, page.right, page.top, TRUE);
    int height = page.bottom - page.top;
    MoveWindow(margin_, 0, page.top, kMarginWidth, height, TRUE);
    MoveWindow(editorView_.Handle(), kMarginWidth, page.top, std::max(0, int(page.right) - kMarginWidth),
               height, TRUE);
    for (auto& surface : surfaces_)
        MoveWindow(surface->Handle(), 0, page.top, page.right, height, TRUE);
    model_.surfaceWidth = page.right;
    model_.surfaceHeight = height;
}

DrawerView& TMainForm::AddSurface() {
    auto surface = std::make_unique<DrawerView>();
    size_t index = surfaces_.size();
    RECT page = PageArea();
    surface->Create(Handle(), kFirstSurfaceId + static_cast<int>(index), page);
    ShowWindow(surface->Handle(), SW_HIDE);
    // The first dialog's grid is finer than a new surface's.
    if (index == 0) surface->Drawer().SetSnap(4, 4);
    DrawerView* view = surface.get();
    surface->onChangeModified = [this, view] {
        for (size_t i = 0; i < surfaces_.size(); ++i)
            if (surfaces_[i].get() == view) SurfaceChanged(i);
    };
    surface->onHelp = [this] { ContextHelp(); };
    surfaces_.push_back(std::move(surface));
    return *surfaces_.back();
}

void TMainForm::SyncSurfaces(bool reload) {
    const std::vector<DialogPage>& dialogs = model_.Dialogs();
    while (surfaces_.size() > dialogs.size())
        surfaces_.pop_back();
    loading_ = true;
    for (size_t i = 0; i < dialogs.size(); ++i) {
        bool fresh = i >= surfaces_.size();
        DrawerView& surface = fresh ? AddSurface() : *surfaces_[i];
        surface.SetName(dialogs[i].name);
        if (fresh || reload) surface.LoadTemplate(dialogs[i].dialog, model_.metrics);
    }
    loading_ = false;
}

// A surface's change goes into the model at once, and the surface's mark is
// cleared so that its next change is reported again.
void TMainForm::SurfaceChanged(size_t index) {
    if (loading_ || index >= surfaces_.size()) return;
    DrawerView& surface = *surfaces_[index];
    if (!surface.Drawer().Tools().Modified()) return;
    try {
        model_.SetDialogTemplate(index, surface.MakeTemplate(model_.metrics));
    } catch (const TemplateError&) {
        // Too many controls for a template: the model keeps the last good
        // one, and the document still counts as changed.
        model_.Document().SetModified(true);
    }
    loading_ = true;
    surface.Drawer().Tools().SetModified(false);
    loading_ = false;
    UpdateStatus();
}

void TMainForm::RefreshTabs() {
    TabCtrl_DeleteAllItems(tabs_);
    std::vector<std::string> captions = model_.TabCaptions();
    for (size_t i = 0; i < captions.size(); ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = captions[i].data();
        SendMessageA(tabs_, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    TabCtrl_SetCurSel(tabs_, model_.ActiveTab());
    Layout();
    ShowActivePage();
}

void TMainForm::ShowActivePage() {
    int active = model_.ActiveTab();
    bool code = active == 0;
    ShowWindow(editorView_.Handle(), code ? SW_SHOW : SW_HIDE);
    ShowWindow(margin_, code ? SW_SHOW : SW_HIDE);
    for (size_t i = 0; i < surfaces_.size(); ++i)
        ShowWindow(surfaces_[i]->Handle(), static_cast<int>(i) + 1 == active ? SW_SHOW : SW_HIDE);
    SetMenuKind(code ? MenuKind::Code : MenuKind::Dialog);
    if (IsWindowVisible(Handle())) {
        if (code)
            SetFocus(editorView_.Handle());
        else if (DrawerView* surface = CurrentSurface())
            SetFocus(surface->Handle());
    }
    UpdateStatus();
}

void TMainForm::SetMenuKind(MenuKind kind) {
    if (menu_ && kind == menuKind_) return;
    menuKind_ = kind;
    RebuildMenu();
}

void TMainForm::RebuildMenu() {
    UniqueMenu bar = BuildMenuBar(menuKind_, model_.Document().recent.Captions());
    accelerators_ = BuildAccelerators(menuKind_);
    SetMenu(Handle(), bar.Get());
    menu_ = std::move(bar);  // the old bar is destroyed once it is no longer shown
    DrawMenuBar(Handle());
}

void TMainForm::UpdateStatus() {
    if (!status_) return;
    if (model_.ActiveTab() == 0) {
        // The editor reports its cursor only while it has the caret.
        std::string position = PositionStatus(model_.Editor().CursorLine(), model_.Editor().CursorCol());
        if (position != shownPosition_) SetStatusText(status_, 0, shownPosition_ = position, true);
    } else if (!shownPosition_.empty()) {
        SetStatusText(status_, 0, shownPosition_ = "", true);
    }
    const std::string& modified = model_.ModifiedText();
    if (modified != shownModified_) SetStatusText(status_, 1, shownModified_ = modified, false);
}

void TMainForm::SetStatusMessage(const std::string& text) {
    statusMessage_ = text;
    if (status_) SetStatusText(status_, 2, text, false);
}

void TMainForm::AfterDocumentCommand(bool reload) {
    SyncSurfaces(reload);
    if (reload) editorView_.Refresh();
    RefreshTabs();
    RebuildMenu();
}

DrawerView* TMainForm::CurrentSurface() {
    return Surface(model_.CurrentDialog());
}

int TMainForm::SurfaceFontHeight() const {
    WindowDc dc(Handle());
    return MulDiv(kSurfaceFontPoints, GetDeviceCaps(dc.Get(), LOGPIXELSY), 72);
}

void TMainForm::Idle() {
    if (menuKind_ == MenuKind::Code && menu_) {
        EditMenuState state =
            EditorEditMenu(model_.Editor().HasSelection(), IsClipboardFormatAvailable(CF_TEXT) != 0);
        auto enable = [this](UINT id, bool on) {
            EnableMenuItem(menu_.Get(), id, on ? MF_ENABLED : MF_GRAYED);
        };
        enable(cmd::kCut, state.cut);
        enable(cmd::kCopy, state.copy);
        enable(cmd::kPaste, state.paste);
        enable(cmd::kDelete, state.del);
        enable(cmd::kUndo, model_.Editor().CanUndo());
        enable(cmd::kRedo, model_.Editor().CanRedo());
    } else if (menuKind_ == MenuKind::Dialog && menu_) {
        // Kept up to date here too, so that their shortcuts work whenever
        // there is something to undo (a grayed item takes no shortcut).
        DrawerView* surface = CurrentSurface();
        bool undo = surface && surface->Drawer().CanUndo();
        bool redo = surface && surface->Drawer().CanRedo();
        EnableMenuItem(menu_.Get(), cmd::kUndoTool, undo ? MF_ENABLED : MF_GRAYED);
        EnableMenuItem(menu_.Get(), cmd::kRedoTool, redo ? MF_ENABLED : MF_GRAYED);
    }
    UpdateStatus();
}

bool TMainForm::PreTranslate(MSG& msg) {
    if (!Handle()) return false;
    bool ours = msg.hwnd == Handle() || IsChild(Handle(), msg.hwnd);
    if (ours && msg.message == WM_KEYDOWN && (msg.wParam == VK_F6 || msg.wParam == VK_F1)) {
        if (msg.wParam == VK_F6) {
            model_.SelectNextTab();
            TabCtrl_SetCurSel(tabs_, model_.ActiveTab());
            ShowActivePage();
        } else {
            ContextHelp();
        }
        return true;
    }
    if (findDialog_ && IsDialogMessageA(findDialog_, &msg)) return true;
    if (replaceDialog_ && IsDialogMessageA(replaceDialog_, &msg)) return true;
    return ours && accelerators_ && TranslateAcceleratorA(Handle(), accelerators_.Get(), &msg);
}

void TMainForm::OnClosing() {
    StorePlacement();
    help_->Quit();
    KillTimer(Handle(), kWatchTimerId);
    for (const std::string& file : strayErrorFiles_)
        DeleteFileA(file.c_str());
    strayErrorFiles_.clear();
}

LRESULT TMainForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == FindMessage() && lParam) {
        OnFindMessage(*reinterpret_cast<FINDREPLACEA*>(lParam));
        return 0;
    }
    switch (message) {
        case WM_CREATE:
            // A window without its controls is refused: CreateWindow fails.
            try {
                CreateChildren();
            } catch (...) {
                ReportCaughtException(Handle(), "main window");
                return -1;
            }
            return 0;
        case WM_SIZE:
            Layout();
            return 0;
        case WM_TIMER:
            if (wParam == kWatchTimerId) {
                PollStartedPrograms();
                return 0;
            }
            break;
        case WM_SETFOCUS:
            if (model_.ActiveTab() == 0 && editorView_.Handle()) SetFocus(editorView_.Handle());
            return 0;
        case WM_NOTIFY: {
            const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header && header->hwndFrom == tabs_ && header->code == TCN_SELCHANGE) {
                model_.SelectTab(TabCtrl_GetCurSel(tabs_));
                ShowActivePage();
            }
            return 0;
        }
        case WM_COMMAND:
            if (lParam == 0 && RunCommand(LOWORD(wParam))) UpdateStatus();
            return 0;
        case WM_INITMENUPOPUP:
            OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
            return 0;
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) == margin_)
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
            break;
        case WM_CLOSE:
            if (promptOnClose && !model_.Document().CloseQuery()) return 0;
            OnClosing();
            DestroyWindow(Handle());
            return 0;
        case WM_QUERYENDSESSION:
            // Logging off asks like closing does.
            return !promptOnClose || model_.Document().CloseQuery();
        case WM_ENDSESSION:
            if (wParam) OnClosing();
            return 0;
        case WM_DESTROY:
            // The bar belongs to menu_, which destroys it.
            SetMenu(Handle(), nullptr);
            CloseSearchDialog(findDialog_);
            CloseSearchDialog(replaceDialog_);
            if (options_.postQuit) PostQuitMessage(0);
            return 0;
    }
    return Default(message, wParam, lParam);
}

}  // namespace tallow::ide::win32
