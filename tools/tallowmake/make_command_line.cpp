// Reading tallowmake's command line in either form.
#include "tools/tallowmake/make_command_line.h"

#include <filesystem>

namespace tallow::make {

namespace {

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return std::string();
    size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// A text holds the environment's form when a double quote stands inside it,
// after a first character that is neither a quote nor an option's dash.
bool IsEnvironmentForm(const std::string& text) {
    size_t quote = text.find('"');
    return quote != std::string::npos && quote > 0 && text[0] != '-';
}

// CODEFILE"EXEFILE: the code file up to the first quote, the executable after
// it; a closing quote that a hand-written command line adds is dropped.
MakeRequest SplitEnvironmentForm(const std::string& text) {
    MakeRequest request;
    request.environmentForm = true;
    size_t quote = text.find('"');
    request.codeFile = Trim(text.substr(0, quote));
    request.exeFile = Trim(text.substr(quote + 1));
    if (!request.exeFile.empty() && request.exeFile.back() == '"') request.exeFile.pop_back();
    if (request.exeFile.find('"') != std::string::npos)
        request.error = "the executable's path holds a double quote";
    else if (request.exeFile.empty())
        request.error = "no executable named after the double quote";
    return request;
}

MakeRequest ParseConventional(const std::vector<std::string>& args, const std::string& exeSuffix) {
    MakeRequest request;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word == "--help" || word == "-h") {
            request.help = true;
            return request;
        }
        if (word == "-o") {
            if (i + 1 >= args.size()) {
                request.error = "-o needs the executable's path";
                return request;
            }
            request.exeFile = args[++i];
        } else if (word.size() > 1 && word[0] == '-') {
            request.error = "unknown option " + word;
            return request;
        } else if (request.codeFile.empty()) {
            request.codeFile = word;
        } else {
            request.error = "more than one code file named: " + request.codeFile + " and " + word;
            return request;
        }
    }
    if (request.codeFile.empty()) {
        request.error = "no code file named";
    } else if (request.exeFile.empty()) {
        request.exeFile = std::filesystem::path(request.codeFile).replace_extension(exeSuffix).string();
        if (request.exeFile == request.codeFile)
            request.error = "the executable would replace the code file; name it with -o";
    }
    return request;
}

}  // namespace

MakeRequest ParseMakeCommandLine(const std::optional<std::string>& rawText,
                                 const std::vector<std::string>& args, const std::string& exeSuffix) {
    // A word that is one of our options makes the conventional form, even
    // with a quoted path in the raw text ("a.cod -o "x y.exe"").
    for (const std::string& word : args)
        if (word == "-o" || word == "-h" || word == "--help") return ParseConventional(args, exeSuffix);
    // One word that holds the quote itself came from a caller that escaped
    // it (a C runtime's spawn writes CODE\"EXE): that word is the form, and
    // the raw text would keep the escaping backslash in the code file's name.
    if (args.size() == 1 && IsEnvironmentForm(args[0])) return SplitEnvironmentForm(args[0]);
    if (rawText && IsEnvironmentForm(Trim(*rawText))) return SplitEnvironmentForm(Trim(*rawText));
    // Without the raw text: the form in one argument, or split at blanks by
    // whatever started us, the words joined again.
    std::string joined;
    for (const std::string& word : args)
        joined += (joined.empty() ? "" : " ") + word;
    if (IsEnvironmentForm(joined)) return SplitEnvironmentForm(joined);
    return ParseConventional(args, exeSuffix);
}

}  // namespace tallow::make
