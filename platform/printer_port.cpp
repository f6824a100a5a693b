// The printer device names and printing to a file, the same on both targets.
#include "platform/printer_port.h"

#include <cstdio>

#include "platform/confinement.h"

namespace tallow::platform {

namespace {

// A C stream in binary mode: it buffers, and closes with the port.
class FilePort : public PrinterPort {
public:
    explicit FilePort(std::FILE* file) : file_(file) {}
    ~FilePort() override { std::fclose(file_); }
    FilePort(const FilePort&) = delete;
    FilePort& operator=(const FilePort&) = delete;

    bool Write(std::string_view bytes) override {
        return std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
    }

private:
    std::FILE* file_;
};

bool EqualsFolded(std::string_view text, std::string_view lowerCase) {
    if (text.size() != lowerCase.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
        if (c != lowerCase[i]) return false;
    }
    return true;
}

}  // namespace

bool IsPrinterDeviceName(std::string_view name) {
    if (!name.empty() && name.back() == ':') name.remove_suffix(1);
    if (EqualsFolded(name, "prn")) return true;
    return name.size() == 4 && EqualsFolded(name.substr(0, 3), "lpt") && name[3] >= '1' && name[3] <= '9';
}

std::unique_ptr<PrinterPort> OpenPrinterFile(const std::string& path) {
    if (!PathAllowed(path)) return nullptr;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return nullptr;
    return std::make_unique<FilePort>(file);
}

}  // namespace tallow::platform
