// Text files on Linux: the C library's streams, which keep every byte, with
// CR LF joined to LF on reading; lines are written with LF alone.
#include "platform/text_file.h"

#include "platform/confinement.h"

namespace tallow::platform {

TextFileIn::~TextFileIn() {
    if (file_) std::fclose(file_);
}

bool TextFileIn::Open(const std::string& path) {
    if (!PathAllowed(path) || file_) return false;
    file_ = std::fopen(path.c_str(), "re");
    return file_ != nullptr;
}

int TextFileIn::Get() {
    if (!file_) return EOF;
    int c = std::getc(file_);
    if (c != '\r') return c;
    int next = std::getc(file_);
    if (next == '\n') return '\n';
    if (next != EOF) std::ungetc(next, file_);
    return c;
}

bool TextFileOut::Open(const std::string& path) {
    return PathAllowed(path) && replacement_.Begin(path);
}

bool TextFileOut::WriteLine(std::string_view text) {
    return replacement_.Write(text) && replacement_.Write("\n");
}

bool TextFileOut::Close() {
    return replacement_.Commit();
}

}  // namespace tallow::platform
