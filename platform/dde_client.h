// A client conversation with a data-exchange server named by service and
// topic: command strings sent, data items requested as text. On Windows
// through DDEML; on Linux through the session bus (docs/dde-dbus.md).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tallow::platform {

// How long a request waits for the server's answer.
constexpr uint32_t kDdeRequestTimeoutMs = 1000;

enum class DdeOpenStatus {
    kConnected,
    kNoTransport,  // the exchange library could not start (no session bus on Linux)
    kNoServer,     // no server answered for the service and topic
};

// A live conversation; destroying it ends the conversation and releases the
// transport. Calls never throw.
class DdeConversation {
public:
    virtual ~DdeConversation() = default;
    // Sends the command text (up to its first NUL) without waiting for the
    // server's answer; whether it was carried out is not known.
    virtual void Execute(const std::string& command) = 0;
    // The item's value as text (up to its first NUL), waiting at most
    // kDdeRequestTimeoutMs; nothing when the server does not supply it,
    // does not answer in time, or has gone.
    virtual std::optional<std::string> Request(const std::string& item) = 0;
};

// Opens a conversation with service about topic. Sets status; gives a
// conversation only when it is kConnected. A confined process (see
// confinement.h) talks to no server: kNoServer.
std::unique_ptr<DdeConversation> OpenDdeConversation(const std::string& service, const std::string& topic,
                                                     DdeOpenStatus& status);

}  // namespace tallow::platform
