// Run and Compile's decisions and texts.
#include "ide/model/run_report.h"

#include <cctype>

#include "ide/model/main_form_rules.h"
#include "ide/model/program_layout.h"

namespace tallow::ide {

namespace {

constexpr std::string_view kErrorMark = ": error: ";
// Written between a code file's name and the line when the line counts in
// the file's script.
constexpr std::string_view kScriptPart = ":script";

// The decimal number that ends text after a colon, as in "...:12"; the
// colon's position is returned through colon.
std::optional<int> TrailingNumber(std::string_view text, size_t& colon) {
    size_t digits = text.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(text[digits - 1])))
        --digits;
    if (digits == text.size() || digits == 0 || text[digits - 1] != ':' || text.size() - digits > 9)
        return std::nullopt;
    colon = digits - 1;
    return std::stoi(std::string(text.substr(digits)));
}

std::optional<RunDiagnostic> ParseLine(std::string_view line) {
    size_t mark = line.find(kErrorMark);
    if (mark == std::string_view::npos) return std::nullopt;
    std::string_view place = line.substr(0, mark);
    size_t colon = 0;
    std::optional<int> column = TrailingNumber(place, colon);
    if (!column) return std::nullopt;
    place = place.substr(0, colon);
    std::optional<int> number = TrailingNumber(place, colon);
    if (!number || colon == 0) return std::nullopt;
    RunDiagnostic found;
    std::string_view file = place.substr(0, colon);
    if (file.size() > kScriptPart.size() && file.ends_with(kScriptPart))
        file.remove_suffix(kScriptPart.size());
    found.file = std::string(file);
    found.line = *number;
    found.column = *column;
    found.message = std::string(line.substr(mark + kErrorMark.size()));
    return found;
}

}  // namespace

RunRoute ChooseRunRoute(bool shellOpensCodeFiles, bool launcherFound) {
    if (shellOpensCodeFiles) return RunRoute::Shell;
    return launcherFound ? RunRoute::Launcher : RunRoute::None;
}

std::string LauncherCommandLine(std::string_view launcher, std::string_view codePath) {
    return "\"" + std::string(launcher) + "\" \"" + std::string(codePath) + "\"";
}

std::optional<RunDiagnostic> ParseRunDiagnostic(std::string_view text) {
    while (!text.empty()) {
        size_t end = text.find_first_of("\r\n");
        std::optional<RunDiagnostic> found = ParseLine(text.substr(0, end));
        if (found) return found;
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return std::nullopt;
}

std::string NoRunnerMessage(std::string_view codePath) {
    return CannotRunMessage(codePath, std::string("no program is registered to open code files, and ") +
                                          kLauncherName + " is not beside TallowEdit.");
}

std::string CannotRunMessage(std::string_view codePath, std::string_view reason) {
    return "Cannot run '" + std::string(codePath) + "': " + std::string(reason);
}

std::string NoBuilderMessage(std::string_view codePath) {
    return CannotCompileMessage(codePath, std::string(kBuilderName) + " is not beside TallowEdit.");
}

std::string CannotCompileMessage(std::string_view codePath, std::string_view reason) {
    return "Cannot compile '" + std::string(codePath) + "': " + std::string(reason);
}

std::string CompiledMessage(std::string_view exePath) {
    return "The program was compiled to '" + std::string(exePath) + "'.";
}

std::string CompiledStatus(std::string_view exePath) {
    return "Compiled: " + std::string(exePath);
}

std::string CompileFailedStatus(std::string_view exePath, unsigned long status) {
    return "Not compiled: " + std::string(exePath) + " (" + kBuilderName + " status " +
           std::to_string(status) + ")";
}

std::string RunErrorStatus(const RunDiagnostic& error) {
    return "Error in line " + std::to_string(error.line) + ": " + error.message;
}

}  // namespace tallow::ide
