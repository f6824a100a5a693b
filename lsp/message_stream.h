// The protocol's framing on a byte stream: a header block of lines ending in
// CR LF (Content-Length required, others ignored), an empty line, and that
// many bytes of JSON.
#pragma once

#include <cstdio>
#include <string>

namespace tallow::lsp {

// Largest message body accepted; a header naming more is malformed.
constexpr size_t kMaxMessageBytes = size_t(64) << 20;

class MessageReader {
public:
    enum class Status {
        Message,    // body holds a whole message
        Malformed,  // a header block without a usable Content-Length: skipped
        End,        // the stream ended (also in the middle of a message)
    };
    explicit MessageReader(std::FILE* in) : in_(in) {}
    Status Read(std::string& body);

private:
    // One header line without its line end; false at the end of the stream.
    bool ReadLine(std::string& line);
    std::FILE* in_;
};

// Writes one message with its header and flushes; false when it could not.
bool WriteMessage(std::FILE* out, const std::string& body);

}  // namespace tallow::lsp
