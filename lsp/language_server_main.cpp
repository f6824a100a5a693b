// The export that runs the language server on the process's standard input
// and output until the client's exit notification or the end of input.
#include <cstdio>
#include <string>
#include <vector>

#include "lsp/language_server.h"
#include "lsp/message_stream.h"
#include "tallow.h"

TALLOW_EXPORT int TALLOW_API RunLanguageServer(void) {
    using namespace tallow::lsp;
    try {
        LanguageServer server;
        MessageReader reader(stdin);
        std::string body;
        for (;;) {
            MessageReader::Status status = reader.Read(body);
            if (status == MessageReader::Status::End) return 1;  // no exit notification came
            // A header without a usable length is answered as a body that is no JSON.
            std::vector<std::string> replies =
                server.Handle(status == MessageReader::Status::Message ? body : "");
            for (const std::string& reply : replies)
                if (!WriteMessage(stdout, reply)) return 1;
            if (server.Exited()) return server.ExitCode();
        }
    } catch (...) {
        // Nothing may leave an export; the client sees the server end.
        return 1;
    }
}
