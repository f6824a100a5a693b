// The order in which a program's built-in objects and creatable types are
// made. Each creatable type's factory registers under its type name; each
// built-in object under its own name.
#include "service_objects.h"

#include "core/program.h"
#include "objects/application_object.h"
#include "objects/clipboard_object.h"
#include "objects/clock_object.h"
#include "objects/dde_client_object.h"
#include "objects/dll_object.h"
#include "objects/heap_object.h"
#include "objects/ini_file_object.h"
#include "objects/mailslot_object.h"
#include "objects/printer_object.h"
#include "objects/registry_object.h"
#include "objects/serial_port_object.h"
#include "objects/socket_object.h"
#include "objects/status_window_object.h"

namespace tallow {

ServiceObjects::ServiceObjects(Program& program) {
    // The built-in clock object.
    Add<ClockObject>(program);
    // The creatable type ddeclient.
    AddFactory<DdeClientFactory>(program);
    // The built-in printer object and the creatable type printer.
    Add<PrinterObject>(program);
    AddFactory<PrinterFactory>(program);
    // The built-in clipboard object.
    Add<ClipboardObject>(program);
    // The creatable type inifile.
    AddFactory<IniFileFactory>(program);
    // The built-in registry object and the creatable type registry.
    Add<RegistryObject>(program);
    AddFactory<RegistryFactory>(program);
    // The creatable types port, mailslot and socket.
    AddFactory<SerialPortFactory>(program);
    AddFactory<MailslotFactory>(program);
    AddFactory<SocketFactory>(program);
    // The built-in status object.
    Add<StatusWindowObject>(program);
    // The creatable type dll.
    AddFactory<DllFactory>(program);
    // The built-in Heap object.
    Add<HeapObject>(program);
    // The built-in application object.
    Add<ApplicationObject>(program);
}

ServiceObjects::~ServiceObjects() {
    while (!entries_.empty())
        entries_.pop_back();
}

}  // namespace tallow
