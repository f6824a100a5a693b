// Captured output: dividing it into lines and filling the array.
#include "objects/output_capture.h"

#include <utility>

#include "core/program.h"
#include "expr/string_array.h"

namespace tallow {

std::vector<std::string> SplitCapturedLines(std::string_view bytes, bool lineFeedEndsLine) {
    std::vector<std::string> lines;
    std::string line;
    char previous = 0;
    for (char c : bytes) {
        if (c == '\r' || (c == '\n' && lineFeedEndsLine && previous != '\r')) {
            lines.push_back(std::move(line));
            line.clear();
        } else if (c != '\n') {
            line += c;
        }
        previous = c;
    }
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
}

OutputCapture::OutputCapture(Program& program, std::string arrayName)
    : program_(program), arrayName_(std::move(arrayName)) {}

void OutputCapture::Finish() {
    StringArrayObject* array = program_.ClearStringArray(arrayName_);
    program_.ChargeMemory(file_.Size());
    std::vector<std::string> lines = SplitCapturedLines(file_.ReadAll(), platform::kLineFeedEndsLine);
    program_.ChargeMemory(lines.size() * sizeof(std::string));
    array->items = std::move(lines);
}

}  // namespace tallow
