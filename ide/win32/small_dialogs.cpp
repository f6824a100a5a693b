// The grid dialog, the name dialog and the about box.
#include "ide/win32/small_dialogs.h"

#include <algorithm>
#include <utility>

#include "ide/model/about_texts.h"
#include "ide/model/drawer.h"
#include "ide/model/ide_messages.h"
#include "ide/model/main_form_rules.h"
#include "ide/win32/dialog_builder.h"
#include "ide/win32/modal_answers.h"

namespace tallow::ide::win32 {

namespace {

class GridDialog final : public ModalDialog {
public:
    GridDialog(int snapX, int snapY) : snapX_(snapX), snapY_(snapY) {}

    static DialogBuilder Layout() {
        DialogBuilder layout(kGridSnapTitle, 124, 68);
        layout.Label("X-Axis:", -1, {10, 10, 40, 8}).SpinField(kGridXField, {52, 8, 40, 12});
        layout.Label("Y-Axis:", -1, {10, 28, 40, 8}).SpinField(kGridYField, {52, 26, 40, 12});
        layout.OkCancel(6, 48);
        return layout;
    }

    int SnapX() const { return snapX_; }
    int SnapY() const { return snapY_; }

private:
    void OnInit() override {
        for (auto [field, value] : {std::pair{kGridXField, snapX_}, std::pair{kGridYField, snapY_}}) {
            UpDown spin(Handle(), field + 1);
            spin.SetRange(kMinSnap, kMaxSnap);
            spin.SetValue(std::clamp(value, kMinSnap, kMaxSnap));
        }
    }
    bool OnOk() override {
        snapX_ = UpDown(Handle(), kGridXField + 1).Value(snapX_);
        snapY_ = UpDown(Handle(), kGridYField + 1).Value(snapY_);
        return true;
    }

    int snapX_;
    int snapY_;
};

class NameDialog final : public ModalDialog {
public:
    explicit NameDialog(std::string name) : name_(std::move(name)) {}

    static DialogBuilder Layout() {
        DialogBuilder layout(msg::kRenameDialogCaption, 150, 62);
        layout.Label(msg::kRenameDialogLabel, -1, {8, 8, 134, 8}).Edit(kNameField, {8, 20, 134, 12});
        layout.OkCancel(19, 40);
        return layout;
    }

    const std::string& Name() const { return name_; }

private:
    void OnInit() override {
        EditField field(Handle(), kNameField);
        field.Limit(kMaxComponentName);
        field.SetText(name_);
    }
    bool OnOk() override {
        name_ = EditField(Handle(), kNameField).Text();
        return true;
    }

    std::string name_;
};

// Only OK: the box shows what it was given.
class AboutBox final : public ModalDialog {
public:
    static DialogBuilder Layout(const std::string& editorDate, const std::string& engineVersion) {
        DialogBuilder layout(kAboutTitle, 180, 100);
        layout.Label(kAboutProduct, kAboutProductText, {10, 10, 160, 10}, SS_CENTER)
            .Label(kAboutTagline, kAboutTaglineText, {10, 24, 160, 10}, SS_CENTER)
            .Label(kEditorDateLabel, kAboutDateLabel, {10, 44, 60, 8})
            .Label(editorDate, kAboutDateText, {72, 44, 98, 8})
            .Label(kEngineVersionLabel, kAboutVersionLabel, {10, 56, 60, 8})
            .Label(engineVersion, kAboutVersionText, {72, 56, 98, 8});
        layout.Button("OK", IDOK, {65, 78, kButtonWidth, kButtonHeight}, true);
        return layout;
    }
};

}  // namespace

bool ShowGridDialog(HWND owner, int& snapX, int& snapY) {
    GridDialog dialog(snapX, snapY);
    if (dialog.Run(owner, GridDialog::Layout()) != IDOK) return false;
    snapX = dialog.SnapX();
    snapY = dialog.SnapY();
    return true;
}

std::optional<std::string> ShowNameDialog(HWND owner, const std::string& current) {
    if (ModalAnswers* answers = CurrentModalAnswers()) return answers->NameDialog(current);
    NameDialog dialog(current);
    if (dialog.Run(owner, NameDialog::Layout()) != IDOK) return std::nullopt;
    return dialog.Name();
}

void ShowAboutBox(HWND owner, const std::string& editorDate, const std::string& engineVersion) {
    AboutBox box;
    box.Run(owner, AboutBox::Layout(editorDate, engineVersion));
}

}  // namespace tallow::ide::win32
