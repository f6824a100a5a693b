// The mailslot object: `new NAME as mailslot "\\.\mailslot\box", create`
// makes a mailslot and reads from it; with the word open instead, the object
// writes to a mailslot that exists. Text travels one byte per message, which
// is what lets the byte-wise waits and line reads of the reader take it.
#pragma once

#include <memory>
#include <string>

#include "expr/script_object.h"
#include "objects/byte_source.h"
#include "platform/mailslot.h"

namespace tallow {

namespace msg {
constexpr const char kCannotOpenMailslot[] = "cannot open mailslot!";
constexpr const char kMailslotWriteStringFailed[] = "Could not write to mail slot!";
constexpr const char kMailslotWriteFailed[] = "Error writing to mail slot!";
constexpr const char kMailslotReadFailed[] = "Error reading from mail slot!";
}  // namespace msg

enum MailslotStatement : int { kSlotWriteString = 1, kSlotFlush, kSlotStatementCount = kSlotFlush };
enum MailslotNumFunction : int {
    kSlotWaitFor = 1,
    kSlotWaitForMany,
    kSlotWriteBuffer,
    kSlotReadBuffer,
    kSlotNumFunctionCount = kSlotReadBuffer
};
enum MailslotStringFunction : int { kSlotReadString = 1 };

class MailslotObject : public ScriptObject {
public:
    // Registers under name; slot is created or opened.
    MailslotObject(Program& program, std::string name, std::unique_ptr<platform::Mailslot> slot);

    void ProcessStatement(int id) override;
    double ProcessNumFunction(int id) override;
    std::string ProcessStringFunction(int id) override;

private:
    // The mailslot as the waits read it: one one-byte message per byte; a
    // longer message waiting counts as no byte.
    class Source : public ByteSource {
    public:
        explicit Source(platform::Mailslot& slot) : slot_(slot) {}
        bool ReadByte(char& byte) override;
        void Await(uint32_t milliseconds) override;
        uint32_t Now() override;

    private:
        platform::Mailslot& slot_;
    };

    std::unique_ptr<platform::Mailslot> slot_;
    Source source_;
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
