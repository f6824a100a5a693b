// Data-exchange conversations through DDEML as a client only: the instance
// fails every server transaction, and its call-back answers nothing.
#include <windows.h>
// After windows.h, whose types it uses.
#include <ddeml.h>

#include "platform/confinement.h"
#include "platform/dde_client.h"

namespace tallow::platform {

namespace {

// No C++ exception may leave a call-back; this one does nothing that throws.
HDDEDATA CALLBACK IgnoreCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) noexcept {
    return nullptr;
}

// A DDEML instance, unregistered on destruction.
class DdeInstance {
public:
    DdeInstance() {
        if (DdeInitializeA(&id_, IgnoreCallback, APPCLASS_STANDARD | CBF_FAIL_ALLSVRXACTIONS, 0) !=
            DMLERR_NO_ERROR)
            id_ = 0;
    }
    ~DdeInstance() {
        if (id_) DdeUninitialize(id_);
    }
    DdeInstance(const DdeInstance&) = delete;
    DdeInstance& operator=(const DdeInstance&) = delete;
    DWORD Id() const { return id_; }

private:
    DWORD id_ = 0;
};

// A string handle of the instance, freed on destruction.
class StringHandle {
public:
    StringHandle(DWORD instance, const std::string& text)
        : instance_(instance), handle_(DdeCreateStringHandleA(instance, text.c_str(), CP_WINANSI)) {}
    ~StringHandle() {
        if (handle_) DdeFreeStringHandle(instance_, handle_);
    }
    StringHandle(const StringHandle&) = delete;
    StringHandle& operator=(const StringHandle&) = delete;
    HSZ Get() const { return handle_; }

private:
    DWORD instance_;
    HSZ handle_;
};

class DdemlConversation : public DdeConversation {
public:
    DdemlConversation(std::unique_ptr<DdeInstance> instance, HCONV conversation)
        : instance_(std::move(instance)), conversation_(conversation) {}
    ~DdemlConversation() override { DdeDisconnect(conversation_); }

    // A timeout of 0 does not wait for the server's acknowledgement.
    void Execute(const std::string& command) override {
        const char* text = command.c_str();
        HDDEDATA data =
            DdeCreateDataHandle(instance_->Id(), reinterpret_cast<LPBYTE>(const_cast<char*>(text)),
                                static_cast<DWORD>(strlen(text) + 1), 0, nullptr, 0, 0);
        if (!data) return;
        // DDEML takes the data handle over, whatever the outcome.
        DdeClientTransaction(reinterpret_cast<LPBYTE>(data), static_cast<DWORD>(-1), conversation_, nullptr,
                             0, XTYP_EXECUTE, 0, nullptr);
    }

    std::optional<std::string> Request(const std::string& item) override {
        StringHandle name(instance_->Id(), item);
        if (!name.Get()) return std::nullopt;
        HDDEDATA data = DdeClientTransaction(nullptr, 0, conversation_, name.Get(), CF_TEXT, XTYP_REQUEST,
                                             kDdeRequestTimeoutMs, nullptr);
        if (!data) return std::nullopt;
        // The size DDEML reports may include padding past the text's NUL.
        std::string text;
        DWORD size = 0;
        if (const BYTE* bytes = DdeAccessData(data, &size)) {
            const char* chars = reinterpret_cast<const char*>(bytes);
            text.assign(chars, strnlen(chars, size));
            DdeUnaccessData(data);
        }
        DdeFreeDataHandle(data);
        return text;
    }

private:
    std::unique_ptr<DdeInstance> instance_;
    HCONV conversation_;
};

}  // namespace

std::unique_ptr<DdeConversation> OpenDdeConversation(const std::string& service, const std::string& topic,
                                                     DdeOpenStatus& status) {
    // Confined text talks to no other program.
    status = DdeOpenStatus::kNoServer;
    if (Confined()) return nullptr;
    auto instance = std::make_unique<DdeInstance>();
    status = DdeOpenStatus::kNoTransport;
    if (!instance->Id()) return nullptr;
    HCONV conversation = nullptr;
    {
        StringHandle serviceName(instance->Id(), service);
        StringHandle topicName(instance->Id(), topic);
        conversation = DdeConnect(instance->Id(), serviceName.Get(), topicName.Get(), nullptr);
    }
    status = DdeOpenStatus::kNoServer;
    if (!conversation) return nullptr;
    status = DdeOpenStatus::kConnected;
    return std::make_unique<DdemlConversation>(std::move(instance), conversation);
}

}  // namespace tallow::platform
