// Printer objects: plain text to a printer device or a file. The built-in
// object `printer` is bound to the default printer "prn"; the creatable type
// printer binds a new object to the device or file named in `new`.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "expr/script_object.h"
#include "platform/printer_port.h"

namespace tallow {

namespace msg {
constexpr const char kCouldNotOpenPrinterPort[] = "Could not open printer port!";
constexpr const char kPrinterNotInitialized[] = "Printer not initialized!";
constexpr const char kErrorWritingToPrinter[] = "Error writing to printer!";
}  // namespace msg

// Text as a printer receives it: every line feed preceded by a carriage
// return (as a text-mode stream writes it, so a CR LF in the text becomes
// CR CR LF there too).
std::string PrinterText(std::string_view text);

class PrinterObject : public ScriptObject {
public:
    // Registers under name; port may be null (a printer that could not be
    // opened, whose writestring reports "Printer not initialized!").
    PrinterObject(Program& program, std::string name, std::unique_ptr<platform::PrinterPort> port);
    // The built-in object: "printer" on "prn"; no error when that cannot open.
    explicit PrinterObject(Program& program);

    // The member of its table; it reads its own parameter.
    void WriteString();

private:
    std::unique_ptr<platform::PrinterPort> port_;
};

// new name as printer strexpr: the device or file, opened (a file created
// or truncated) or "Could not open printer port!".
class PrinterFactory : public ObjectFactory {
public:
    explicit PrinterFactory(Program& program) : ObjectFactory(program, "printer") {}
    ScriptObject* Create(const std::string& name) override;
};

}  // namespace tallow
