// The "Register Extension" command.
#include "ide/model/extension_registration.h"

#include "ide/model/ide_messages.h"

namespace tallow::ide {

FileDialogRequest RegisterExtensionRequest() {
    FileDialogRequest request;
    request.title = "Register Extension";
    request.filter = "Tallow Extensions|*.tlx";
    request.defaultExtension = "tlx";
    request.fileMustExist = true;  // the path must exist
    return request;
}

RegistrationResult RegisterExtensionCommand(ExtensionRegistrationHost& host) {
    std::optional<std::string> path = host.ChooseExtension(RegisterExtensionRequest());
    if (!path) return RegistrationResult::Cancelled;
    std::unique_ptr<ExtensionLibrary> library = host.Load(*path);
    if (!library) {
        host.ShowError(msg::kCouldNotLoadExtension);
        return RegistrationResult::LoadFailed;
    }
    RegistrationResult result = RegistrationResult::Registered;
    if (!library->HasRegisterExtension())
        result = RegistrationResult::NoEntryPoint;
    else if (library->CallRegisterExtension() == 0)
        result = RegistrationResult::Refused;
    library.reset();
    switch (result) {
        case RegistrationResult::NoEntryPoint:
            host.ShowError(msg::kCannotSelfRegister);
            break;
        case RegistrationResult::Refused:
            host.ShowError(msg::kFailedToSelfRegister);
            break;
        default:
            host.ShowInformation(msg::kExtensionRegistered);
    }
    return result;
}

}  // namespace tallow::ide
