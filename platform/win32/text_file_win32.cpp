// Text files on Windows: the C library's text mode, which reads CR LF as LF
// and writes LF as CR LF.
#include "platform/confinement.h"
#include "platform/text_file.h"

namespace tallow::platform {

bool TextFileIn::OpenFile(const std::string& path) {
    if (!PathAllowed(path)) return false;
    file_ = std::fopen(path.c_str(), "rt");
    return file_ != nullptr;
}

int TextFileIn::GetFromFile() {
    if (!file_) return EOF;
    return std::getc(file_);
}

bool TextFileOut::OpenFile(const std::string& path) {
    if (!PathAllowed(path)) return false;
    file_ = std::fopen(path.c_str(), "wt");
    return file_ != nullptr;
}

}  // namespace tallow::platform
