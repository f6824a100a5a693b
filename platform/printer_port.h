// Where printer objects send their text: a printer device or a file. Bytes
// are written as they are; the caller does any line-end conversion.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tallow::platform {

class PrinterPort {
public:
    virtual ~PrinterPort() = default;
    // Writes the bytes, buffered: they reach the device at the latest when
    // the port is destroyed. False when not all of them could be written
    // (an error of an earlier buffered write may show here).
    virtual bool Write(std::string_view bytes) = 0;
};

// The printer device names: "prn" and "lpt1" to "lpt9", in any case, with
// or without a colon after them.
bool IsPrinterDeviceName(std::string_view name);

// Opens name for writing. Windows opens every name as the system does (a
// device such as PRN or LPT2, or a file). Linux sends the printer device
// names to the default print queue through the lp command, and there is no
// such port where lp cannot be found; any other name is a file. A file is
// created or truncated. Null when it cannot be opened; a confined process
// opens only files whose paths it may touch.
std::unique_ptr<PrinterPort> OpenPrinterPort(const std::string& name);

// A file opened for writing as OpenPrinterPort opens files, on both targets.
std::unique_ptr<PrinterPort> OpenPrinterFile(const std::string& path);

}  // namespace tallow::platform
