// The port object: a serial port that a script opens with
// `new NAME as port "COM1"`, sets up, writes to, and waits on for replies.
#pragma once

#include <memory>
#include <string>

#include "objects/stream_object.h"
#include "platform/serial_port.h"

namespace tallow {

namespace msg {
constexpr const char kCouldNotOpenComPort[] = "Could not open COM port!";
constexpr const char kCouldNotSetupSerialPort[] = "Could not setup serial port!";
constexpr const char kSerialWriteFailed[] = "Error writing to serial port!";
constexpr const char kPortWriteFailed[] = "Error writing to port!";
constexpr const char kPortReadFailed[] = "Error reading from port!";
}  // namespace msg

class SerialPortObject : public StreamObject {
public:
    // Registers under name; port is open.
    SerialPortObject(Program& program, std::string name, std::string portName,
                     std::unique_ptr<platform::SerialPort> port);

    // The members of its table besides the shared ones, one per id; each
    // reads its own parameters.
    void SetState();
    void WriteString();
    double RasDial();
    double WriteBuffer();
    double ReadBuffer();

    // The port as the waits read it.
    bool ReadByte(char& byte) override;
    void Await(uint32_t milliseconds) override;

private:
    std::string portName_;
    std::unique_ptr<platform::SerialPort> port_;
};

class SerialPortFactory : public ObjectFactory {
public:
    explicit SerialPortFactory(Program& program) : ObjectFactory(program, "port") {}
    // Reads the device name and opens it; raises "Could not open COM port!"
    // when it cannot.
    ScriptObject* Create(const std::string& name) override;
};

}  // namespace tallow
