// Text files on Windows: read through the C library's text mode, which
// reads CR LF as LF; written with every LF as CR LF, as text mode writes.
#include "platform/text_file.h"

#include <io.h>
#include <windows.h>

#include "platform/confinement.h"

namespace tallow::platform {

// Only files on disk: reading a pipe or a device such as CON may never end.
bool TextFileIn::OpenFile(const std::string& path) {
    if (!PathAllowed(path)) return false;
    file_ = std::fopen(path.c_str(), "rt");
    if (!file_) return false;
    if (GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file_)))) != FILE_TYPE_DISK) {
        std::fclose(file_);
        file_ = nullptr;
    }
    return file_ != nullptr;
}

int TextFileIn::GetFromFile() {
    if (!file_) return EOF;
    return std::getc(file_);
}

bool TextFileOut::OpenFile(const std::string& path) {
    return PathAllowed(path) && replacement_.Begin(path);
}

bool TextFileOut::WriteFileLine(std::string_view text) {
    for (size_t lineFeed; (lineFeed = text.find('\n')) != std::string_view::npos;
         text.remove_prefix(lineFeed + 1))
        if (!replacement_.Write(text.substr(0, lineFeed)) || !replacement_.Write("\r\n")) return false;
    return replacement_.Write(text) && replacement_.Write("\r\n");
}

}  // namespace tallow::platform
