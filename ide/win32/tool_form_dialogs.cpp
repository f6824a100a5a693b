// The property dialogs of the designer's tools. Each mirrors one of the form
// models of ide/model (control_tool_form.h, shape_forms.h): the model decides
// every value, the dialog shows it and hands it what the user did.
#include "ide/win32/tool_form_dialogs.h"

#include <commdlg.h>

#include <algorithm>
#include <functional>
#include <string>

#include "ide/model/control_tool_form.h"
#include "ide/model/ide_messages.h"
#include "ide/model/main_form_rules.h"
#include "ide/model/shape_forms.h"
#include "ide/model/shape_tools.h"
#include "ide/win32/dialog_builder.h"
#include "ide/win32/modal_answers.h"
#include "ide/win32/tool_painter.h"
#include "ide/win32/win32_document_host.h"
#include "ide/win32/win_handles.h"

namespace tallow::ide::win32 {

namespace {

// The option rows of the control form's page.
constexpr int kOptionHeight = 12;
constexpr int kTabHeader = 16;
constexpr int kFormWidth = 230;

// The colours the user mixed stay for the session, as the colour dialog expects.
COLORREF customColors[16];

// The colour dialog opened on color; nothing for Cancel.
std::optional<uint32_t> ChooseColor(HWND owner, uint32_t color) {
    CHOOSECOLORA choice{};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = owner;
    choice.rgbResult = ToColorRef(color);
    choice.lpCustColors = customColors;
    choice.Flags = CC_RGBINIT | CC_ANYCOLOR;
    if (!ChooseColorA(&choice)) return std::nullopt;
    return choice.rgbResult;
}

// ---- the control form

class ControlDialog final : public ModalDialog {
public:
    ControlDialog(const TControlTool& tool, const std::function<void()>& onHelp)
        : form_(tool), onHelp_(onHelp) {}

    const TControlToolForm& Form() const { return form_; }

    DialogBuilder Layout() const {
        int options = static_cast<int>(form_.Options().size());
        int tabHeight = kTabHeader + std::max(options, 2) * kOptionHeight + 6;
        int buttonsTop = 68 + tabHeight + 8;
        DialogBuilder layout(form_.Title(), kFormWidth, buttonsTop + kButtonHeight + 8);
        layout.Label("Window Text:", -1, {8, 8, 80, 8})
            .Edit(kWindowTextField, {8, 18, 214, 28},
                  ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL)
            .Label("Child ID:", kChildIdLabel, {8, 52, 40, 8})
            .SpinField(kChildIdField, {50, 50, 40, 12});
        AddOptions(layout);
        // Behind the options in the z-order, so that it clips rather than covers them.
        layout.Tabs(kPageTabs, {8, 68, 214, tabHeight});
        layout.OkCancel(kFormWidth - 2 * kButtonWidth - kButtonGap - 8, buttonsTop);
        return layout;
    }

private:
    void AddOptions(DialogBuilder& layout) const {
        std::span<const StyleOption> options = form_.Options();
        for (size_t i = 0; i < options.size(); ++i) {
            const StyleOption& option = options[i];
            DialogRect at{16, 68 + kTabHeader + static_cast<int>(i) * kOptionHeight, 120, 10};
            int id = kFirstOptionId + static_cast<int>(i);
            bool startsGroup =
                i == 0 || option.kind == OptionKind::Check || options[i - 1].group != option.group;
            DWORD group = startsGroup ? WS_GROUP | WS_TABSTOP : 0;
            if (option.kind == OptionKind::Check)
                layout.CheckBox(option.caption, id, at, WS_GROUP);
            else
                layout.Radio(option.caption, id, at, group);
        }
        if (form_.Options().empty() || form_.Options()[0].page != ToolCode::Button) return;
        int top = 68 + kTabHeader;
        layout.Button("[OK]", kOkShortcutButton, {150, top, kButtonWidth, kButtonHeight})
            .Button("[Cancel]", kCancelShortcutButton, {150, top + 18, kButtonWidth, kButtonHeight});
    }

    void OnInit() override {
        TabStrip tabs(Handle(), kPageTabs);
        tabs.Add(form_.PageName());
        tabs.Select(0);
        UpDown(Handle(), kChildIdField + 1).SetRange(kMinChildIdField, kMaxChildIdField);
        int show = form_.ShowsChildId() ? SW_SHOW : SW_HIDE;
        for (int id : {kChildIdLabel, kChildIdField, kChildIdField + 1})
            ShowWindow(Item(id), show);
        ShowFields();
        ShowOptions();
    }

    void ShowFields() {
        EditField(Handle(), kWindowTextField).SetText(form_.WindowText());
        UpDown(Handle(), kChildIdField + 1).SetValue(form_.ChildId());
    }

    void ShowOptions() {
        for (size_t i = 0; i < form_.Options().size(); ++i)
            CheckBox(Handle(), kFirstOptionId + static_cast<int>(i))
                .SetChecked(form_.Ticked(static_cast<int>(i)));
    }

    void ReadFields() {
        form_.SetWindowText(EditField(Handle(), kWindowTextField).Text());
        form_.SetChildId(UpDown(Handle(), kChildIdField + 1).Value(form_.ChildId()));
    }

    void OnCommand(int id, int code) override {
        if (code != BN_CLICKED) return;
        if (IsOption(id)) {
            int option = id - kFirstOptionId;
            bool check = form_.Options()[option].kind == OptionKind::Check;
            form_.SetTicked(option, check ? CheckBox(Handle(), id).Checked() : true);
            ShowOptions();
        } else if (id == kOkShortcutButton || id == kCancelShortcutButton) {
            ReadFields();
            if (id == kOkShortcutButton)
                form_.PressOkShortcut();
            else
                form_.PressCancelShortcut();
            ShowFields();
            ShowOptions();
        }
    }

    bool OnOk() override {
        ReadFields();
        return true;
    }

    std::optional<INT_PTR> OnMessage(UINT message, WPARAM, LPARAM) override {
        if (message != WM_HELP) return std::nullopt;
        if (onHelp_) onHelp_();
        return TRUE;
    }

    bool IsOption(int id) const {
        return id >= kFirstOptionId && id < kFirstOptionId + static_cast<int>(form_.Options().size());
    }

    TControlToolForm form_;
    std::function<void()> onHelp_;
};

// ---- the pen and brush form

class CanvasDialog final : public ModalDialog {
public:
    explicit CanvasDialog(const TToolForm& form) : form_(form) {}

    const TToolForm& Form() const { return form_; }

    static DialogBuilder Layout() {
        DialogBuilder layout(kCanvasFormTitle, 160, 136);
        layout.Group("Pen", {6, 4, 148, 50})
            .Label("Width:", -1, {14, 18, 32, 8})
            .SpinField(kPenWidthField, {50, 16, 30, 12})
            .Button("Color:", kPenColorButton, {14, 33, 32, 14})
            .Label("", kPenColorSwatch, {50, 34, 40, 12}, WS_BORDER);
        layout.Group("Brush", {6, 58, 148, 50})
            .Button("Color:", kBrushColorButton, {14, 72, 32, 14})
            .Label("", kBrushColorSwatch, {50, 73, 40, 12}, WS_BORDER)
            .CheckBox("Draw Transparent", kTransparentCheck, {14, 92, 100, 10});
        layout.OkCancel(27, 114);
        return layout;
    }

private:
    void OnInit() override {
        UpDown width(Handle(), kPenWidthField + 1);
        width.SetRange(kMinPenWidth, kMaxPenWidth);
        width.SetValue(form_.Paint().penWidth);
        CheckBox(Handle(), kTransparentCheck).SetChecked(form_.Paint().drawTransparent);
        ShowColors();
    }

    void ShowColors() {
        penSwatch_.Reset(CreateSolidBrush(ToColorRef(form_.Paint().penColor)));
        brushSwatch_.Reset(CreateSolidBrush(ToColorRef(form_.Paint().brushColor)));
        InvalidateRect(Item(kPenColorSwatch), nullptr, TRUE);
        InvalidateRect(Item(kBrushColorSwatch), nullptr, TRUE);
    }

    void OnCommand(int id, int code) override {
        if (code != BN_CLICKED) return;
        if (id == kPenColorButton) {
            if (auto color = ChooseColor(Handle(), form_.Paint().penColor)) form_.SetPenColor(*color);
        } else if (id == kBrushColorButton) {
            if (auto color = ChooseColor(Handle(), form_.Paint().brushColor)) form_.SetBrushColor(*color);
        } else {
            return;
        }
        ShowColors();
    }

    std::optional<INT_PTR> OnMessage(UINT message, WPARAM, LPARAM lParam) override {
        if (message != WM_CTLCOLORSTATIC) return std::nullopt;
        auto control = reinterpret_cast<HWND>(lParam);
        if (control == Item(kPenColorSwatch)) return reinterpret_cast<INT_PTR>(penSwatch_.Get());
        if (control == Item(kBrushColorSwatch)) return reinterpret_cast<INT_PTR>(brushSwatch_.Get());
        return std::nullopt;
    }

    bool OnOk() override {
        form_.SetPenWidth(UpDown(Handle(), kPenWidthField + 1).Value(form_.Paint().penWidth));
        form_.SetDrawTransparent(CheckBox(Handle(), kTransparentCheck).Checked());
        return true;
    }

    TToolForm form_;
    UniqueBrush penSwatch_;
    UniqueBrush brushSwatch_;
};

// ---- the font settings form

class FontDialog final : public ModalDialog {
public:
    explicit FontDialog(const TFontForm& form) : form_(form) {}

    const TFontForm& Form() const { return form_; }

    static DialogBuilder Layout() {
        DialogBuilder layout(kFontFormTitle, 170, 106);
        layout.Label("Text Type:", -1, {8, 10, 50, 8})
            .DropList(kTextTypeList, {60, 8, 100, 12})
            .Label("Text Style:", -1, {8, 28, 50, 8})
            .DropList(kTextStyleList, {60, 26, 100, 12})
            .Label("Size:", -1, {8, 46, 50, 8})
            .SpinField(kTextSizeField, {60, 44, 30, 12})
            .Label("Text Align:", -1, {8, 64, 50, 8})
            .DropList(kTextAlignList, {60, 62, 100, 12});
        layout.OkCancel(32, 84);
        return layout;
    }

private:
    void OnInit() override {
        const TextSettings& text = form_.Text();
        Fill(kTextTypeList, TextTypeCaptions(), text.textType);
        Fill(kTextStyleList, TextStyleCaptions(), text.textStyle);
        Fill(kTextAlignList, TextAlignCaptions(), text.textAlign);
        UpDown size(Handle(), kTextSizeField + 1);
        size.SetRange(kMinTextSize, kMaxTextSize);
        size.SetValue(text.textSize);
    }

    void Fill(int id, std::span<const char* const> captions, int selected) {
        ComboList list(Handle(), id);
        for (const char* caption : captions)
            list.Add(caption);
        list.Select(selected);
    }

    bool OnOk() override {
        form_.SetTextType(ComboList(Handle(), kTextTypeList).Selected());
        form_.SetTextStyle(ComboList(Handle(), kTextStyleList).Selected());
        form_.SetTextAlign(ComboList(Handle(), kTextAlignList).Selected());
        form_.SetTextSize(UpDown(Handle(), kTextSizeField + 1).Value(form_.Text().textSize));
        return true;
    }

    TFontForm form_;
};

// ---- the paragraph form, with the two forms above behind its buttons

class MemoDialog final : public ModalDialog {
public:
    explicit MemoDialog(const TTextTool& tool) : form_(tool) {}

    const TMemoToolForm& Form() const { return form_; }

    static DialogBuilder Layout() {
        DialogBuilder layout(kMemoFormTitle, 220, 72);
        layout.Edit(kParagraphField, {8, 8, 204, 12})
            .Button("&Canvas...", kCanvasButton, {8, 28, 60, 14})
            .Button("&Font...", kFontButton, {74, 28, 60, 14});
        layout.OkCancel(106, 50);
        return layout;
    }

private:
    void OnInit() override {
        EditField text(Handle(), kParagraphField);
        text.Limit(kMaxParagraphText);
        text.SetText(form_.Text());
    }

    void OnCommand(int id, int code) override {
        if (code != BN_CLICKED) return;
        if (id == kCanvasButton) {
            CanvasDialog canvas(form_.Canvas());
            if (canvas.Run(Handle(), CanvasDialog::Layout()) == IDOK) form_.Canvas() = canvas.Form();
        } else if (id == kFontButton) {
            FontDialog font(form_.Font());
            if (font.Run(Handle(), FontDialog::Layout()) == IDOK) form_.Font() = font.Form();
        }
    }

    bool OnOk() override {
        form_.SetText(EditField(Handle(), kParagraphField).Text());
        return true;
    }

    TMemoToolForm form_;
};

// ---- the image link

bool LinkImageFile(HWND owner, TImageTool& tool) {
    FileDialogRequest request;
    request.title = kImageChooserTitle;
    request.filter = kImageChooserFilter;
    request.defaultExtension = kImageChooserExtension;
    request.fileName = tool.fileName;
    request.fileMustExist = true;
    std::optional<std::string> path = ChooseFile(owner, request, false);
    if (!path) return false;
    UniqueBitmap bitmap(
        static_cast<HBITMAP>(LoadImageA(nullptr, path->c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    BITMAP size{};
    if (!bitmap || !GetObjectA(bitmap.Get(), sizeof size, &size)) {
        ShowMessageBox(owner, msg::kCannotOpenFile, kProgramName, MB_OK | MB_ICONERROR);
        return false;
    }
    LinkImage(tool, std::move(*path), size.bmWidth, size.bmHeight);
    return true;
}

bool EditControl(HWND owner, TControlTool& tool, const std::function<void()>& onHelp) {
    ControlDialog dialog(tool, onHelp);
    if (dialog.Run(owner, dialog.Layout()) != IDOK) return false;
    dialog.Form().Apply(tool);
    return true;
}

bool EditParagraph(HWND owner, TTextTool& tool) {
    MemoDialog dialog(tool);
    if (dialog.Run(owner, MemoDialog::Layout()) != IDOK) return false;
    dialog.Form().Apply(tool);
    return true;
}

bool EditCanvas(HWND owner, TTool& tool) {
    CanvasDialog dialog{TToolForm(tool)};
    if (dialog.Run(owner, CanvasDialog::Layout()) != IDOK) return false;
    dialog.Form().Apply(tool);
    return true;
}

}  // namespace

bool ShowToolProperties(HWND owner, TTool& tool, const std::function<void()>& onHelp) {
    // Control tools are text tools too: the most derived kind first.
    if (auto* control = dynamic_cast<TControlTool*>(&tool)) return EditControl(owner, *control, onHelp);
    if (auto* image = dynamic_cast<TImageTool*>(&tool)) return LinkImageFile(owner, *image);
    if (auto* text = dynamic_cast<TTextTool*>(&tool)) return EditParagraph(owner, *text);
    return EditCanvas(owner, tool);
}

}  // namespace tallow::ide::win32
