// The language server's requests and notifications, message by message and
// without any stream: Handle takes one message body and gives the bodies to
// send back. Any text and any sequence of messages is answered; a message
// that is no request gets an error response, never an exception.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/text_check.h"
#include "lsp/json_value.h"
#include "lsp/name_catalog.h"
#include "lsp/text_document.h"

namespace tallow {
class Program;
}

namespace tallow::lsp {

// The protocol's error codes the server gives.
constexpr int kParseError = -32700;
constexpr int kInvalidRequest = -32600;
constexpr int kMethodNotFound = -32601;
constexpr int kInvalidParams = -32602;
constexpr int kInternalError = -32603;
constexpr int kServerNotInitialized = -32002;

class LanguageServer {
public:
    LanguageServer();
    ~LanguageServer();

    std::vector<std::string> Handle(std::string_view body);
    // The exit notification came: the process ends with ExitCode (0 after a
    // shutdown request, 1 without one).
    bool Exited() const { return exited_; }
    int ExitCode() const { return shutDown_ ? 0 : 1; }

private:
    struct Document {
        TextDocument text;
        TextFacts facts;
    };
    using Handler = JsonValue (LanguageServer::*)(const JsonValue& params);

    std::vector<std::string> HandleMessage(const JsonValue& message);
    void Notify(const std::string& method, JsonValue params);

    JsonValue Initialize(const JsonValue& params);
    JsonValue Shutdown(const JsonValue& params);
    JsonValue Completion(const JsonValue& params);
    JsonValue Hover(const JsonValue& params);
    JsonValue DocumentSymbols(const JsonValue& params);
    JsonValue Definition(const JsonValue& params);

    void DidOpen(const JsonValue& params);
    void DidChange(const JsonValue& params);
    void DidClose(const JsonValue& params);
    void Check(const std::string& uri, std::string text, int version);

    // The document a request's textDocument.uri names, and the offset of its
    // position; null for an unknown document.
    const Document* DocumentAt(const JsonValue& params, uint32_t* offset = nullptr) const;
    JsonValue Range(const TextDocument& document, uint32_t start, uint32_t end) const;

    std::unique_ptr<Program> program_;
    std::unique_ptr<NameCatalog> catalog_;
    std::map<std::string, Document> documents_;
    std::vector<std::string> outgoing_;
    bool initialized_ = false;
    bool shutDown_ = false;
    bool exited_ = false;
};

}  // namespace tallow::lsp
