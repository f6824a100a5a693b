// Fuzz target: the language server. The input is given twice: as a message
// body as it came from a client, and as a document's text, opened and then
// asked about at places across it. No input may crash the server, and every
// request gets exactly one response.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "lsp/json_value.h"
#include "lsp/language_server.h"

using tallow::lsp::JsonValue;
using tallow::lsp::LanguageServer;

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

size_t Responses(const std::vector<std::string>& replies) {
    size_t count = 0;
    for (const std::string& reply : replies) {
        std::optional<JsonValue> message = JsonValue::Parse(reply);
        Check(message.has_value());
        count += (*message)["method"].IsNull() ? 1 : 0;
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static LanguageServer* server = [] {
        auto* s = new LanguageServer;
        s->Handle(R"({"jsonrpc":"2.0","id":0,"method":"initialize","params":{}})");
        return s;
    }();
    std::string input(reinterpret_cast<const char*>(data), size);
    server->Handle(input);
    // As a document: the text goes in a JSON string, so that it arrives whole.
    JsonValue doc;
    doc.Set("uri", "file:///fuzz.tal");
    doc.Set("version", 1);
    doc.Set("text", input);
    JsonValue params;
    params.Set("textDocument", doc);
    JsonValue open;
    open.Set("jsonrpc", "2.0");
    open.Set("method", "textDocument/didOpen");
    open.Set("params", params);
    Check(Responses(server->Handle(open.Write())) == 0);
    const char* methods[] = {"textDocument/completion", "textDocument/hover", "textDocument/definition"};
    for (int line = 0; line < 6; ++line) {
        for (const char* method : methods) {
            JsonValue position;
            position.Set("line", line);
            position.Set("character", int(size % 17) + line);
            JsonValue at;
            at.Set("textDocument", doc);
            at.Set("position", position);
            JsonValue request;
            request.Set("jsonrpc", "2.0");
            request.Set("id", line + 1);
            request.Set("method", method);
            request.Set("params", at);
            Check(Responses(server->Handle(request.Write())) == 1);
        }
    }
    return 0;
}
