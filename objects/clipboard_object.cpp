// The clipboard object's members: each reads all its parameters, then opens
// the clipboard for its one exchange (the platform closes it again on every
// path). Texts travel in the ANSI text format; buffers are heap blocks.
#include "clipboard_object.h"

#include <cstring>

#include "core/messages.h"
#include "core/program.h"
#include "expr/member_table.h"
#include "expr/operators.h"
#include "expr/string_array.h"
#include "objects/dialog_object.h"
#include "objects/heap_bytes.h"
#include "platform/clipboard.h"

namespace tallow {

namespace {

using platform::ClipboardStatus;

constexpr StatementMember kStatements[] = {
    {"settext", 1, Call<&ClipboardObject::SetText>},
    {"settextarray", 2, Call<&ClipboardObject::SetTextArray>},
    {"gettextarray", 3, Call<&ClipboardObject::GetTextArray>},
    {"setbuffer", 4, Call<&ClipboardObject::SetBuffer>},
    {"getbuffer", 5, Call<&ClipboardObject::GetBuffer>},
};
constexpr NumFunctionMember kNumFunctions[] = {
    {"registerformat", 1, Call<&ClipboardObject::RegisterFormat>},
    {"isformatavailable", 2, Call<&ClipboardObject::IsFormatAvailable>},
};
constexpr StringFunctionMember kStringFunctions[] = {
    {"gettext", 1, Call<&ClipboardObject::GetText>},
};
constexpr MemberTable kMembers{kStatements, kNumFunctions, kStringFunctions};
static_assert(IdsInOrder(kMembers));

constexpr std::string_view kTextProperty = "text";
// What settextarray puts between the lines.
constexpr std::string_view kLineBreak = "\r\n";
// A text is read whole.
constexpr size_t kWholeText = SIZE_MAX;

std::span<const uint8_t> BytesOf(const std::string& text) {
    // With its NUL.
    return {reinterpret_cast<const uint8_t*>(text.c_str()), text.size() + 1};
}

}  // namespace

ClipboardObject::ClipboardObject(Program& program) : ScriptObject(program, "clipboard") {
    AddMembers(kMembers);
}

void ClipboardObject::PutText(const std::string& text) {
    if (platform::PutClipboardData(platform::kClipboardText, BytesOf(text)) != ClipboardStatus::kOk)
        program_.ReportError(kRuntimeKind, msg::kCannotOpenClipboard);
}

// The clipboard's text up to its first NUL; "" when it holds none.
std::string ClipboardObject::ReadText() {
    std::vector<uint8_t> bytes;
    ClipboardStatus status = platform::GetClipboardData(platform::kClipboardText, kWholeText, bytes);
    if (status == ClipboardStatus::kCannotOpen) program_.ReportError(kRuntimeKind, msg::kCannotOpenClipboard);
    if (bytes.empty()) return std::string();
    const char* text = reinterpret_cast<const char*>(bytes.data());
    const void* nul = std::memchr(text, '\0', bytes.size());
    return std::string(text, nul ? static_cast<const char*>(nul) - text : bytes.size());
}

// settext = "settext" strexpr
void ClipboardObject::SetText() {
    program_.Eval().HasFirstParam(true);
    PutText(program_.Eval().EvalString());
}

// settextarray = "settextarray" arrayname: the lines with CR LF between them.
void ClipboardObject::SetTextArray() {
    program_.Eval().HasFirstParam(true);
    StringArrayObject* array = program_.FindStringArray(program_.Eval().ReadName());
    if (!array) program_.ReportError(kRuntimeKind, msg::kArrayNotFound);
    std::string text;
    for (size_t i = 0; i < array->items.size(); ++i)
        text.append(i ? kLineBreak : std::string_view()).append(array->items[i]);
    PutText(text);
}

// gettextarray = "gettextarray" arrayname. The array is made anew before the
// clipboard is read, so it is empty when that fails.
void ClipboardObject::GetTextArray() {
    program_.Eval().HasFirstParam(true);
    StringArrayObject* array = program_.ClearStringArray(program_.Eval().ReadName());
    array->items = SplitDialogLines(ReadText());
}

namespace {

// The parameters of setbuffer and getbuffer: address "," size "," format,
// the block checked once all three are read. A negative size fits no
// block: HeapBytes refuses it.
struct BufferParams {
    uint8_t* bytes;
    size_t size;
    unsigned format;
};

BufferParams ReadBufferParams(Program& p) {
    Evaluator& ev = p.Eval();
    ev.HasFirstParam(true);
    double address = ev.EvalNum();
    ev.HasNextParam(true);
    int32_t size = ToInt32(ev.EvalNum());
    ev.HasNextParam(true);
    auto format = unsigned(ToInt32(ev.EvalNum()));
    auto* bytes = static_cast<uint8_t*>(HeapBytes(p, address, size_t(int64_t(size))));
    return {bytes, size_t(size), format};
}

}  // namespace

// setbuffer = "setbuffer" address "," size "," format
void ClipboardObject::SetBuffer() {
    BufferParams buffer = ReadBufferParams(program_);
    if (platform::PutClipboardData(buffer.format, {buffer.bytes, buffer.size}) != ClipboardStatus::kOk)
        program_.ReportError(kRuntimeKind, msg::kCannotOpenClipboard);
}

// getbuffer = "getbuffer" address "," size "," format: at most size bytes,
// fewer when the clipboard's block is smaller.
void ClipboardObject::GetBuffer() {
    BufferParams buffer = ReadBufferParams(program_);
    bool available = false;
    if (platform::ClipboardHasFormat(buffer.format, available) != ClipboardStatus::kOk)
        program_.ReportError(kRuntimeKind, msg::kCannotOpenClipboard);
    if (!available) program_.ReportError(kRuntimeKind, msg::kClipboardFormatNotAvailable);
    std::vector<uint8_t> bytes;
    switch (platform::GetClipboardData(buffer.format, buffer.size, bytes)) {
        case ClipboardStatus::kCannotOpen:
            program_.ReportError(kRuntimeKind, msg::kCannotOpenClipboard);
        case ClipboardStatus::kNoData:
            program_.ReportError(kRuntimeKind, msg::kCannotRetrieveClipboardData);
        case ClipboardStatus::kOk:
            break;
    }
    if (!bytes.empty()) std::memcpy(buffer.bytes, bytes.data(), bytes.size());
}

// registerformat = "registerformat(" strexpr ")"
double ClipboardObject::RegisterFormat() {
    program_.Eval().HasFirstParam(true);
    unsigned format = 0;
    if (platform::RegisterClipboardFormatName(program_.Eval().EvalString(), format) != ClipboardStatus::kOk)
        program_.ReportError(kRuntimeKind, msg::kCannotOpenClipboard);
    return format;
}

// isformatavailable = "isformatavailable(" format ")"
double ClipboardObject::IsFormatAvailable() {
    program_.Eval().HasFirstParam(true);
    bool available = false;
    if (platform::ClipboardHasFormat(unsigned(ToInt32(program_.Eval().EvalNum())), available) !=
        ClipboardStatus::kOk)
        program_.ReportError(kRuntimeKind, msg::kCannotOpenClipboard);
    return available ? 1 : 0;
}

// gettext = "gettext(" ")"
std::string ClipboardObject::GetText() {
    return ReadText();
}

void ClipboardObject::SetStringMember(std::string_view name, std::string value) {
    if (!NamesEqual(name, kTextProperty)) return ScriptObject::SetStringMember(name, std::move(value));
    PutText(value);
}

std::string ClipboardObject::GetStringMember(std::string_view name) {
    if (!NamesEqual(name, kTextProperty)) return ScriptObject::GetStringMember(name);
    return ReadText();
}

}  // namespace tallow
