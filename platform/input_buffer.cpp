// Block reads of pipes and files for the console readers.
#include "input_buffer.h"

#include <cstring>
#include <map>
#include <mutex>
#include <vector>

namespace tallow::platform {

namespace {

// Bytes read from the system at once.
constexpr size_t kBlock = 4096;

struct Buffer {
    std::vector<char> data = std::vector<char>(kBlock);
    size_t begin = 0, end = 0;
};

std::mutex& Lock() {
    static std::mutex mutex;
    return mutex;
}

std::map<Handle, Buffer>& Buffers() {
    static std::map<Handle, Buffer> buffers;
    return buffers;
}

// Refills an empty buffer: the bytes read, 0 at the end, -1 on an error.
long Fill(Handle input, Buffer& b, RawRead read) {
    long n = read(input, b.data.data(), b.data.size());
    b.begin = 0;
    b.end = n > 0 ? size_t(n) : 0;
    return n;
}

}  // namespace

long BufferedLine(Handle input, char* buffer, size_t size, RawRead read) {
    std::lock_guard<std::mutex> guard(Lock());
    Buffer& b = Buffers()[input];
    size_t count = 0;
    while (count < size) {
        if (b.begin == b.end) {
            long n = Fill(input, b, read);
            if (n < 0) return count ? long(count) : -1;
            if (n == 0) break;
        }
        const char* from = b.data.data() + b.begin;
        size_t available = std::min(b.end - b.begin, size - count);
        const void* feed = std::memchr(from, '\n', available);
        size_t take = feed ? size_t(static_cast<const char*>(feed) - from) + 1 : available;
        std::memcpy(buffer + count, from, take);
        b.begin += take;
        count += take;
        if (feed) break;
    }
    return long(count);
}

long BufferedByte(Handle input, char& key, RawRead read) {
    std::lock_guard<std::mutex> guard(Lock());
    Buffer& b = Buffers()[input];
    if (b.begin == b.end) {
        long n = Fill(input, b, read);
        if (n <= 0) return n;
    }
    key = b.data[b.begin++];
    return 1;
}

}  // namespace tallow::platform
