// The port object's members. Writes raise their errors; waits and line reads
// never do, they give 0 or "" at their deadline.
#include "objects/serial_port_object.h"

#include <iterator>

#include "core/messages.h"
#include "core/program.h"
#include "expr/member_table.h"
#include "expr/operators.h"
#include "objects/stream_members.h"
#include "platform/confinement.h"
#include "platform/file_system.h"

namespace tallow {

namespace {

constexpr MemberName kStatements[] = {
    {"setstate", kPortSetState}, {"writestring", kPortWriteString}, {"flush", kPortFlush}};
static_assert(std::size(kStatements) == kPortStatementCount, "port statement table out of step");
constexpr MemberName kNumFunctions[] = {{"waitfor", kPortWaitFor},
                                        {"waitformany", kPortWaitForMany},
                                        {"rasdial", kPortRasDial},
                                        {"writebuffer", kPortWriteBuffer},
                                        {"readbuffer", kPortReadBuffer}};
static_assert(std::size(kNumFunctions) == kPortNumFunctionCount, "port function table out of step");
constexpr MemberName kStringFunctions[] = {{"readstring", kPortReadString}};

}  // namespace

bool SerialPortObject::Source::ReadByte(char& byte) {
    return port_.Read(&byte, 1) == 1;
}

void SerialPortObject::Source::Await(uint32_t milliseconds) {
    port_.AwaitInput(milliseconds);
}

uint32_t SerialPortObject::Source::Now() {
    return platform::TickCount();
}

SerialPortObject::SerialPortObject(Program& program, std::string name, std::string portName,
                                   std::unique_ptr<platform::SerialPort> port)
    : ScriptObject(program, std::move(name)),
      portName_(std::move(portName)),
      port_(std::move(port)),
      source_(*port_) {
    for (const MemberName& m : kStatements)
        AddStatement(m.name, m.id);
    for (const MemberName& m : kNumFunctions)
        AddNumFunction(m.name, m.id);
    for (const MemberName& m : kStringFunctions)
        AddStringFunction(m.name, m.id);
}

void SerialPortObject::SetState() {
    // setstate = "setstate" numexpr "," word "," numexpr "," numexpr
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

void SerialPortObject::ProcessStatement(int id) {
    switch (id) {
        case kPortSetState:
            return SetState();
        case kPortWriteString: {
            // writestring = "writestring" strexpr
            Evaluator& ev = program_.Eval();
            ev.HasFirstParam(true);
            std::string text = ev.EvalString();
            if (port_->Write(text.data(), text.size()) != long(text.size()))
                program_.ReportError(kRuntimeKind, msg::kSerialWriteFailed);
            return;
        }
        case kPortFlush:
            // flush = "flush"
            return DiscardWaiting(source_);
    }
    ScriptObject::ProcessStatement(id);
}

double SerialPortObject::ProcessNumFunction(int id) {
    switch (id) {
        case kPortWaitFor:
            return StreamWaitFor(program_, source_);
        case kPortWaitForMany:
            return StreamWaitForMany(program_, source_);
        case kPortRasDial:
            // rasdial = "rasdial(" ")": dialling is not done here.
            return 0;
        case kPortWriteBuffer: {
            // writebuffer = "writebuffer(" numexpr "," numexpr ")"
            HeapRange range = ReadHeapRange(program_);
            long written = port_->Write(range.data, range.size);
            if (written < 0) program_.ReportError(kRuntimeKind, msg::kPortWriteFailed);
            return double(written);
        }
        case kPortReadBuffer: {
            // readbuffer = "readbuffer(" numexpr "," numexpr ")"
            HeapRange range = ReadHeapRange(program_);
            long read = port_->Read(range.data, range.size);
            if (read < 0) program_.ReportError(kRuntimeKind, msg::kPortReadFailed);
            return double(read);
        }
    }
    return ScriptObject::ProcessNumFunction(id);
}

std::string SerialPortObject::ProcessStringFunction(int id) {
    if (id == kPortReadString) return StreamReadString(program_, source_);
    return ScriptObject::ProcessStringFunction(id);
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
