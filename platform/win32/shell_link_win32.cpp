// Shell links through the shell's link object (IShellLinkA), saved with its
// IPersistFile. The class factory is fetched once per process, after OLE is
// started, and kept until the process ends; a failed fetch is not retried.
#include "platform/shell_link.h"

#include <windows.h>

#include <objbase.h>
#include <ole2.h>
#include <shlobj.h>

#include <string>

#include "platform/confinement.h"

namespace tallow::platform {

namespace {

// A COM interface pointer released when it goes out of scope.
template <class Interface>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() {
        if (p_) p_->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    Interface* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void** Out() { return reinterpret_cast<void**>(&p_); }

private:
    Interface* p_ = nullptr;
};

IClassFactory* ShellLinkFactory() {
    static IClassFactory* const factory = [] {
        OleInitialize(nullptr);  // S_FALSE when this thread has it already
        IClassFactory* f = nullptr;
        HRESULT hr = CoGetClassObject(CLSID_ShellLink, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                      reinterpret_cast<void**>(&f));
        return SUCCEEDED(hr) ? f : nullptr;
    }();
    return factory;
}

// The link file's name in UTF-16, as IPersistFile takes it; empty when the
// name does not convert.
std::wstring WideName(const std::string& name) {
    int n = MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, nullptr, 0);
    if (n <= 1) return std::wstring();
    std::wstring wide(size_t(n), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, wide.data(), n) != n) return std::wstring();
    wide.resize(size_t(n) - 1);
    return wide;
}

// One link object for one shortcut; its instance is released with it.
class ShellLinkWriter {
public:
    ShellLinkWriter() {
        IClassFactory* factory = ShellLinkFactory();
        created_ = factory && SUCCEEDED(factory->CreateInstance(nullptr, IID_IShellLinkA, link_.Out()));
    }

    bool Write(const ShellLinkFields& fields, const std::string& linkFile) {
        if (!created_) return false;
        link_->SetPath(fields.target.c_str());
        if (!fields.description.empty()) link_->SetDescription(fields.description.c_str());
        if (!fields.workingDir.empty()) link_->SetWorkingDirectory(fields.workingDir.c_str());
        if (!fields.arguments.empty()) link_->SetArguments(fields.arguments.c_str());
        if (!fields.iconFile.empty()) link_->SetIconLocation(fields.iconFile.c_str(), fields.iconIndex);
        ComRef<IPersistFile> file;
        if (FAILED(link_->QueryInterface(IID_IPersistFile, file.Out()))) return false;
        std::wstring name = WideName(linkFile);
        return !name.empty() && SUCCEEDED(file->Save(name.c_str(), TRUE));
    }

private:
    ComRef<IShellLinkA> link_;
    bool created_ = false;
};

}  // namespace

bool CreateShellLink(const ShellLinkFields& link, const std::string& linkFile) {
    if (!PathAllowed(linkFile)) return false;
    ShellLinkWriter writer;
    return writer.Write(link, linkFile);
}

}  // namespace tallow::platform
