// What port and mailslot objects share: each is a byte source for the
// byte-wise waits and line reads, and they have the same members waitfor,
// waitformany, readstring and flush, and the parameters of writebuffer and
// readbuffer. Each reads its own parameters from the program's lexer and
// leaves it after the last one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "expr/script_object.h"
#include "objects/byte_source.h"

namespace tallow {

// The memory that writebuffer and readbuffer name with their parameters
// "address, size": bytes of a block the Heap object handed out.
struct HeapRange {
    void* data = nullptr;
    size_t size = 0;
};

class StreamObject : public ScriptObject, public ByteSource {
public:
    // The shared members of the tables of port and mailslot.
    // waitfor(text, seconds): 1 when text arrives in time, else 0.
    double WaitFor();
    // waitformany(seconds [, text]...): the position of the text that
    // arrived first, or 0.
    double WaitForMany();
    // readstring(seconds): the next line, "" on time-out.
    std::string ReadString();
    // flush: drops what is waiting.
    void Flush();

    uint32_t Now() override;

protected:
    StreamObject(Program& program, std::string name) : ScriptObject(program, std::move(name)) {}

    // Reads "address, size"; "Invalid heap address!" for any range that is
    // not inside a Heap block.
    HeapRange ReadHeapRange();
};

}  // namespace tallow
