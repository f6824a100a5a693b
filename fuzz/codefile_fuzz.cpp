// Fuzz target: code files and dialog scripts from arbitrary bytes. The first
// byte chooses. A code file that reads must write back to the bytes it was
// read from (up to the end of its text) and each of its templates must read
// back the same after writing; a dialog script that parses must parse the
// same bytes after writing it out again.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#include "codec/code_file.h"
#include "codec/dialog_template.h"
#include "tools/tallowcod/dialog_script_parser.h"
#include "tools/tallowcod/dialog_script_writer.h"

namespace {

using namespace tallow::codec;

void Check(bool ok) {
    if (!ok) std::abort();
}

void CodeFileRoundTrip(std::span<const uint8_t> bytes) {
    CodeFile file;
    if (ReadCodeFile(bytes, file) != CodeFileError::None) return;
    std::vector<uint8_t> written = WriteCodeFile(file);
    Check(written.size() <= bytes.size() && std::equal(written.begin(), written.end(), bytes.begin()));
    for (const CodeFileDialog& d : file.dialogs) {
        DialogTemplate dialog;
        Check(ReadDialogTemplate(d.templateBytes, dialog));
        std::vector<uint8_t> bytes = WriteDialogTemplate(dialog);
        DialogTemplate again;
        Check(ReadDialogTemplate(bytes, again) && WriteDialogTemplate(again) == bytes);
    }
}

void ScriptRoundTrip(std::string_view text) {
    std::vector<ScriptDialog> dialogs;
    try {
        dialogs = ParseDialogScript(text, "fuzz.rc");
    } catch (const DialogScriptError&) {
        return;
    }
    for (const ScriptDialog& d : dialogs) {
        std::string written = WriteDialogScript(d.name, d.dialog);
        std::vector<ScriptDialog> again = ParseDialogScript(written, "again.rc");
        // Compared as bytes: fields the bytes leave out (a font without
        // DS_SETFONT) need not survive.
        Check(again.size() == 1 && WriteDialogTemplate(again[0].dialog) == WriteDialogTemplate(d.dialog));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::span<const uint8_t> rest(data + 1, size - 1);
    if (data[0] & 1)
        ScriptRoundTrip(std::string_view(reinterpret_cast<const char*>(rest.data()), rest.size()));
    else
        CodeFileRoundTrip(rest);
    return 0;
}
