// Text files on Windows: the C library's text mode, which reads CR LF as LF
// and writes LF as CR LF.
#include "platform/text_file.h"

#include "platform/confinement.h"

namespace tallow::platform {

TextFileIn::~TextFileIn() {
    if (file_) std::fclose(file_);
}

bool TextFileIn::Open(const std::string& path) {
    if (!PathAllowed(path) || file_) return false;
    file_ = std::fopen(path.c_str(), "rt");
    return file_ != nullptr;
}

int TextFileIn::Get() {
    if (!file_) return EOF;
    return std::getc(file_);
}

TextFileOut::~TextFileOut() {
    if (file_) std::fclose(file_);
}

bool TextFileOut::Open(const std::string& path) {
    if (!PathAllowed(path) || file_) return false;
    file_ = std::fopen(path.c_str(), "wt");
    failed_ = false;
    return file_ != nullptr;
}

bool TextFileOut::WriteLine(std::string_view text) {
    if (!file_ || failed_) return false;
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size() || std::fputc('\n', file_) == EOF)
        failed_ = true;
    return !failed_;
}

bool TextFileOut::Close() {
    if (!file_) return false;
    bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return closed && !failed_;
}

}  // namespace tallow::platform
