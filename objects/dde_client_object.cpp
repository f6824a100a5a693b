// The ddeclient object's members: execute raises when the object has no
// conversation; request never raises and gives "" for anything it cannot
// read.
#include "dde_client_object.h"

#include "core/program.h"
#include "expr/member_table.h"

namespace tallow {

namespace {

constexpr StatementMember kStatements[] = {
    {"execute", 1, Call<&DdeClientObject::Execute>},
};
constexpr StringFunctionMember kStringFunctions[] = {
    {"request", 1, Call<&DdeClientObject::Request>},
};
constexpr MemberTable kMembers{kStatements, {}, kStringFunctions};
static_assert(IdsInOrder(kMembers));

}  // namespace

DdeClientObject::DdeClientObject(Program& program, std::string name,
                                 std::unique_ptr<platform::DdeConversation> conversation)
    : ScriptObject(program, std::move(name)), conversation_(std::move(conversation)) {
    AddMembers(kMembers);
}

// execute = "execute" strexpr
void DdeClientObject::Execute() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    std::string command = ev.EvalString();
    if (!conversation_) program_.ReportError(kRuntimeKind, msg::kDdeNotActive);
    conversation_->Execute(command);
}

// request = "request(" strexpr ")"
std::string DdeClientObject::Request() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    std::string item = ev.EvalString();
    if (!conversation_) return std::string();
    return conversation_->Request(item).value_or(std::string());
}

ScriptObject* DdeClientFactory::Create(const std::string& name) {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    std::string service = ev.EvalString();
    ev.HasNextParam(true);
    std::string topic = ev.EvalString();
    platform::DdeOpenStatus status;
    auto conversation = platform::OpenDdeConversation(service, topic, status);
    auto* object = new DdeClientObject(program_, name, std::move(conversation));
    if (status == platform::DdeOpenStatus::kConnected) return object;
    program_.AddDynamic(object, this);
    program_.ReportError(kRuntimeKind, status == platform::DdeOpenStatus::kNoTransport
                                           ? msg::kDdeCannotInitialize
                                           : msg::kDdeCannotConnect);
}

}  // namespace tallow
