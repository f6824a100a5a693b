// The model of a dialog's controls. Each call does what the system's control
// of that class does with the message behind it (WM_SETTEXT, LB_ADDSTRING,
// LB_SETSEL, CB_SETCURSEL, BM_SETCHECK, ...); a control of another class
// ignores it, as the system's controls ignore messages of other classes.
#include "dialog_model.h"

#include <algorithm>
#include <atomic>

namespace tallow::platform {

namespace {

// Model handles are numbers of their own, distinct per dialog.
constexpr uintptr_t kFirstModelHandle = 0x10000;
constexpr uintptr_t kModelHandleStep = 4;
std::atomic<uintptr_t> gModelHandles{0};

unsigned char Fold(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? c + 32 : c;
}

bool EqualsFolded(std::u16string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] > 0x7F || Fold(uint8_t(a[i])) != Fold(uint8_t(b[i]))) return false;
    return true;
}

std::string Cut(const std::string& text, size_t maxLength) {
    return text.size() > maxLength ? text.substr(0, maxLength) : text;
}

bool InRange(int index, const std::vector<std::string>& items) {
    return index >= 0 && size_t(index) < items.size();
}

// A combo box with an edit field keeps its own text; a drop-down list shows
// its selected item.
bool HasEditField(const ModelControl& c) {
    return (c.style & codec::kCbsTypeMask) != codec::kCbsDropDownList;
}

// Where a new item goes: at the end, or after its equals in a sorted list.
size_t InsertPosition(const std::vector<std::string>& items, const std::string& text, bool sorted) {
    if (!sorted) return items.size();
    return size_t(std::upper_bound(items.begin(), items.end(), text, ListTextBefore) - items.begin());
}

}  // namespace

ControlClass ClassOfItem(const codec::NameOrOrdinal& windowClass) {
    if (windowClass.isOrdinal)
        return windowClass.ordinal >= 0x80 && windowClass.ordinal <= 0x85 ? ControlClass(windowClass.ordinal)
                                                                          : ControlClass::Other;
    static constexpr struct {
        std::string_view name;
        ControlClass kind;
    } kNames[] = {{"button", ControlClass::Button},       {"edit", ControlClass::Edit},
                  {"static", ControlClass::Static},       {"listbox", ControlClass::ListBox},
                  {"scrollbar", ControlClass::ScrollBar}, {"combobox", ControlClass::ComboBox}};
    for (const auto& entry : kNames)
        if (EqualsFolded(windowClass.name, entry.name)) return entry.kind;
    return ControlClass::Other;
}

int MaxCheckState(uint32_t buttonStyle) {
    // By button type (style & 0xF): check boxes and radio buttons take 1,
    // three-state boxes 2, push buttons, group boxes and the rest nothing.
    static constexpr int kMax[16] = {0, 0, 1, 1, 1, 2, 2, 0, 0, 1, 0, 0, 0, 0, 0, 0};
    return kMax[buttonStyle & kBsTypeMask];
}

int DefaultPushButtonOf(const codec::DialogTemplate& dialog) {
    const codec::DialogItem* first = nullptr;
    for (const codec::DialogItem& item : dialog.items) {
        if (ClassOfItem(item.windowClass) != ControlClass::Button) continue;
        uint32_t type = item.style & kBsTypeMask;
        if (type == kBsDefPushButton) return item.id;
        if (type == kBsPushButton && !first) first = &item;
    }
    return first ? first->id : 0;
}

bool ListTextBefore(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return Fold(uint8_t(x)) < Fold(uint8_t(y)); });
}

DialogModel::DialogModel(const codec::DialogTemplate& dialog)
    : caption_(codec::NarrowUnits(dialog.title)),
      handle_(reinterpret_cast<Handle>(kFirstModelHandle + kModelHandleStep * gModelHandles++)),
      defaultButton_(DefaultPushButtonOf(dialog)) {
    controls_.reserve(dialog.items.size());
    for (const codec::DialogItem& item : dialog.items) {
        ModelControl c;
        c.id = item.id;
        c.kind = ClassOfItem(item.windowClass);
        c.style = item.style;
        if (!item.title.isOrdinal) c.text = codec::NarrowUnits(item.title.name);
        if (c.kind == ControlClass::ComboBox && !HasEditField(c)) c.text.clear();
        controls_.push_back(std::move(c));
    }
}

const ModelControl* DialogModel::Find(int id) const {
    for (const ModelControl& c : controls_)
        if (c.id == id) return &c;
    return nullptr;
}

ModelControl* DialogModel::Find(int id, ControlClass kind) {
    for (ModelControl& c : controls_)
        if (c.id == id) return c.kind == kind ? &c : nullptr;
    return nullptr;
}

void DialogModel::FocusControl(int id) {
    if (HasControl(id)) focus_ = id;
}

std::string DialogModel::ControlText(int id, size_t maxLength) const {
    const ModelControl* c = Find(id);
    if (!c) return std::string();
    if (c->kind == ControlClass::ComboBox && !HasEditField(*c))
        return InRange(c->current, c->items) ? Cut(c->items[size_t(c->current)], maxLength) : std::string();
    return Cut(c->text, maxLength);
}

void DialogModel::SetControlText(int id, const std::string& text) {
    for (ModelControl& c : controls_) {
        if (c.id != id) continue;
        // A drop-down list has no text of its own to set.
        if (c.kind != ControlClass::ComboBox || HasEditField(c)) c.text = text;
        return;
    }
}

void DialogModel::AddListItem(int id, const std::string& text) {
    ModelControl* c = Find(id, ControlClass::ListBox);
    if (!c) return;
    size_t at = InsertPosition(c->items, text, c->style & kLbsSort);
    c->items.insert(c->items.begin() + ptrdiff_t(at), text);
    c->selected.insert(c->selected.begin() + ptrdiff_t(at), false);
    if (c->current >= int(at)) ++c->current;
}

void DialogModel::ClearList(int id) {
    ModelControl* c = Find(id, ControlClass::ListBox);
    if (!c) return;
    c->items.clear();
    c->selected.clear();
    c->current = -1;
    c->caret = 0;
}

void DialogModel::SelectListItem(int id, int index) {
    ModelControl* c = Find(id, ControlClass::ListBox);
    if (!c) return;
    if (c->MultipleSelection()) {
        // LB_SETSEL: -1 selects every item; a selected item takes the caret.
        if (index == -1) {
            std::fill(c->selected.begin(), c->selected.end(), true);
        } else if (InRange(index, c->items)) {
            c->selected[size_t(index)] = true;
            c->caret = index;
        }
        return;
    }
    // LB_SETCURSEL: -1 clears the selection, an index outside changes nothing.
    if (index == -1 || InRange(index, c->items)) c->current = index;
    if (index >= 0 && InRange(index, c->items)) c->caret = index;
}

std::string DialogModel::ListSelection(int id, size_t maxLength) const {
    const ModelControl* c = Find(id);
    if (!c || c->kind != ControlClass::ListBox) return std::string();
    // A multiple-selection list box answers LB_GETCURSEL with its caret.
    int index = c->MultipleSelection() ? c->caret : c->current;
    return InRange(index, c->items) ? Cut(c->items[size_t(index)], maxLength) : std::string();
}

bool DialogModel::SelectedListItems(int id, size_t maxLength, std::vector<std::string>& out) const {
    const ModelControl* c = Find(id);
    if (!c || c->kind != ControlClass::ListBox || !c->MultipleSelection()) return false;
    out.clear();
    for (size_t i = 0; i < c->items.size(); ++i)
        if (c->selected[i]) out.push_back(Cut(c->items[i], maxLength));
    return true;
}

void DialogModel::AddComboItem(int id, const std::string& text) {
    ModelControl* c = Find(id, ControlClass::ComboBox);
    if (!c) return;
    size_t at = InsertPosition(c->items, text, c->style & kCbsSort);
    c->items.insert(c->items.begin() + ptrdiff_t(at), text);
    if (c->current >= int(at)) ++c->current;
}

void DialogModel::ClearCombo(int id) {
    ModelControl* c = Find(id, ControlClass::ComboBox);
    if (!c) return;
    c->items.clear();
    c->current = -1;
    c->text.clear();
}

void DialogModel::SelectComboItem(int id, int index) {
    ModelControl* c = Find(id, ControlClass::ComboBox);
    if (!c) return;
    // CB_SETCURSEL: an index outside (or -1) removes the selection and
    // empties the edit field.
    c->current = InRange(index, c->items) ? index : -1;
    if (HasEditField(*c)) c->text = c->current >= 0 ? c->items[size_t(c->current)] : std::string();
}

void DialogModel::SetCheck(int id, int state) {
    ModelControl* c = Find(id, ControlClass::Button);
    if (!c) return;
    unsigned max = unsigned(MaxCheckState(c->style));
    c->check = int(std::min(unsigned(state), max));
}

int DialogModel::Check(int id) const {
    const ModelControl* c = Find(id);
    return c && c->kind == ControlClass::Button ? c->check : 0;
}

DialogExecution DialogModel::Execute(int waitMode, Handle&) {
    if (!controls_.empty()) focus_ = controls_.front().id;
    if (waitMode == 0) {
        visible_ = true;
        return {1, false};
    }
    return {DefaultPushButton(), false};
}

void DialogModel::Close(Handle&) {
    visible_ = false;
}

}  // namespace tallow::platform
