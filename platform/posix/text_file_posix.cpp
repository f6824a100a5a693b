// Text files on Linux: the C library's streams, which keep every byte, with
// CR LF joined to LF on reading.
#include "platform/confinement.h"
#include "platform/text_file.h"

namespace tallow::platform {

bool TextFileIn::OpenFile(const std::string& path) {
    if (!PathAllowed(path)) return false;
    file_ = std::fopen(path.c_str(), "re");
    return file_ != nullptr;
}

int TextFileIn::GetFromFile() {
    if (!file_) return EOF;
    int c = std::getc(file_);
    if (c != '\r') return c;
    int next = std::getc(file_);
    if (next == '\n') return '\n';
    if (next != EOF) std::ungetc(next, file_);
    return c;
}

bool TextFileOut::OpenFile(const std::string& path) {
    if (!PathAllowed(path)) return false;
    file_ = std::fopen(path.c_str(), "we");
    return file_ != nullptr;
}

}  // namespace tallow::platform
