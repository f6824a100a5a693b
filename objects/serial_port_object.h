// The port object: a serial port that a script opens with
// `new NAME as port "COM1"`, sets up, writes to, and waits on for replies.
#pragma once

#include <memory>
#include <string>

#include "expr/script_object.h"
#include "objects/byte_source.h"
#include "platform/serial_port.h"

namespace tallow {

namespace msg {
constexpr const char kCouldNotOpenComPort[] = "Could not open COM port!";
constexpr const char kCouldNotSetupSerialPort[] = "Could not setup serial port!";
constexpr const char kSerialWriteFailed[] = "Error writing to serial port!";
constexpr const char kPortWriteFailed[] = "Error writing to port!";
constexpr const char kPortReadFailed[] = "Error reading from port!";
}  // namespace msg

enum PortStatement : int {
    kPortSetState = 1,
    kPortWriteString,
    kPortFlush,
    kPortStatementCount = kPortFlush
};
enum PortNumFunction : int {
    kPortWaitFor = 1,
    kPortWaitForMany,
    kPortRasDial,
    kPortWriteBuffer,
    kPortReadBuffer,
    kPortNumFunctionCount = kPortReadBuffer
};
enum PortStringFunction : int { kPortReadString = 1 };

class SerialPortObject : public ScriptObject {
public:
    // Registers under name; port is open.
    SerialPortObject(Program& program, std::string name, std::string portName,
                     std::unique_ptr<platform::SerialPort> port);

    void ProcessStatement(int id) override;
    double ProcessNumFunction(int id) override;
    std::string ProcessStringFunction(int id) override;

private:
    // The port as the waits read it.
    class Source : public ByteSource {
    public:
        explicit Source(platform::SerialPort& port) : port_(port) {}
        bool ReadByte(char& byte) override;
        void Await(uint32_t milliseconds) override;
        uint32_t Now() override;

    private:
        platform::SerialPort& port_;
    };

    void SetState();

    std::string portName_;
    std::unique_ptr<platform::SerialPort> port_;
    Source source_;
};

class SerialPortFactory : public ObjectFactory {
public:
    explicit SerialPortFactory(Program& program) : ObjectFactory(program, "port") {}
    // Reads the device name and opens it; raises "Could not open COM port!"
    // when it cannot.
    ScriptObject* Create(const std::string& name) override;
};

}  // namespace tallow
