// The port object's members. Writes raise their errors; waits and line reads
// never do, they give 0 or "" at their deadline.
#include "objects/serial_port_object.h"

#include "core/messages.h"
#include "core/program.h"
#include "expr/member_table.h"
#include "expr/operators.h"
#include "platform/confinement.h"

namespace tallow {

namespace {

constexpr StatementMember kStatements[] = {
    {"setstate", 1, Call<&SerialPortObject::SetState>},
    {"writestring", 2, Call<&SerialPortObject::WriteString>},
    {"flush", 3, Call<&StreamObject::Flush>},
};
constexpr NumFunctionMember kNumFunctions[] = {
    {"waitfor", 1, Call<&StreamObject::WaitFor>},
    {"waitformany", 2, Call<&StreamObject::WaitForMany>},
    {"rasdial", 3, Call<&SerialPortObject::RasDial>},
    {"writebuffer", 4, Call<&SerialPortObject::WriteBuffer>},
    {"readbuffer", 5, Call<&SerialPortObject::ReadBuffer>},
};
constexpr StringFunctionMember kStringFunctions[] = {
    {"readstring", 1, Call<&StreamObject::ReadString>},
};
constexpr MemberTable kMembers{kStatements, kNumFunctions, kStringFunctions};
static_assert(IdsInOrder(kMembers));

}  // namespace

bool SerialPortObject::ReadByte(char& byte) {
    return port_->Read(&byte, 1) == 1;
}

void SerialPortObject::Await(uint32_t milliseconds) {
    port_->AwaitInput(milliseconds);
}

SerialPortObject::SerialPortObject(Program& program, std::string name, std::string portName,
                                   std::unique_ptr<platform::SerialPort> port)
    : StreamObject(program, std::move(name)), portName_(std::move(portName)), port_(std::move(port)) {
    AddMembers(kMembers);
}

// setstate = "setstate" numexpr "," word "," numexpr "," numexpr
void SerialPortObject::SetState() {
    Evaluator& ev = program_.Eval();
    platform::LineSettings settings;
    settings.portName = portName_;
    ev.HasFirstParam(true);
    settings.baud = ToInt32(ev.EvalNum());
    ev.HasNextParam(true);
    settings.parity = ev.ReadName();
    ev.HasNextParam(true);
    settings.dataBits = ToInt32(ev.EvalNum());
    ev.HasNextParam(true);
    settings.stopBits = ToInt32(ev.EvalNum());
    if (!port_->SetLine(settings)) program_.ReportError(kRuntimeKind, msg::kCouldNotSetupSerialPort);
}

// writestring = "writestring" strexpr
void SerialPortObject::WriteString() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    std::string text = ev.EvalString();
    if (port_->Write(text.data(), text.size()) != long(text.size()))
        program_.ReportError(kRuntimeKind, msg::kSerialWriteFailed);
}

// rasdial = "rasdial(" ")": dialling is not done here.
double SerialPortObject::RasDial() {
    return 0;
}

// writebuffer = "writebuffer(" numexpr "," numexpr ")"
double SerialPortObject::WriteBuffer() {
    HeapRange range = ReadHeapRange();
    long written = port_->Write(range.data, range.size);
    if (written < 0) program_.ReportError(kRuntimeKind, msg::kPortWriteFailed);
    return double(written);
}

// readbuffer = "readbuffer(" numexpr "," numexpr ")"
double SerialPortObject::ReadBuffer() {
    HeapRange range = ReadHeapRange();
    long read = port_->Read(range.data, range.size);
    if (read < 0) program_.ReportError(kRuntimeKind, msg::kPortReadFailed);
    return double(read);
}

ScriptObject* SerialPortFactory::Create(const std::string& name) {
    // creation = strexpr
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    std::string portName = ev.EvalString();
    auto port = std::make_unique<platform::SerialPort>();
    // Text run confined may not reach devices.
    if (platform::Confined() || !port->Open(portName))
        program_.ReportError(kRuntimeKind, msg::kCouldNotOpenComPort);
    return new SerialPortObject(program_, name, std::move(portName), std::move(port));
}

}  // namespace tallow
