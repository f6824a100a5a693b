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

void ScriptObject::ProcessStatement(int) {
    program_.ReportError(kSyntaxKind, msg::kUnknownStatement);
}

double ScriptObject::ProcessNumFunction(int) {
    program_.ReportError(kSyntaxKind, msg::kUnknownNumFunction);
}

std::string ScriptObject::ProcessStringFunction(int) {
    program_.ReportError(kSyntaxKind, msg::kUnknownStringFunction);
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
