// The console edits lines itself (and keeps their history while it is
// open), so the prompt reads plain lines.
#include "platform/line_editor.h"

namespace tallow::platform {

struct LineEditor::Library {};

LineEditor::LineEditor() = default;
LineEditor::~LineEditor() = default;

bool LineEditor::ReadLine(const char* prompt, std::string& line) {
    return ReadPlainLine(prompt, line);
}

void LineEditor::ReadHistory(const std::string&) {}
void LineEditor::WriteHistory(const std::string&) {}

}  // namespace tallow::platform
