// The socket object's members: each reads all its parameters first, then
// acts on its connection. readstring on an object without a connection
// gives "" quietly; the other members that need one report it.
#include "socket_object.h"

#include "core/main_object.h"
#include "core/messages.h"
#include "core/program.h"
#include "expr/member_table.h"
#include "expr/operators.h"

namespace tallow {

namespace {

constexpr std::string_view kAddressProperty = "address";
constexpr std::string_view kPortProperty = "port";

struct PortConstant {
    const char* name;
    double value;
};

// The well-known TCP ports.
constexpr PortConstant kPortConstants[] = {
    {"ippEcho", 7},   {"ippDayTime", 13},    {"ippFTP", 21},       {"ippTelnet", 23},
    {"ippSMTP", 25},  {"ippNameServer", 42}, {"ippFinger", 79},    {"ippHTTP", 80},
    {"ippPOP2", 109}, {"ippPOP3", 110},      {"ippUUCPPath", 117}, {"ippNNTP", 119},
    {"ippSNMP", 161}, {"ippIRC", 194},       {"ippTalk", 517},     {"ippUUCP", 540},
};

constexpr StatementMember kStatements[] = {
    {"close", 1, Call<&SocketObject::Close>},
    {"connect", 2, Call<&SocketObject::Connect>},
    {"listen", 3, Call<&SocketObject::Listen>},
    {"writestring", 4, Call<&SocketObject::WriteString>},
};
constexpr NumFunctionMember kNumFunctions[] = {
    {"getport", 1, Call<&SocketObject::GetPort>},
    {"waitfor", 2, Call<&SocketObject::WaitFor>},
};
constexpr StringFunctionMember kStringFunctions[] = {
    {"readstring", 1, Call<&SocketObject::ReadString>},
    {"getaddress", 2, Call<&SocketObject::GetAddress>},
};
constexpr MemberTable kMembers{kStatements, kNumFunctions, kStringFunctions};
static_assert(IdsInOrder(kMembers));

}  // namespace

SocketObject::SocketObject(Program& program, std::string name) : ScriptObject(program, std::move(name)) {
    AddMembers(kMembers);
    for (const PortConstant& c : kPortConstants)
        program.Main().constants.Set(c.name, c.value);
    // Connecting fails later if the socket library cannot start.
    platform::StartSockets();
}

void SocketObject::RefuseWhenConnected() {
    if (connection_) program_.ReportError(kRuntimeKind, msg::kSocketAlreadyConnected);
}

LineSocket& SocketObject::Connection() {
    if (!connection_) program_.ReportError(kRuntimeKind, msg::kSocketNotConnected);
    return *connection_;
}

// close: the connection goes, with the lines it received.
void SocketObject::Close() {
    connection_.reset();
}

// connect = "connect" strexpr "," numexpr
void SocketObject::Connect() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    std::string host = ev.EvalString();
    ev.HasNextParam(true);
    int port = ToInt32(ev.EvalNum());
    RefuseWhenConnected();
    connection_ = LineSocket::Connect(host, port, &program_);
    if (!connection_) program_.ReportError(kRuntimeKind, msg::kSocketConnectionFailed);
}

// listen = "listen" strexpr "," numexpr "," numexpr. Waits for one incoming
// connection for the given seconds; an address that cannot be listened on
// fails at once.
void SocketObject::Listen() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    std::string address = ev.EvalString();
    ev.HasNextParam(true);
    int port = ToInt32(ev.EvalNum());
    ev.HasNextParam(true);
    uint64_t milliseconds = WaitMilliseconds(ev.EvalNum());
    RefuseWhenConnected();
    connection_ = LineSocket::AcceptOne(address, port, milliseconds, &program_);
    if (!connection_) program_.ReportError(kRuntimeKind, msg::kSocketConnectionFailed);
}

// writestring = "writestring" strexpr. No line end is added.
void SocketObject::WriteString() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    std::string text = ev.EvalString();
    Connection().Send(text);
}

// readstring = "readstring(" numexpr ")": a line, or "" at the time-out.
std::string SocketObject::ReadString() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    uint64_t milliseconds = WaitMilliseconds(ev.EvalNum());
    std::string line;
    if (connection_) connection_->ReadLine(milliseconds, line);
    return line;
}

// waitfor = "waitfor(" strexpr "," numexpr ")": 1 once a received line
// contains the text, 0 at the time-out.
double SocketObject::WaitFor() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    std::string text = ev.EvalString();
    ev.HasNextParam(true);
    uint64_t milliseconds = WaitMilliseconds(ev.EvalNum());
    return Connection().WaitFor(text, milliseconds) ? 1 : 0;
}

// getport = "getport()": the local port.
double SocketObject::GetPort() {
    std::string address;
    int port = 0;
    if (!Connection().LocalEndpoint(address, port)) program_.ReportError(kRuntimeKind, msg::kSocketPortError);
    return port;
}

// getaddress = "getaddress()": the local address in numeric form.
std::string SocketObject::GetAddress() {
    std::string address;
    int port = 0;
    if (!Connection().LocalEndpoint(address, port))
        program_.ReportError(kRuntimeKind, msg::kSocketAddressError);
    return address;
}

void SocketObject::SetStringMember(std::string_view name, std::string value) {
    if (NamesEqual(name, kAddressProperty)) program_.ReportError(kRuntimeKind, msg::kSocketAddressReadOnly);
    ScriptObject::SetStringMember(name, std::move(value));
}

std::string SocketObject::GetStringMember(std::string_view name) {
    if (NamesEqual(name, kAddressProperty)) return GetAddress();
    return ScriptObject::GetStringMember(name);
}

void SocketObject::SetNumMember(std::string_view name, double value) {
    if (NamesEqual(name, kPortProperty)) program_.ReportError(kRuntimeKind, msg::kSocketPortReadOnly);
    ScriptObject::SetNumMember(name, value);
}

double SocketObject::GetNumMember(std::string_view name) {
    if (NamesEqual(name, kPortProperty)) return GetPort();
    return ScriptObject::GetNumMember(name);
}

size_t SocketObject::MemoryInUse() const {
    return ScriptObject::MemoryInUse() + (connection_ ? connection_->BytesHeld() : 0);
}

ScriptObject* SocketFactory::Create(const std::string& name) {
    return new SocketObject(program_, name);
}

}  // namespace tallow
