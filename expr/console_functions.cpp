// The console input functions getchar and getstring. They read the program's
// standard input handle after making sure its console is open.
#include "core/messages.h"
#include "core/program.h"
#include "expr/function_helpers.h"
#include "platform/console.h"

namespace tallow {

namespace {

// Raw console input for the life of the scope; line input again after it,
// also when an error leaves the scope.
struct RawInputScope {
    platform::Handle input;
    explicit RawInputScope(platform::Handle h) : input(h) {
        platform::SetInputMode(input, platform::InputMode::Raw);
    }
    ~RawInputScope() { platform::SetInputMode(input, platform::InputMode::Line); }
    RawInputScope(const RawInputScope&) = delete;
    RawInputScope& operator=(const RawInputScope&) = delete;
};

}  // namespace

// getchar = "getchar(" ")": one key, without echo; "" at the end of input.
std::string FnGetChar(Program& p) {
    p.OpenConsole();
    char key = 0;
    long n;
    {
        RawInputScope raw(p.stdinHandle);
        platform::WaitForInput(p.stdinHandle);
        n = platform::ReadKey(p.stdinHandle, key);
    }
    if (n < 0) p.ReportError(kRuntimeKind, msg::kConsoleReadFailed);
    return n == 0 ? std::string() : std::string(1, key);
}

// getstring = "getstring(" ")": one line with its terminator; "" at the end
// of input.
std::string FnGetString(Program& p) {
    p.OpenConsole();
    platform::WaitForInput(p.stdinHandle);
    char buffer[kMaxConsoleLine];
    long n = platform::ReadLine(p.stdinHandle, buffer, sizeof buffer);
    if (n < 0) p.ReportError(kRuntimeKind, msg::kConsoleReadFailed);
    return std::string(buffer, size_t(n));
}

}  // namespace tallow
