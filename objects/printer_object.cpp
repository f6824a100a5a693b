// The printer objects' one member and the creatable type.
#include "printer_object.h"

#include "core/messages.h"
#include "core/program.h"
#include "expr/member_table.h"

namespace tallow {

namespace {

constexpr StatementMember kStatements[] = {
    {"writestring", 1, Call<&PrinterObject::WriteString>},
};
constexpr MemberTable kMembers{kStatements, {}, {}};
static_assert(IdsInOrder(kMembers));

constexpr const char kDefaultPrinter[] = "prn";

}  // namespace

std::string PrinterText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

PrinterObject::PrinterObject(Program& program, std::string name, std::unique_ptr<platform::PrinterPort> port)
    : ScriptObject(program, std::move(name)), port_(std::move(port)) {
    AddMembers(kMembers);
}

PrinterObject::PrinterObject(Program& program)
    : PrinterObject(program, "printer", platform::OpenPrinterPort(kDefaultPrinter)) {}

// writestring = "writestring" strexpr
void PrinterObject::WriteString() {
    program_.Eval().HasFirstParam(true);
    std::string text = program_.Eval().EvalString();
    if (!port_) program_.ReportError(kRuntimeKind, msg::kPrinterNotInitialized);
    if (text.empty()) return;
    if (!port_->Write(PrinterText(text))) program_.ReportError(kRuntimeKind, msg::kErrorWritingToPrinter);
}

ScriptObject* PrinterFactory::Create(const std::string& name) {
    program_.Eval().HasFirstParam(true);
    std::string device = program_.Eval().EvalString();
    std::unique_ptr<platform::PrinterPort> port = platform::OpenPrinterPort(device);
    if (!port) program_.ReportError(kRuntimeKind, msg::kCouldNotOpenPrinterPort);
    return new PrinterObject(program_, name, std::move(port));
}

}  // namespace tallow
