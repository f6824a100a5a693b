// The "Register Extension" command without a window: choose a ".tlx" file,
// load it, call its RegisterExtension export, unload it, and tell the user.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "ide/model/document_host.h"

namespace tallow::ide {

// A loaded library; destroying it unloads it.
class ExtensionLibrary {
public:
    virtual ~ExtensionLibrary() = default;
    virtual bool HasRegisterExtension() = 0;
    virtual int CallRegisterExtension() = 0;
};

class ExtensionRegistrationHost {
public:
    virtual ~ExtensionRegistrationHost() = default;
    virtual std::optional<std::string> ChooseExtension(const FileDialogRequest& request) = 0;
    // Nothing when the file cannot be loaded as a library.
    virtual std::unique_ptr<ExtensionLibrary> Load(const std::string& path) = 0;
    virtual void ShowError(const std::string& text) = 0;
    virtual void ShowInformation(const std::string& text) = 0;
};

enum class RegistrationResult { Cancelled, LoadFailed, NoEntryPoint, Refused, Registered };

// The chooser as the command shows it.
FileDialogRequest RegisterExtensionRequest();
// Runs the command; the library is unloaded before any message is shown.
RegistrationResult RegisterExtensionCommand(ExtensionRegistrationHost& host);

}  // namespace tallow::ide
