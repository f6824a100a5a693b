// The dialog object's members: each reads all its parameters first, then
// acts on the control with that id through the platform's dialog window. An
// id the dialog does not have makes a member do nothing (a function gives
// ""), except getcheck, which reports it.
#include "dialog_object.h"

#include "core/messages.h"
#include "core/program.h"
#include "expr/member_table.h"
#include "expr/operators.h"
#include "expr/string_array.h"
#include "platform/message_box.h"

namespace tallow {

namespace {

constexpr StatementMember kStatements[] = {
    {"setcaption", 1, Call<&DialogObject::SetCaption>},
    {"setfocus", 2, Call<&DialogObject::SetFocus>},
    {"settext", 3, Call<&DialogObject::SetText>},
    {"settextarray", 4, Call<&DialogObject::SetTextArray>},
    {"gettextarray", 5, Call<&DialogObject::GetTextArray>},
    {"addlist", 6, Call<&DialogObject::AddList>},
    {"addlistarray", 7, Call<&DialogObject::AddListArray>},
    {"getlistarray", 8, Call<&DialogObject::GetListArray>},
    {"selectlistindex", 9, Call<&DialogObject::SelectListIndex>},
    {"clearlist", 10, Call<&DialogObject::ClearList>},
    {"addcombo", 11, Call<&DialogObject::AddCombo>},
    {"addcomboarray", 12, Call<&DialogObject::AddComboArray>},
    {"selectcomboindex", 13, Call<&DialogObject::SelectComboIndex>},
    {"clearcombo", 14, Call<&DialogObject::ClearCombo>},
    {"setcheck", 15, Call<&DialogObject::SetCheck>},
    {"close", 16, Call<&DialogObject::Close>},
};
constexpr NumFunctionMember kNumFunctions[] = {
    {"execute", 1, Call<&DialogObject::Execute>},
    {"getcheck", 2, Call<&DialogObject::GetCheck>},
};
constexpr StringFunctionMember kStringFunctions[] = {
    {"gettext", 1, Call<&DialogObject::GetText>},
    {"getlist", 2, Call<&DialogObject::GetList>},
    {"getcombo", 3, Call<&DialogObject::GetCombo>},
};
constexpr MemberTable kMembers{kStatements, kNumFunctions, kStringFunctions};
static_assert(IdsInOrder(kMembers));

constexpr std::string_view kTitleProperty = "title";
constexpr std::string_view kHandleProperty = "handle";
// The line break settextarray puts between the elements.
constexpr std::string_view kLineBreak = "\r\n";
// Whatever the text holds, it is read whole for gettextarray.
constexpr size_t kWholeText = std::string::npos;

// The separate values of the three wait modes of execute.
constexpr int kModeless = 0;

}  // namespace

std::vector<std::string> SplitDialogLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\r') {
            lines.push_back(std::move(line));
            line.clear();
        } else if (c != '\n') {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
}

DialogObject::DialogObject(Program& program, std::string name, std::unique_ptr<platform::DialogWindow> window)
    : ScriptObject(program, std::move(name)), window_(std::move(window)) {
    AddMembers(kMembers);
}

// A dialog still shown gives the program its earlier owner window back.
DialogObject::~DialogObject() {
    if (window_ && window_->Visible()) window_->Close(program_.parentWindow);
}

// close = "close"
void DialogObject::Close() {
    if (window_) window_->Close(program_.parentWindow);
}

// setcaption = "setcaption" strexpr
void DialogObject::SetCaption() {
    program_.Eval().HasFirstParam(true);
    std::string text = program_.Eval().EvalString();
    if (window_) window_->SetCaption(text);
}

platform::DialogWindow* DialogObject::ReadControl(int& control) {
    program_.Eval().HasFirstParam(true);
    control = ToInt32(program_.Eval().EvalNum());
    return window_ && window_->HasControl(control) ? window_.get() : nullptr;
}

void DialogObject::OnControl(ControlAction act) {
    int control;
    if (platform::DialogWindow* w = ReadControl(control)) (w->*act)(control);
}

void DialogObject::WithText(TextAction act) {
    int control;
    platform::DialogWindow* w = ReadControl(control);
    program_.Eval().HasNextParam(true);
    std::string text = program_.Eval().EvalString();
    if (w) (w->*act)(control, text);
}

void DialogObject::WithIndex(IndexAction act) {
    int control;
    platform::DialogWindow* w = ReadControl(control);
    program_.Eval().HasNextParam(true);
    int index = ToInt32(program_.Eval().EvalNum());
    if (w) (w->*act)(control, index);
}

void DialogObject::FillFromArray(TextAction add) {
    int control;
    ReadControl(control);
    std::string arrayName = ReadArrayName();
    if (!window_ || !window_->HasControl(control)) return;
    StringArrayObject* array = program_.FindStringArray(arrayName);
    if (!array) program_.ReportError(kRuntimeKind, msg::kArrayNotFound);
    // A copy: the array is the script's, and stays as it is.
    std::vector<std::string> items = array->items;
    for (const std::string& item : items)
        (window_.get()->*add)(control, item);
}

std::string DialogObject::ReadArrayName() {
    program_.Eval().HasNextParam(true);
    return program_.Eval().ReadName();
}

// setfocus = "setfocus" numexpr
void DialogObject::SetFocus() {
    OnControl(&platform::DialogWindow::FocusControl);
}

// clearlist = "clearlist" numexpr
void DialogObject::ClearList() {
    OnControl(&platform::DialogWindow::ClearList);
}

// clearcombo = "clearcombo" numexpr
void DialogObject::ClearCombo() {
    OnControl(&platform::DialogWindow::ClearCombo);
}

// settext = "settext" numexpr "," strexpr
void DialogObject::SetText() {
    WithText(&platform::DialogWindow::SetControlText);
}

// addlist = "addlist" numexpr "," strexpr
void DialogObject::AddList() {
    WithText(&platform::DialogWindow::AddListItem);
}

// addcombo = "addcombo" numexpr "," strexpr
void DialogObject::AddCombo() {
    WithText(&platform::DialogWindow::AddComboItem);
}

// selectlistindex = "selectlistindex" numexpr "," numexpr
void DialogObject::SelectListIndex() {
    WithIndex(&platform::DialogWindow::SelectListItem);
}

// selectcomboindex = "selectcomboindex" numexpr "," numexpr
void DialogObject::SelectComboIndex() {
    WithIndex(&platform::DialogWindow::SelectComboItem);
}

// addlistarray = "addlistarray" numexpr "," word
void DialogObject::AddListArray() {
    FillFromArray(&platform::DialogWindow::AddListItem);
}

// addcomboarray = "addcomboarray" numexpr "," word
void DialogObject::AddComboArray() {
    FillFromArray(&platform::DialogWindow::AddComboItem);
}

// setcheck = "setcheck" numexpr ["," numexpr]: checked (1) without a state.
void DialogObject::SetCheck() {
    int control;
    platform::DialogWindow* w = ReadControl(control);
    int state = program_.Eval().HasNextParam(false) ? ToInt32(program_.Eval().EvalNum()) : 1;
    if (w) w->SetCheck(control, state);
}

// settextarray = "settextarray" numexpr "," word: the elements with a line
// break between them.
void DialogObject::SetTextArray() {
    int control;
    platform::DialogWindow* w = ReadControl(control);
    std::string arrayName = ReadArrayName();
    if (!w) return;
    StringArrayObject* array = program_.FindStringArray(arrayName);
    if (!array) program_.ReportError(kRuntimeKind, msg::kArrayNotFound);
    std::string text;
    for (size_t i = 0; i < array->items.size(); ++i)
        text.append(i ? kLineBreak : std::string_view()).append(array->items[i]);
    w->SetControlText(control, text);
}

// gettextarray = "gettextarray" numexpr "," word
void DialogObject::GetTextArray() {
    int control;
    platform::DialogWindow* w = ReadControl(control);
    std::string arrayName = ReadArrayName();
    if (!w) return;
    std::vector<std::string> lines = SplitDialogLines(w->ControlText(control, kWholeText));
    program_.ClearStringArray(arrayName)->items = std::move(lines);
}

// getlistarray = "getlistarray" numexpr "," word. A single-selection list
// box has no selection count: nothing happens, not even the array's
// creation.
void DialogObject::GetListArray() {
    int control;
    platform::DialogWindow* w = ReadControl(control);
    std::string arrayName = ReadArrayName();
    std::vector<std::string> texts;
    if (!w || !w->SelectedListItems(control, kMaxDialogText, texts)) return;
    program_.ClearStringArray(arrayName)->items = std::move(texts);
}

// getcheck = "getcheck(" numexpr ")"
double DialogObject::GetCheck() {
    int control;
    platform::DialogWindow* w = ReadControl(control);
    if (!w) program_.ReportError(kRuntimeKind, msg::kDialogControlNotFound);
    return w->Check(control);
}

// execute = "execute(" [numexpr] ")". Unattended, or with no screen to show
// it on, a modal execute shows nothing: it names the dialog on standard
// error and answers with its default push button, as message boxes are
// answered with their first button.
double DialogObject::Execute() {
    Evaluator& ev = program_.Eval();
    int waitMode = ev.HasFirstParam(false) ? ToInt32(ev.EvalNum()) : 1;
    if (!window_) program_.ReportError(kRuntimeKind, msg::kDialogNotInitialized);
    if (platform::Unattended() || !window_->Interactive()) {
        if (waitMode == kModeless) return 1;
        if (waitMode < kModeless) return 0;
        if (!platform::ObserveBox(msg::kDialogShown, Name()))
            platform::WriteBoxToStdError(msg::kDialogShown, Name());
        return window_->DefaultPushButton();
    }
    platform::DialogExecution result = window_->Execute(waitMode, program_.parentWindow);
    // A quit message took the window away.
    if (result.windowGone) window_.reset();
    return result.value;
}

std::string DialogObject::ReadText(std::string (platform::DialogWindow::*read)(int, size_t) const) {
    int control;
    platform::DialogWindow* w = ReadControl(control);
    return w ? (w->*read)(control, kMaxDialogText) : std::string();
}

// gettext = "gettext(" numexpr ")", and the same for getlist and getcombo
std::string DialogObject::GetText() {
    return ReadText(&platform::DialogWindow::ControlText);
}

std::string DialogObject::GetList() {
    return ReadText(&platform::DialogWindow::ListSelection);
}

std::string DialogObject::GetCombo() {
    return ReadText(&platform::DialogWindow::ControlText);
}

void DialogObject::SetStringMember(std::string_view name, std::string value) {
    if (!NamesEqual(name, kTitleProperty)) return ScriptObject::SetStringMember(name, std::move(value));
    if (window_) window_->SetCaption(value);
}

std::string DialogObject::GetStringMember(std::string_view name) {
    if (!NamesEqual(name, kTitleProperty)) return ScriptObject::GetStringMember(name);
    return window_ ? window_->Caption() : std::string();
}

void DialogObject::SetNumMember(std::string_view name, double value) {
    if (NamesEqual(name, kHandleProperty)) program_.ReportError(kRuntimeKind, msg::kHandleReadOnly);
    ScriptObject::SetNumMember(name, value);
}

double DialogObject::GetNumMember(std::string_view name) {
    if (!NamesEqual(name, kHandleProperty)) return ScriptObject::GetNumMember(name);
    return window_ ? double(reinterpret_cast<uintptr_t>(window_->NativeHandle())) : 0;
}

}  // namespace tallow
