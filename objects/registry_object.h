// The registry object: the built-in `registry`, whose members take a full key
// path first on every call, and objects of the type `registry`, each bound
// to one key path given at creation (the KeyName property changes it). No
// key stays open between calls.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "expr/script_object.h"
#include "platform/registry.h"

namespace tallow {

namespace msg {
constexpr const char kRegistryWriteString[] = "Error writing string to registry!";
constexpr const char kRegistryWriteNumber[] = "Error writing number to registry!";
constexpr const char kRegistryDeleteSection[] = "Error deleting section from registry!";
constexpr const char kKeyNameReadOnly[] = "Property KeyName is read-only!";
}  // namespace msg

// A full key path split into its root and the key below it.
struct RegistryPath {
    std::optional<platform::RegistryRoot> root;  // none: the path has no root word, and every call fails
    std::string keyName;                         // the path below the root
};

// Splits path at its first backslash. Without one, or with one in front,
// there is no root and keyName is the whole path. Otherwise the root word
// before it selects, by what its lower case contains, in this order:
// "current" the current user, "local" the local machine, "users" the users;
// any other word the classes root (so "HKCU" too).
RegistryPath SplitRegistryPath(std::string_view path);

class RegistryObject : public ScriptObject {
public:
    // The built-in object "registry".
    explicit RegistryObject(Program& program);
    // An object of the type, bound to the key at path; writebuffer and
    // readbuffer are not its members.
    RegistryObject(Program& program, std::string name, std::string_view path);

    // KeyName: the bound key below its root; "" and read-only on the
    // built-in object.
    void SetStringMember(std::string_view name, std::string value) override;
    std::string GetStringMember(std::string_view name) override;

    // The members of its table, one per id; each reads its own parameters.
    void WriteString();
    void WriteNum();
    void DeleteSection();
    void WriteBuffer();
    double ReadNum();
    double ReadBuffer();
    std::string ReadString();

private:
    RegistryPath ReadKeyAndValueName(std::string& valueName);
    void Write(const RegistryPath& key, const std::string& valueName, uint32_t type, std::string_view data,
               const char* message);
    bool Query(const RegistryPath& key, const std::string& valueName, std::string& data);

    bool bound_;
    RegistryPath path_;
};

// The type `registry`: new name as registry strexpr.
class RegistryFactory : public ObjectFactory {
public:
    explicit RegistryFactory(Program& program) : ObjectFactory(program, "registry") {}
    ScriptObject* Create(const std::string& name) override;
};

}  // namespace tallow
