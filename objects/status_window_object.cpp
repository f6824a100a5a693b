// The status object's members. The model holds what the window shows; each
// member changes the model and has the window show the change.
#include "status_window_object.h"

#include "core/messages.h"
#include "core/program.h"
#include "expr/member_table.h"

namespace tallow {

namespace {

constexpr StatementMember kStatements[] = {
    {"show", 1, Call<&StatusWindowObject::Show>},
    {"hide", 2, Call<&StatusWindowObject::Hide>},
    {"setcaption", 3, Call<&StatusWindowObject::SetCaption>},
    {"setmessage", 4, Call<&StatusWindowObject::SetMessage>},
    {"setpercent", 5, Call<&StatusWindowObject::SetPercent>},
};
constexpr MemberTable kMembers{kStatements, {}, {}};
static_assert(IdsInOrder(kMembers));

constexpr std::string_view kTitleProperty = "title";
constexpr std::string_view kMessageProperty = "message";
constexpr std::string_view kPercentProperty = "percent";
constexpr std::string_view kHandleProperty = "handle";

}  // namespace

StatusWindowObject::StatusWindowObject(Program& program)
    : ScriptObject(program, "status"), window_(platform::MakeStatusWindow(&program.parentWindow)) {
    AddMembers(kMembers);
    if (window_) window_->SetCaption(model_.Title());
}

StatusWindowObject::~StatusWindowObject() {
    if (window_) window_->Hide(program_.parentWindow);
}

// show = "show". The bar starts at 0 whenever the window shows, and so does
// the percent that the script reads back.
void StatusWindowObject::Show() {
    if (!window_) program_.ReportError(kRuntimeKind, msg::kDialogNotInitialized);
    model_.ResetPercent();
    window_->Show(program_.parentWindow);
}

// hide = "hide"
void StatusWindowObject::Hide() {
    if (window_) window_->Hide(program_.parentWindow);
}

// setcaption = "setcaption" strexpr
void StatusWindowObject::SetCaption() {
    program_.Eval().HasFirstParam(true);
    ChangeTitle(program_.Eval().EvalString());
}

// setmessage = "setmessage" strexpr
void StatusWindowObject::SetMessage() {
    program_.Eval().HasFirstParam(true);
    ChangeMessage(program_.Eval().EvalString());
}

// setpercent = "setpercent" numexpr
void StatusWindowObject::SetPercent() {
    program_.Eval().HasFirstParam(true);
    ChangePercent(program_.Eval().EvalNum());
}

void StatusWindowObject::ChangeTitle(std::string text) {
    model_.SetTitle(std::move(text));
    if (window_) window_->SetCaption(model_.Title());
}

void StatusWindowObject::ChangeMessage(std::string text) {
    model_.SetMessage(std::move(text));
    if (window_) window_->SetMessage(model_.Message());
}

// An out-of-range value leaves the percent and shows it again.
void StatusWindowObject::ChangePercent(double value) {
    int percent = model_.SetPercent(value);
    if (window_) window_->SetPercent(percent);
}

void StatusWindowObject::SetStringMember(std::string_view name, std::string value) {
    if (NamesEqual(name, kTitleProperty)) return ChangeTitle(std::move(value));
    if (NamesEqual(name, kMessageProperty)) return ChangeMessage(std::move(value));
    ScriptObject::SetStringMember(name, std::move(value));
}

std::string StatusWindowObject::GetStringMember(std::string_view name) {
    if (NamesEqual(name, kTitleProperty)) return model_.Title();
    if (NamesEqual(name, kMessageProperty)) return model_.Message();
    return ScriptObject::GetStringMember(name);
}

void StatusWindowObject::SetNumMember(std::string_view name, double value) {
    if (NamesEqual(name, kHandleProperty)) program_.ReportError(kRuntimeKind, msg::kHandleReadOnly);
    if (NamesEqual(name, kPercentProperty)) return ChangePercent(value);
    ScriptObject::SetNumMember(name, value);
}

double StatusWindowObject::GetNumMember(std::string_view name) {
    if (NamesEqual(name, kPercentProperty)) return model_.Percent();
    if (NamesEqual(name, kHandleProperty))
        return window_ ? double(reinterpret_cast<uintptr_t>(window_->NativeHandle())) : 0;
    return ScriptObject::GetNumMember(name);
}

}  // namespace tallow
