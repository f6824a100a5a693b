// Data-exchange conversations over the session bus (sd-bus): the service is
// a bus name, the topic an object path, and execute and request are two
// methods of one interface (docs/dde-dbus.md). Texts travel as UTF-8
// strings; one that is not valid UTF-8 is not sent. The conversation is
// with the connection that owned the service's name when it began: calls
// go to that connection's unique name, and only its reply to the call
// waited for is taken; everything else that reaches the client is dropped
// as it arrives, so another peer can neither answer in its place nor fill
// the client's memory.
//
// libsystemd is opened the first time a conversation starts, not linked:
// it and the libraries it pulls in would cost every run a few milliseconds
// of start-up for an object few scripts use. Without it there is no bus.
#include <dlfcn.h>
#include <systemd/sd-bus.h>
#include <time.h>

#include <memory>

#include "platform/confinement.h"
#include "platform/dde_bus_names.h"
#include "platform/dde_client.h"

namespace tallow::platform {

namespace {

// The sd-bus calls this file makes, from the library opened at first use.
struct SdBus {
    decltype(&::sd_bus_open_user) open_user;
    decltype(&::sd_bus_get_unique_name) get_unique_name;
    decltype(&::sd_bus_flush) flush;
    decltype(&::sd_bus_flush_close_unref) flush_close_unref;
    decltype(&::sd_bus_send) send;
    decltype(&::sd_bus_call_method) call_method;
    decltype(&::sd_bus_error_free) error_free;
    decltype(&::sd_bus_message_new_method_call) message_new_method_call;
    decltype(&::sd_bus_message_set_expect_reply) message_set_expect_reply;
    decltype(&::sd_bus_message_append) message_append;
    decltype(&::sd_bus_message_read) message_read;
    decltype(&::sd_bus_message_unref) message_unref;
    decltype(&::sd_bus_process) process;
    decltype(&::sd_bus_wait) wait;
    decltype(&::sd_bus_message_get_type) message_get_type;
    decltype(&::sd_bus_message_get_reply_cookie) message_get_reply_cookie;
    decltype(&::sd_bus_message_get_sender) message_get_sender;
};

template <class Function>
bool Resolve(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

// The library's calls, or null when libsystemd cannot be opened; looked up
// once per process (the handle stays open).
const SdBus* Bus() {
    static const SdBus* const bus = []() -> const SdBus* {
        void* library = dlopen("libsystemd.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!library) return nullptr;
        static SdBus calls;
        bool all = Resolve(library, "sd_bus_open_user", calls.open_user) &&
                   Resolve(library, "sd_bus_get_unique_name", calls.get_unique_name) &&
                   Resolve(library, "sd_bus_flush", calls.flush) &&
                   Resolve(library, "sd_bus_flush_close_unref", calls.flush_close_unref) &&
                   Resolve(library, "sd_bus_send", calls.send) &&
                   Resolve(library, "sd_bus_call_method", calls.call_method) &&
                   Resolve(library, "sd_bus_error_free", calls.error_free) &&
                   Resolve(library, "sd_bus_message_new_method_call", calls.message_new_method_call) &&
                   Resolve(library, "sd_bus_message_set_expect_reply", calls.message_set_expect_reply) &&
                   Resolve(library, "sd_bus_message_append", calls.message_append) &&
                   Resolve(library, "sd_bus_message_read", calls.message_read) &&
                   Resolve(library, "sd_bus_message_unref", calls.message_unref) &&
                   Resolve(library, "sd_bus_process", calls.process) &&
                   Resolve(library, "sd_bus_wait", calls.wait) &&
                   Resolve(library, "sd_bus_message_get_type", calls.message_get_type) &&
                   Resolve(library, "sd_bus_message_get_reply_cookie", calls.message_get_reply_cookie) &&
                   Resolve(library, "sd_bus_message_get_sender", calls.message_get_sender);
        return all ? &calls : nullptr;
    }();
    return bus;
}

struct BusCloser {
    void operator()(sd_bus* bus) const { Bus()->flush_close_unref(bus); }
};
struct MessageUnref {
    void operator()(sd_bus_message* m) const { Bus()->message_unref(m); }
};
using BusPtr = std::unique_ptr<sd_bus, BusCloser>;
using MessagePtr = std::unique_ptr<sd_bus_message, MessageUnref>;

// Frees the error's texts when the call is done.
class BusError {
public:
    ~BusError() { Bus()->error_free(&error_); }
    sd_bus_error* Get() { return &error_; }

private:
    sd_bus_error error_ = SD_BUS_ERROR_NULL;
};

constexpr uint64_t kMicrosecondsPerMs = 1000;

// Microseconds of the monotonic clock.
uint64_t NowMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return uint64_t(now.tv_sec) * 1000000 + uint64_t(now.tv_nsec) / 1000;
}

class BusConversation : public DdeConversation {
public:
    // owner is the unique name of the connection that serves the service.
    BusConversation(BusPtr bus, std::string owner, std::string path)
        : bus_(std::move(bus)), owner_(std::move(owner)), path_(std::move(path)) {}

    void Execute(const std::string& command) override {
        MessagePtr call = NewCall(kDdeExecuteMethod, command);
        if (!call) return;
        Bus()->message_set_expect_reply(call.get(), 0);
        if (Bus()->send(bus_.get(), call.get(), nullptr) >= 0) Bus()->flush(bus_.get());
    }

    std::optional<std::string> Request(const std::string& item) override {
        MessagePtr call = NewCall(kDdeRequestMethod, item);
        if (!call) return std::nullopt;
        uint64_t cookie = 0;
        if (Bus()->send(bus_.get(), call.get(), &cookie) < 0) return std::nullopt;
        MessagePtr reply = AwaitReply(cookie, NowMicroseconds() + kDdeRequestTimeoutMs * kMicrosecondsPerMs);
        if (!reply) return std::nullopt;
        const char* text = nullptr;
        if (Bus()->message_read(reply.get(), "s", &text) < 0 || !text) return std::nullopt;
        return std::string(text);
    }

private:
    // The server's method return to the call sent with cookie, waiting until
    // deadline (monotonic microseconds); null for an error reply, at the
    // deadline or when the bus fails. Every other message is dropped.
    MessagePtr AwaitReply(uint64_t cookie, uint64_t deadline) {
        for (;;) {
            sd_bus_message* raw = nullptr;
            int r = Bus()->process(bus_.get(), &raw);
            if (r < 0) return nullptr;
            MessagePtr message(raw);
            if (message && IsReplyTo(message.get(), cookie)) {
                uint8_t type = 0;
                Bus()->message_get_type(message.get(), &type);
                if (type != SD_BUS_MESSAGE_METHOD_RETURN) return nullptr;
                return message;
            }
            uint64_t now = NowMicroseconds();
            if (now >= deadline) return nullptr;
            if (r == 0 && Bus()->wait(bus_.get(), deadline - now) < 0) return nullptr;
        }
    }

    // Whether message answers the call of cookie and comes from the server.
    bool IsReplyTo(sd_bus_message* message, uint64_t cookie) {
        uint8_t type = 0;
        uint64_t replyCookie = 0;
        if (Bus()->message_get_type(message, &type) < 0 ||
            (type != SD_BUS_MESSAGE_METHOD_RETURN && type != SD_BUS_MESSAGE_METHOD_ERROR))
            return false;
        if (Bus()->message_get_reply_cookie(message, &replyCookie) < 0 || replyCookie != cookie) return false;
        const char* sender = Bus()->message_get_sender(message);
        return sender && owner_ == sender;
    }

    // A call of method with one string argument (up to its first NUL), or
    // null when the text is not valid UTF-8 or the bus is gone.
    MessagePtr NewCall(std::string_view method, const std::string& argument) {
        sd_bus_message* raw = nullptr;
        if (Bus()->message_new_method_call(bus_.get(), &raw, owner_.c_str(), path_.c_str(),
                                           std::string(kDdeInterface).c_str(),
                                           std::string(method).c_str()) < 0)
            return nullptr;
        MessagePtr call(raw);
        if (Bus()->message_append(call.get(), "s", argument.c_str()) < 0) return nullptr;
        return call;
    }

    BusPtr bus_;
    std::string owner_;
    std::string path_;
};

// The unique name of the connection that owns name on the bus; empty when
// none does (or the bus refuses the name).
std::string NameOwner(sd_bus* bus, const std::string& name) {
    BusError error;
    sd_bus_message* rawReply = nullptr;
    if (Bus()->call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                           "GetNameOwner", error.Get(), &rawReply, "s", name.c_str()) < 0)
        return {};
    MessagePtr reply(rawReply);
    const char* owner = nullptr;
    if (Bus()->message_read(reply.get(), "s", &owner) < 0 || !owner) return {};
    return owner;
}

}  // namespace

std::unique_ptr<DdeConversation> OpenDdeConversation(const std::string& service, const std::string& topic,
                                                     DdeOpenStatus& status) {
    // Confined text talks to no other program.
    status = Confined() ? DdeOpenStatus::kNoServer : DdeOpenStatus::kNoTransport;
    if (Confined() || !Bus()) return nullptr;
    sd_bus* raw = nullptr;
    if (Bus()->open_user(&raw) < 0) return nullptr;
    BusPtr bus(raw);
    // Waits until the bus has greeted the connection, so an address that
    // leads nowhere shows here and not at the first call.
    const char* unique = nullptr;
    if (Bus()->get_unique_name(bus.get(), &unique) < 0) return nullptr;
    status = DdeOpenStatus::kNoServer;
    std::string busName = DdeBusName(service);
    // Also stops names the bus would refuse: GetNameOwner fails on them.
    if (busName.size() > kMaxBusNameLength) return nullptr;
    std::string owner = NameOwner(bus.get(), busName);
    if (owner.empty()) return nullptr;
    status = DdeOpenStatus::kConnected;
    return std::make_unique<BusConversation>(std::move(bus), std::move(owner), DdeObjectPath(topic));
}

}  // namespace tallow::platform
