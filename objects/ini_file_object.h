// Objects of the type `inifile`: an initialisation file of sections and keys,
// named at creation (the FileName property changes it), read and written
// through the system's profile services. No file stays open between calls.
#pragma once

#include <string>

#include "expr/script_object.h"

namespace tallow {

namespace msg {
constexpr const char kIniNeedsFileName[] = "IniFile object needs filename!";
constexpr const char kIniWriteNumber[] = "Could not write number to INI!";
constexpr const char kIniWriteString[] = "Could not write string to INI!";
constexpr const char kIniDeleteSection[] = "Could not delete section from INI!";
}  // namespace msg

class IniFileObject : public ScriptObject {
public:
    IniFileObject(Program& program, std::string name, std::string fileName);

    // FileName: the file every member uses; a new name is taken untested.
    void SetStringMember(std::string_view name, std::string value) override;
    std::string GetStringMember(std::string_view name) override;

    // The members of its table, one per id; each reads its own parameters.
    void WriteNum();
    void WriteString();
    void DeleteSection();
    void ReadKeyNames();
    void ReadSectionNames();
    double ReadNum();
    std::string ReadString();

private:
    void Write(const std::string& section, const std::string& key, const std::string& value,
               const char* message);

    std::string fileName_;
};

// The type `inifile`: new name as inifile strexpr.
class IniFileFactory : public ObjectFactory {
public:
    explicit IniFileFactory(Program& program) : ObjectFactory(program, "inifile") {}
    // Without the file name: "IniFile object needs filename!" (kind 1).
    ScriptObject* Create(const std::string& name) override;
};

}  // namespace tallow
