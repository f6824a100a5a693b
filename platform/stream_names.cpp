// The standard stream names, and copies from and to the streams.
#include "platform/stream_names.h"

#include <cstdio>
#include <filesystem>
#include <memory>

#include "platform/confinement.h"
#include "platform/console.h"
#include "platform/file_system.h"

namespace tallow::platform {

namespace {

// Bytes moved per read.
constexpr size_t kCopyChunk = 64 * 1024;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// A path a stream copy may open: allowed, and a regular file where it exists
// (a FIFO or device could block the copy for ever).
bool PlainFile(const std::string& path) {
    std::error_code error;
    std::filesystem::file_status status = std::filesystem::status(path, error);
    return PathAllowed(path) &&
           (!std::filesystem::exists(status) || std::filesystem::is_regular_file(status));
}

// Reads the whole of input into write; false on a read or write failure.
template <class Write>
bool Pump(Handle input, Write write) {
    std::unique_ptr<char[]> buffer(new char[kCopyChunk]);
    for (;;) {
        long n = ReadBytes(input, buffer.get(), kCopyChunk);
        if (n < 0) return false;
        if (n == 0) return true;
        if (!write(buffer.get(), size_t(n))) return false;
    }
}

}  // namespace

StandardStream StandardStreamNamed(std::string_view path) {
    if (path == "/dev/stdin") return StandardStream::kInput;
    if (path == "/dev/stdout") return StandardStream::kOutput;
    if (path == "/dev/stderr") return StandardStream::kError;
    return StandardStream::kNone;
}

StreamHandles ProcessStreams() {
    return StreamHandles{StdInput(), StdOutput(), StdError()};
}

Handle StreamHandle(const StreamHandles& streams, StandardStream stream) {
    switch (stream) {
        case StandardStream::kInput:
            return streams.input;
        case StandardStream::kOutput:
            return streams.output;
        case StandardStream::kError:
            return streams.error;
        case StandardStream::kNone:
            break;
    }
    return nullptr;
}

bool CopyThroughStreams(const std::string& from, const std::string& to, const StreamHandles& streams) {
    StandardStream source = StandardStreamNamed(from), target = StandardStreamNamed(to);
    if (source == StandardStream::kNone && target == StandardStream::kNone) return CopyFileOver(from, to);
    if (source == StandardStream::kOutput || source == StandardStream::kError) return false;
    if (target == StandardStream::kInput) return false;
    if (source == StandardStream::kInput) {
        if (target != StandardStream::kNone) {
            Handle out = StreamHandle(streams, target);
            return Pump(streams.input,
                        [out](const char* data, size_t size) { return WriteBytes(out, data, size); });
        }
        if (!PlainFile(to)) return false;
        FilePtr file(std::fopen(to.c_str(), "wb"));
        if (!file) return false;
        bool copied = Pump(streams.input, [&file](const char* data, size_t size) {
            return std::fwrite(data, 1, size, file.get()) == size;
        });
        return std::fclose(file.release()) == 0 && copied;
    }
    if (!PlainFile(from)) return false;
    FilePtr file(std::fopen(from.c_str(), "rb"));
    if (!file) return false;
    Handle out = StreamHandle(streams, target);
    std::unique_ptr<char[]> buffer(new char[kCopyChunk]);
    for (;;) {
        size_t n = std::fread(buffer.get(), 1, kCopyChunk, file.get());
        if (n > 0 && !WriteBytes(out, buffer.get(), n)) return false;
        if (n < kCopyChunk) return !std::ferror(file.get());
    }
}

}  // namespace tallow::platform
