// The base behaviour of script objects and factories.
#include "script_object.h"

#include "core/messages.h"
#include "core/program.h"

namespace tallow {

ScriptObject::ScriptObject(Program& program, std::string name)
    : numMembers(&program), strMembers(&program), program_(program), name_(std::move(name)) {
    if (!name_.empty()) program_.RegisterObject(this);
}

ScriptObject::~ScriptObject() {
    if (!name_.empty()) program_.UnregisterObject(this);
}

ObjectHold::~ObjectHold() {
    if (--object_.holds_ > 0 || !object_.destroyWhenFree_) return;
    ObjectFactory* factory = object_.destroyWhenFree_;
    object_.destroyWhenFree_ = nullptr;
    factory->Destroy(&object_);
}

void ScriptObject::AddMembers(const MemberTable& table) {
    members_ = &table;
    for (const StatementMember& m : table.statements)
        AddStatement(m.name, m.id);
    for (const NumFunctionMember& m : table.numFunctions)
        AddNumFunction(m.name, m.id);
    for (const StringFunctionMember& m : table.stringFunctions)
        AddStringFunction(m.name, m.id);
}

void ScriptObject::ProcessStatement(int id) {
    const StatementMember* m = members_ ? MemberWithId(members_->statements, id) : nullptr;
    if (!m || !m->handler) program_.ReportError(kSyntaxKind, msg::kUnknownStatement);
    m->handler(*this);
}

double ScriptObject::ProcessNumFunction(int id) {
    const NumFunctionMember* m = members_ ? MemberWithId(members_->numFunctions, id) : nullptr;
    if (!m || !m->handler) program_.ReportError(kSyntaxKind, msg::kUnknownNumFunction);
    return m->handler(*this);
}

std::string ScriptObject::ProcessStringFunction(int id) {
    const StringFunctionMember* m = members_ ? MemberWithId(members_->stringFunctions, id) : nullptr;
    if (!m || !m->handler) program_.ReportError(kSyntaxKind, msg::kUnknownStringFunction);
    return m->handler(*this);
}

void ScriptObject::SetStringMember(std::string_view name, std::string value) {
    strMembers.Set(name, std::move(value));
}

std::string ScriptObject::GetStringMember(std::string_view name) {
    return strMembers.Get(name);
}

void ScriptObject::SetNumMember(std::string_view name, double value) {
    numMembers.Set(name, value);
}

double ScriptObject::GetNumMember(std::string_view name) {
    return numMembers.Get(name);
}

void ScriptObject::ClearMembers() {
    numMembers.Clear();
    strMembers.Clear();
}

ObjectFactory::ObjectFactory(Program& program, std::string typeName)
    : program_(program), name_(std::move(typeName)) {
    program_.RegisterFactory(this);
}

ObjectFactory::~ObjectFactory() {
    program_.UnregisterFactory(this);
}

}  // namespace tallow
