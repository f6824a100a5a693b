// The mailslot object: `new NAME as mailslot "\\.\mailslot\box", create`
// makes a mailslot and reads from it; with the word open instead, the object
// writes to a mailslot that exists. Text travels one byte per message, which
// is what lets the byte-wise waits and line reads of the reader take it.
#pragma once

#include <memory>
#include <string>

#include "objects/stream_object.h"
#include "platform/mailslot.h"

namespace tallow {

namespace msg {
constexpr const char kCannotOpenMailslot[] = "cannot open mailslot!";
constexpr const char kMailslotWriteStringFailed[] = "Could not write to mail slot!";
constexpr const char kMailslotWriteFailed[] = "Error writing to mail slot!";
constexpr const char kMailslotReadFailed[] = "Error reading from mail slot!";
}  // namespace msg

class MailslotObject : public StreamObject {
public:
    // Registers under name; slot is created or opened.
    MailslotObject(Program& program, std::string name, std::unique_ptr<platform::Mailslot> slot);

    // The members of its table besides the shared ones, one per id; each
    // reads its own parameters.
    void WriteString();
    double WriteBuffer();
    double ReadBuffer();

    // The mailslot as the waits read it: one one-byte message per byte; a
    // longer message waiting counts as no byte.
    bool ReadByte(char& byte) override;
    void Await(uint32_t milliseconds) override;

private:
    std::unique_ptr<platform::Mailslot> slot_;
};

class MailslotFactory : public ObjectFactory {
public:
    explicit MailslotFactory(Program& program) : ObjectFactory(program, "mailslot") {}
    // Reads the mailslot name and the mode word (create or open, any case)
    // and creates or opens it; raises "cannot open mailslot!" when that
    // fails or the word is another.
    ScriptObject* Create(const std::string& name) override;
};

}  // namespace tallow
