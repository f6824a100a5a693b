// What text files do alike on both systems: the standard streams under
// their names, read and written through the stream's handle.
#include "platform/text_file.h"

#include "platform/console.h"

namespace tallow::platform {

namespace {

// What a stream read takes at once, and how much a stream write gathers.
constexpr size_t kStreamChunk = 64 * 1024;

// The line end written to a stream: a line feed on both systems, as the
// engine writes everything else there (error lines, what print is given).
constexpr std::string_view kLineEnd = "\n";

}  // namespace

TextFileIn::~TextFileIn() {
    if (file_) std::fclose(file_);
}

bool TextFileIn::Open(const std::string& path, const StreamHandles& streams) {
    if (file_ || fromStream_) return false;
    StandardStream stream = StandardStreamNamed(path);
    if (stream == StandardStream::kNone) return OpenFile(path);
    if (stream != StandardStream::kInput) return false;
    fromStream_ = true;
    stream_ = streams.input;
    return true;
}

int TextFileIn::RawFromStream() {
    if (next_ == buffer_.size()) {
        buffer_.resize(kStreamChunk);
        long n = ReadBytes(stream_, buffer_.data(), buffer_.size());
        buffer_.resize(n > 0 ? size_t(n) : 0);
        next_ = 0;
        if (buffer_.empty()) return EOF;
    }
    return static_cast<unsigned char>(buffer_[next_++]);
}

// CR LF reads as LF on both systems, as a text file written on Windows does.
int TextFileIn::Get() {
    if (!fromStream_) return GetFromFile();
    int c = pending_ != EOF ? pending_ : RawFromStream();
    pending_ = EOF;
    if (c != '\r') return c;
    int next = RawFromStream();
    if (next == '\n') return '\n';
    pending_ = next;
    return c;
}

// Lines written to a stream are not lost when Close is not reached; a file
// without Close keeps its old contents.
TextFileOut::~TextFileOut() {
    if (toStream_) Flush();
}

bool TextFileOut::Open(const std::string& path, const StreamHandles& streams) {
    if (toStream_) return false;
    failed_ = false;
    StandardStream stream = StandardStreamNamed(path);
    if (stream == StandardStream::kNone) return OpenFile(path);
    if (stream == StandardStream::kInput) return false;
    toStream_ = true;
    stream_ = StreamHandle(streams, stream);
    return true;
}

bool TextFileOut::WriteLine(std::string_view text) {
    if (failed_) return false;
    if (toStream_) {
        buffer_.append(text).append(kLineEnd);
        if (buffer_.size() >= kStreamChunk) Flush();
        return !failed_;
    }
    if (!WriteFileLine(text)) failed_ = true;
    return !failed_;
}

bool TextFileOut::Flush() {
    if (!buffer_.empty() && !WriteBytes(stream_, buffer_.data(), buffer_.size())) failed_ = true;
    buffer_.clear();
    return !failed_;
}

bool TextFileOut::Close() {
    if (toStream_) {
        bool flushed = Flush();
        toStream_ = false;
        return flushed;
    }
    return !failed_ && replacement_.Commit();
}

}  // namespace tallow::platform
