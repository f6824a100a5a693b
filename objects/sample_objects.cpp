#include "objects/sample_objects.h"

#include "core/program.h"
#include "expr/num_array.h"
#include "expr/string_array.h"
#include "objects/dde_client_object.h"
#include "objects/dll_object.h"
#include "objects/ini_file_object.h"
#include "objects/mailslot_object.h"
#include "objects/printer_object.h"
#include "objects/registry_object.h"
#include "objects/serial_port_object.h"
#include "objects/socket_object.h"

namespace tallow {

const std::map<std::string, SampleObjectMaker>& SampleObjectMakers() {
    static const std::map<std::string, SampleObjectMaker> makers = {
        {"ddeclient", [](Program& p) { return std::make_unique<DdeClientObject>(p, "", nullptr); }},
        {"dll", [](Program& p) { return std::make_unique<DllObject>(p, "", platform::Library()); }},
        {"inifile", [](Program& p) { return std::make_unique<IniFileObject>(p, "", "names.ini"); }},
        {"mailslot",
         [](Program& p) {
             return std::make_unique<MailslotObject>(p, "", std::make_unique<platform::Mailslot>());
         }},
        {"numarray", [](Program& p) { return std::make_unique<NumArrayObject>(p, ""); }},
        {"port",
         [](Program& p) {
             return std::make_unique<SerialPortObject>(p, "", "", std::make_unique<platform::SerialPort>());
         }},
        {"printer", [](Program& p) { return std::make_unique<PrinterObject>(p, "", nullptr); }},
        {"registry",
         [](Program& p) { return std::make_unique<RegistryObject>(p, "", "HKEY_CURRENT_USER\\x"); }},
        {"socket", [](Program& p) { return std::make_unique<SocketObject>(p, ""); }},
        {"stringarray", [](Program& p) { return std::make_unique<StringArrayObject>(p, ""); }},
    };
    return makers;
}

}  // namespace tallow
