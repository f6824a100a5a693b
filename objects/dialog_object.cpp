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

constexpr MemberName kStatements[] = {
    {"setcaption", kDlgSetCaption},
    {"setfocus", kDlgSetFocus},
    {"settext", kDlgSetText},
    {"settextarray", kDlgSetTextArray},
    {"gettextarray", kDlgGetTextArray},
    {"addlist", kDlgAddList},
    {"addlistarray", kDlgAddListArray},
    {"getlistarray", kDlgGetListArray},
    {"selectlistindex", kDlgSelectListIndex},
    {"clearlist", kDlgClearList},
    {"addcombo", kDlgAddCombo},
    {"addcomboarray", kDlgAddComboArray},
    {"selectcomboindex", kDlgSelectComboIndex},
    {"clearcombo", kDlgClearCombo},
    {"setcheck", kDlgSetCheck},
    {"close", kDlgClose},
};
static_assert(std::size(kStatements) == kDialogStatementCount, "dialog statement table out of step");

constexpr MemberName kNumFunctions[] = {{"execute", kDlgExecute}, {"getcheck", kDlgGetCheck}};
constexpr MemberName kStringFunctions[] = {
    {"gettext", kDlgGetText}, {"getlist", kDlgGetList}, {"getcombo", kDlgGetCombo}};

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
    for (const MemberName& m : kStatements)
        AddStatement(m.name, m.id);
    for (const MemberName& m : kNumFunctions)
        AddNumFunction(m.name, m.id);
    for (const MemberName& m : kStringFunctions)
        AddStringFunction(m.name, m.id);
}

// A dialog still shown gives the program its earlier owner window back.
DialogObject::~DialogObject() {
    if (window_ && window_->Visible()) window_->Close(program_.parentWindow);
}

int DialogObject::ReadId() {
    return ToInt32(program_.Eval().EvalNum());
}

// member id, array: every element of the string array, in order.
void DialogObject::FillFromArray(int id, void (platform::DialogWindow::*add)(int, const std::string&)) {
    std::string arrayName = program_.Eval().ReadName();
    if (!window_ || !window_->HasControl(id)) return;
    StringArrayObject* array = program_.FindStringArray(arrayName);
    if (!array) program_.ReportError(kRuntimeKind, msg::kArrayNotFound);
    // A copy: the array is the script's, and stays as it is.
    std::vector<std::string> items = array->items;
    for (const std::string& item : items)
        (window_.get()->*add)(id, item);
}

void DialogObject::ProcessStatement(int id) {
    Evaluator& ev = program_.Eval();
    if (id == kDlgClose) {
        // close
        if (window_) window_->Close(program_.parentWindow);
        return;
    }
    if (id == kDlgSetCaption) {
        // setcaption = "setcaption" strexpr
        ev.HasFirstParam(true);
        std::string text = ev.EvalString();
        if (window_) window_->SetCaption(text);
        return;
    }
    if (id < kDlgSetCaption || id > kDialogStatementCount) return ScriptObject::ProcessStatement(id);
    // Every other statement: member numexpr ["," (strexpr | numexpr | word)]
    ev.HasFirstParam(true);
    int control = ReadId();
    platform::DialogWindow* w = window_.get();
    bool found = w && w->HasControl(control);
    switch (id) {
        case kDlgSetFocus:
            if (found) w->FocusControl(control);
            return;
        case kDlgClearList:
            if (found) w->ClearList(control);
            return;
        case kDlgClearCombo:
            if (found) w->ClearCombo(control);
            return;
        case kDlgSetCheck: {
            int state = ev.HasNextParam(false) ? ToInt32(ev.EvalNum()) : 1;
            if (found) w->SetCheck(control, state);
            return;
        }
        case kDlgSelectListIndex:
        case kDlgSelectComboIndex: {
            ev.HasNextParam(true);
            int index = ToInt32(ev.EvalNum());
            if (!found) return;
            if (id == kDlgSelectListIndex) w->SelectListItem(control, index);
            if (id == kDlgSelectComboIndex) w->SelectComboItem(control, index);
            return;
        }
        case kDlgSetText:
        case kDlgAddList:
        case kDlgAddCombo: {
            ev.HasNextParam(true);
            std::string text = ev.EvalString();
            if (!found) return;
            if (id == kDlgSetText) w->SetControlText(control, text);
            if (id == kDlgAddList) w->AddListItem(control, text);
            if (id == kDlgAddCombo) w->AddComboItem(control, text);
            return;
        }
        case kDlgAddListArray:
            ev.HasNextParam(true);
            return FillFromArray(control, &platform::DialogWindow::AddListItem);
        case kDlgAddComboArray:
            ev.HasNextParam(true);
            return FillFromArray(control, &platform::DialogWindow::AddComboItem);
        case kDlgSetTextArray: {
            ev.HasNextParam(true);
            std::string arrayName = ev.ReadName();
            if (!found) return;
            StringArrayObject* array = program_.FindStringArray(arrayName);
            if (!array) program_.ReportError(kRuntimeKind, msg::kArrayNotFound);
            std::string text;
            for (size_t i = 0; i < array->items.size(); ++i)
                text.append(i ? kLineBreak : std::string_view()).append(array->items[i]);
            w->SetControlText(control, text);
            return;
        }
        case kDlgGetTextArray: {
            ev.HasNextParam(true);
            std::string arrayName = ev.ReadName();
            if (!found) return;
            std::vector<std::string> lines = SplitDialogLines(w->ControlText(control, kWholeText));
            program_.ClearStringArray(arrayName)->items = std::move(lines);
            return;
        }
        case kDlgGetListArray: {
            ev.HasNextParam(true);
            std::string arrayName = ev.ReadName();
            std::vector<std::string> texts;
            // A single-selection list box has no selection count: nothing
            // happens, not even the array's creation.
            if (!found || !w->SelectedListItems(control, kMaxDialogText, texts)) return;
            program_.ClearStringArray(arrayName)->items = std::move(texts);
            return;
        }
    }
}

double DialogObject::ProcessNumFunction(int id) {
    Evaluator& ev = program_.Eval();
    switch (id) {
        case kDlgExecute:
            return Execute();
        case kDlgGetCheck: {
            // getcheck = "getcheck(" numexpr ")"
            ev.HasFirstParam(true);
            int control = ReadId();
            if (!window_ || !window_->HasControl(control))
                program_.ReportError(kRuntimeKind, msg::kDialogControlNotFound);
            return window_->Check(control);
        }
        default:
            return ScriptObject::ProcessNumFunction(id);
    }
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

std::string DialogObject::ProcessStringFunction(int id) {
    if (id < kDlgGetText || id > kDlgGetCombo) return ScriptObject::ProcessStringFunction(id);
    // gettext = "gettext(" numexpr ")", and the same for getlist and getcombo
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    int control = ReadId();
    if (!window_ || !window_->HasControl(control)) return std::string();
    if (id == kDlgGetList) return window_->ListSelection(control, kMaxDialogText);
    return window_->ControlText(control, kMaxDialogText);
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
