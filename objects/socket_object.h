// The creatable type socket: one line-oriented TCP connection per object,
// made by connecting to a server or by waiting for one incoming connection;
// the script sends text and reads the lines received.
#pragma once

#include <memory>
#include <string>

#include "expr/script_object.h"
#include "objects/line_socket.h"

namespace tallow {

namespace msg {
constexpr const char kSocketAlreadyConnected[] = "Socket already connected!";
constexpr const char kSocketConnectionFailed[] = "Socket connection failed!";
constexpr const char kSocketNotConnected[] = "Socket not connected!";
constexpr const char kSocketPortError[] = "Error retrieving socket port!";
constexpr const char kSocketAddressError[] = "Error retrieving socket address!";
constexpr const char kSocketAddressReadOnly[] = "The Address property is read-only.";
constexpr const char kSocketPortReadOnly[] = "The Port property is read-only.";
}  // namespace msg

class SocketObject : public ScriptObject {
public:
    // Registers under name, not connected, and defines the ipp constants
    // (the well-known ports) in the program.
    SocketObject(Program& program, std::string name);

    // address (string) and port (number) are read-only properties.
    void SetStringMember(std::string_view name, std::string value) override;
    std::string GetStringMember(std::string_view name) override;
    void SetNumMember(std::string_view name, double value) override;
    double GetNumMember(std::string_view name) override;
    size_t MemoryInUse() const override;

    bool Connected() const { return connection_ != nullptr; }

    // The members of its table, one per id; each reads its own parameters.
    void Close();
    void Connect();
    void Listen();
    void WriteString();
    double GetPort();
    double WaitFor();
    std::string ReadString();
    std::string GetAddress();

private:
    void RefuseWhenConnected();
    // The connection; "Socket not connected!" without one.
    LineSocket& Connection();

    std::unique_ptr<LineSocket> connection_;
};

class SocketFactory : public ObjectFactory {
public:
    explicit SocketFactory(Program& program) : ObjectFactory(program, "socket") {}
    ScriptObject* Create(const std::string& name) override;
};

}  // namespace tallow
