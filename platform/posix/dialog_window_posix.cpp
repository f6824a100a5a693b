// Dialogs on Linux: on a desktop, the desktop module's window with the model
// of the controls as the state behind it (every call reads the user's
// changes of the control into the model, acts on the model, and shows the
// result on the widget); without one, the model alone.
#include <vector>

#include "gui_module_posix.h"
#include "platform/dialog_model.h"

namespace tallow::platform {

namespace {

class DesktopDialog final : public DialogWindow {
public:
    DesktopDialog(const codec::DialogTemplate& dialog, const TallowGuiTable& gui, TallowGuiDialog* window)
        : model_(dialog), gui_(gui), window_(window) {}
    ~DesktopDialog() override { gui_.DialogDestroy(window_); }
    DesktopDialog(const DesktopDialog&) = delete;
    DesktopDialog& operator=(const DesktopDialog&) = delete;

    bool Interactive() const override { return true; }
    Handle NativeHandle() const override { return model_.NativeHandle(); }
    bool Visible() const override { return gui_.DialogVisible(window_) != 0; }
    std::string Caption() const override { return model_.Caption(); }
    void SetCaption(const std::string& text) override {
        model_.SetCaption(text);
        gui_.DialogSetCaption(window_, text.c_str());
    }

    bool HasControl(int id) const override { return model_.HasControl(id); }
    void FocusControl(int id) override {
        model_.FocusControl(id);
        gui_.DialogFocusControl(window_, id);
    }
    std::string ControlText(int id, size_t maxLength) const override {
        Pull(id);
        return model_.ControlText(id, maxLength);
    }
    void SetControlText(int id, const std::string& text) override {
        Change(id, [&] { model_.SetControlText(id, text); });
    }

    void AddListItem(int id, const std::string& text) override {
        Change(id, [&] { model_.AddListItem(id, text); });
    }
    void ClearList(int id) override {
        Change(id, [&] { model_.ClearList(id); });
    }
    void SelectListItem(int id, int index) override {
        Change(id, [&] { model_.SelectListItem(id, index); });
    }
    std::string ListSelection(int id, size_t maxLength) const override {
        Pull(id);
        return model_.ListSelection(id, maxLength);
    }
    bool SelectedListItems(int id, size_t maxLength, std::vector<std::string>& out) const override {
        Pull(id);
        return model_.SelectedListItems(id, maxLength, out);
    }

    void AddComboItem(int id, const std::string& text) override {
        Change(id, [&] { model_.AddComboItem(id, text); });
    }
    void ClearCombo(int id) override {
        Change(id, [&] { model_.ClearCombo(id); });
    }
    void SelectComboItem(int id, int index) override {
        Change(id, [&] { model_.SelectComboItem(id, index); });
    }

    void SetCheck(int id, int state) override {
        Change(id, [&] { model_.SetCheck(id, state); });
    }
    int Check(int id) const override {
        Pull(id);
        return model_.Check(id);
    }
    int DefaultPushButton() const override { return model_.DefaultPushButton(); }

    // The dialog becomes the owner of the program's later windows while it
    // is shown; the old owner comes back when it hides.
    DialogExecution Execute(int waitMode, Handle& parentWindow) override {
        if (!Visible()) {
            oldParent_ = parentWindow;
            parentWindow = NativeHandle();
        }
        int value = gui_.DialogExecute(window_, waitMode);
        if (!Visible()) parentWindow = oldParent_;
        return {value, false};
    }
    void Close(Handle& parentWindow) override {
        if (!Visible()) return;
        parentWindow = oldParent_;
        gui_.DialogHide(window_);
    }

private:
    // The control's selection as one byte per item, the form the module
    // reads and writes.
    static std::vector<unsigned char> SelectionFlags(const ModelControl& c) {
        std::vector<unsigned char> flags(c.items.size());
        for (size_t i = 0; i < c.selected.size() && i < flags.size(); ++i)
            flags[i] = c.selected[i];
        return flags;
    }

    // Reads what the user did to the control into the model.
    void Pull(int id) const {
        ModelControl* c = model_.Control(id);
        if (!c) return;
        std::vector<unsigned char> flags = SelectionFlags(*c);
        TallowGuiControlState state{id,           nullptr,    nullptr, int(c->items.size()),
                                    flags.data(), c->current, c->check};
        gui_.DialogReadControl(window_, &state);
        if (state.text) c->text = TakeGuiText(gui_, const_cast<char*>(state.text));
        if (c->MultipleSelection())
            for (size_t i = 0; i < c->selected.size() && i < flags.size(); ++i)
                c->selected[i] = flags[i] != 0;
        c->current = state.current;
        c->check = state.check;
    }

    // Shows the model's state of the control on its widget.
    void Push(int id) {
        ModelControl* c = model_.Control(id);
        if (!c) return;
        std::vector<const char*> items;
        for (const std::string& item : c->items)
            items.push_back(item.c_str());
        std::vector<unsigned char> flags = SelectionFlags(*c);
        TallowGuiControlState state{id,           c->text.c_str(), items.data(), int(items.size()),
                                    flags.data(), c->current,      c->check};
        gui_.DialogPushControl(window_, &state);
    }

    template <typename Action>
    void Change(int id, Action action) {
        Pull(id);
        action();
        Push(id);
    }

    mutable DialogModel model_;
    const TallowGuiTable& gui_;
    TallowGuiDialog* window_;
    Handle oldParent_ = nullptr;
};

}  // namespace

std::unique_ptr<DialogWindow> CreateDialogWindow(std::span<const uint8_t> templateBytes, Handle*) {
    codec::DialogTemplate dialog;
    if (!codec::ReadDialogTemplate(templateBytes, dialog)) return nullptr;
    if (const TallowGuiTable* gui = GuiModule())
        if (TallowGuiDialog* window = gui->DialogCreate(templateBytes.data(), templateBytes.size()))
            return std::make_unique<DesktopDialog>(dialog, *gui, window);
    return std::make_unique<DialogModel>(dialog);
}

}  // namespace tallow::platform
