#include "message_stream.h"

#include <cctype>
#include <cstdlib>

namespace tallow::lsp {

namespace {

// Longest header line kept; longer ones are cut (and are no Content-Length).
constexpr size_t kMaxHeaderLine = 1024;

bool StartsWithNoCase(const std::string& s, const char* prefix) {
    size_t i = 0;
    for (; prefix[i]; ++i)
        if (i >= s.size() || std::tolower(static_cast<unsigned char>(s[i])) != prefix[i]) return false;
    return true;
}

}  // namespace

bool MessageReader::ReadLine(std::string& line) {
    line.clear();
    for (;;) {
        int c = std::fgetc(in_);
        if (c == EOF) return false;
        if (c == '\n') break;
        if (line.size() < kMaxHeaderLine) line += char(c);
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

MessageReader::Status MessageReader::Read(std::string& body) {
    std::string line;
    long long length = -1;
    bool bad = false, any = false;
    for (;;) {
        if (!ReadLine(line)) return Status::End;
        if (line.empty()) {
            if (any) break;
            continue;  // blank lines between messages
        }
        any = true;
        if (StartsWithNoCase(line, "content-length:")) {
            const char* digits = line.c_str() + 15;
            while (*digits == ' ' || *digits == '\t')
                ++digits;
            char* end = nullptr;
            long long n = std::strtoll(digits, &end, 10);
            while (end && (*end == ' ' || *end == '\t'))
                ++end;
            if (!std::isdigit(static_cast<unsigned char>(*digits)) || !end || *end || n < 0 ||
                size_t(n) > kMaxMessageBytes)
                bad = true;
            else
                length = n;
        }
    }
    if (bad || length < 0) return Status::Malformed;
    body.resize(size_t(length));
    size_t got = length ? std::fread(body.data(), 1, size_t(length), in_) : 0;
    if (got != size_t(length)) return Status::End;
    return Status::Message;
}

bool WriteMessage(std::FILE* out, const std::string& body) {
    if (std::fprintf(out, "Content-Length: %lu\r\n\r\n", static_cast<unsigned long>(body.size())) < 0)
        return false;
    if (std::fwrite(body.data(), 1, body.size(), out) != body.size()) return false;
    return std::fflush(out) == 0;
}

}  // namespace tallow::lsp
