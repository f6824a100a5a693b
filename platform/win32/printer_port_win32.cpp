// Printer ports on Windows: every name, device or file, opens as a C stream
// does, so PRN and LPT1 to LPT9 reach the devices the system maps them to.
#include "platform/confinement.h"
#include "platform/printer_port.h"

namespace tallow::platform {

std::unique_ptr<PrinterPort> OpenPrinterPort(const std::string& name) {
    if (Confined() && IsPrinterDeviceName(name)) return nullptr;
    return OpenPrinterFile(name);
}

}  // namespace tallow::platform
