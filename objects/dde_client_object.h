// Objects of the type `ddeclient`: a conversation with a data-exchange
// server, made at creation and held until the object goes. Commands are sent
// with execute; data items read as text with request.
#pragma once

#include <memory>
#include <string>

#include "expr/script_object.h"
#include "platform/dde_client.h"

namespace tallow {

namespace msg {
constexpr const char kDdeCannotInitialize[] = "cannot initialize DDEML";
constexpr const char kDdeCannotConnect[] = "Could not connect to DDE server!";
constexpr const char kDdeNotActive[] = "DDE conversation not active!";
}  // namespace msg

class DdeClientObject : public ScriptObject {
public:
    // conversation may be null: the object then has no conversation, execute
    // raises and request gives "".
    DdeClientObject(Program& program, std::string name,
                    std::unique_ptr<platform::DdeConversation> conversation);

    // The members of its table, one per id; each reads its own parameters.
    void Execute();
    std::string Request();

private:
    std::unique_ptr<platform::DdeConversation> conversation_;
};

// The type `ddeclient`: new name as ddeclient strexpr "," strexpr (service,
// topic).
class DdeClientFactory : public ObjectFactory {
public:
    explicit DdeClientFactory(Program& program) : ObjectFactory(program, "ddeclient") {}
    // When no conversation can be made this raises "cannot initialize DDEML"
    // or "Could not connect to DDE server!" (kind 1), but leaves the object
    // behind without a conversation, so that a script which handles the
    // error still finds it.
    ScriptObject* Create(const std::string& name) override;
};

}  // namespace tallow
