// The status object's members. The model holds what the window shows; each
// member changes the model and has the window show the change.
#include "status_window_object.h"

#include <iterator>

#include "core/messages.h"
#include "core/program.h"
#include "expr/member_table.h"

namespace tallow {

namespace {

enum StatusStatement : int { kShow = 1, kHide, kSetCaption, kSetMessage, kSetPercent };

constexpr MemberName kStatements[] = {
    {"show", kShow},
    {"hide", kHide},
    {"setcaption", kSetCaption},
    {"setmessage", kSetMessage},
    {"setpercent", kSetPercent},
};
static_assert(std::size(kStatements) == kSetPercent, "status statement table out of step");

constexpr std::string_view kTitleProperty = "title";
constexpr std::string_view kMessageProperty = "message";
constexpr std::string_view kPercentProperty = "percent";
constexpr std::string_view kHandleProperty = "handle";

}  // namespace

StatusWindowObject::StatusWindowObject(Program& program)
    : ScriptObject(program, "status"), window_(platform::MakeStatusWindow(&program.parentWindow)) {
    for (const MemberName& m : kStatements)
        AddStatement(m.name, m.id);
    if (window_) window_->SetCaption(model_.Title());
}

StatusWindowObject::~StatusWindowObject() {
    if (window_) window_->Hide(program_.parentWindow);
}

void StatusWindowObject::ProcessStatement(int id) {
    Evaluator& ev = program_.Eval();
    switch (id) {
        case kShow:  // show
            return Show();
        case kHide:  // hide
            return Hide();
        case kSetCaption:  // setcaption = "setcaption" strexpr
            ev.HasFirstParam(true);
            return SetTitle(ev.EvalString());
        case kSetMessage:  // setmessage = "setmessage" strexpr
            ev.HasFirstParam(true);
            return SetMessage(ev.EvalString());
        case kSetPercent:  // setpercent = "setpercent" numexpr
            ev.HasFirstParam(true);
            return SetPercent(ev.EvalNum());
        default:
            return ScriptObject::ProcessStatement(id);
    }
}

// The bar starts at 0 whenever the window shows, and so does the percent
// that the script reads back.
void StatusWindowObject::Show() {
    if (!window_) program_.ReportError(kRuntimeKind, msg::kDialogNotInitialized);
    model_.ResetPercent();
    window_->Show(program_.parentWindow);
}

void StatusWindowObject::Hide() {
    if (window_) window_->Hide(program_.parentWindow);
}

void StatusWindowObject::SetTitle(std::string text) {
    model_.SetTitle(std::move(text));
    if (window_) window_->SetCaption(model_.Title());
}

void StatusWindowObject::SetMessage(std::string text) {
    model_.SetMessage(std::move(text));
    if (window_) window_->SetMessage(model_.Message());
}

// An out-of-range value leaves the percent and shows it again.
void StatusWindowObject::SetPercent(double value) {
    int percent = model_.SetPercent(value);
    if (window_) window_->SetPercent(percent);
}

void StatusWindowObject::SetStringMember(std::string_view name, std::string value) {
    if (NamesEqual(name, kTitleProperty)) return SetTitle(std::move(value));
    if (NamesEqual(name, kMessageProperty)) return SetMessage(std::move(value));
    ScriptObject::SetStringMember(name, std::move(value));
}

std::string StatusWindowObject::GetStringMember(std::string_view name) {
    if (NamesEqual(name, kTitleProperty)) return model_.Title();
    if (NamesEqual(name, kMessageProperty)) return model_.Message();
    return ScriptObject::GetStringMember(name);
}

void StatusWindowObject::SetNumMember(std::string_view name, double value) {
    if (NamesEqual(name, kHandleProperty)) program_.ReportError(kRuntimeKind, msg::kHandleReadOnly);
    if (NamesEqual(name, kPercentProperty)) return SetPercent(value);
    ScriptObject::SetNumMember(name, value);
}

double StatusWindowObject::GetNumMember(std::string_view name) {
    if (NamesEqual(name, kPercentProperty)) return model_.Percent();
    if (NamesEqual(name, kHandleProperty))
        return window_ ? double(reinterpret_cast<uintptr_t>(window_->NativeHandle())) : 0;
    return ScriptObject::GetNumMember(name);
}

}  // namespace tallow
