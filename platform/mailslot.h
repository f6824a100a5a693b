// Mailslots: one side creates a mailslot and reads the messages that others
// send to it by name; each message keeps its boundaries, and a writer never
// waits for the reader. Waiting keeps the thread's window messages flowing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tallow::platform {

// The prefix of a mailslot on this machine: \\.\mailslot\NAME.
constexpr std::string_view kLocalMailslotPrefix = "\\\\.\\mailslot\\";

// NAME of a local mailslot name "\\.\mailslot\NAME" in lower case (the
// prefix and the name compare without regard to case); empty for the
// remote and domain forms (\\server\mailslot\..., \\*\mailslot\...) and for
// anything else. Only the Linux mailslots use it.
std::string LocalMailslotName(std::string_view name);

class Mailslot {
public:
    Mailslot();
    ~Mailslot();
    Mailslot(const Mailslot&) = delete;
    Mailslot& operator=(const Mailslot&) = delete;

    // Creates the mailslot of that name to read from it. False when it
    // exists already or the name is refused. Never waits: on Linux anything
    // but a regular file at the mailslot's place is refused.
    bool Create(const std::string& name);
    // Opens an existing mailslot to write to it; false when there is none.
    // Never waits, as Create.
    bool Open(const std::string& name);
    bool IsOpen() const;
    // Sends size bytes as one message; false when it cannot (on Linux also
    // when the mailslot holds as much unread as it may: see
    // kMaxSpoolBytes).
    bool Write(const void* data, size_t size);
    // Sends each of size bytes as a message of its own, in order, and gives
    // how many were sent: fewer than size when a send fails.
    size_t WriteByteMessages(const void* data, size_t size);
    // Takes the next message when one is waiting and fits in size bytes, and
    // gives its length (0 for an empty message). Gives -1 when none is
    // waiting, the next one is longer than size (it stays, to be read with a
    // larger buffer) or the read fails.
    long Read(void* data, size_t size);
    // Returns once a message has arrived that the last Read did not see, or
    // after milliseconds, whichever comes first. Window messages of the
    // thread are dispatched meanwhile; with 0 it only dispatches those
    // already there.
    void AwaitMessage(uint32_t milliseconds);

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace tallow::platform
