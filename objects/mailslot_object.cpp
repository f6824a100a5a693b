// The mailslot object's members. Writes and readbuffer raise their errors;
// waits and line reads never do, they give 0 or "" at their deadline.
#include "objects/mailslot_object.h"

#include "core/messages.h"
#include "core/program.h"
#include "expr/member_table.h"
#include "platform/confinement.h"
#include "platform/text_case.h"

namespace tallow {

namespace {

constexpr StatementMember kStatements[] = {
    {"writestring", 1, Call<&MailslotObject::WriteString>},
    {"flush", 2, Call<&StreamObject::Flush>},
};
constexpr NumFunctionMember kNumFunctions[] = {
    {"waitfor", 1, Call<&StreamObject::WaitFor>},
    {"waitformany", 2, Call<&StreamObject::WaitForMany>},
    {"writebuffer", 3, Call<&MailslotObject::WriteBuffer>},
    {"readbuffer", 4, Call<&MailslotObject::ReadBuffer>},
};
constexpr StringFunctionMember kStringFunctions[] = {
    {"readstring", 1, Call<&StreamObject::ReadString>},
};
constexpr MemberTable kMembers{kStatements, kNumFunctions, kStringFunctions};
static_assert(IdsInOrder(kMembers));

// The mode words of creation, as they compare once upper-cased.
constexpr std::string_view kCreateMode = "CREATE";
constexpr std::string_view kOpenMode = "OPEN";

}  // namespace

bool MailslotObject::ReadByte(char& byte) {
    return slot_->Read(&byte, 1) == 1;
}

void MailslotObject::Await(uint32_t milliseconds) {
    slot_->AwaitMessage(milliseconds);
}

MailslotObject::MailslotObject(Program& program, std::string name, std::unique_ptr<platform::Mailslot> slot)
    : StreamObject(program, std::move(name)), slot_(std::move(slot)) {
    AddMembers(kMembers);
}

// writestring = "writestring" strexpr
void MailslotObject::WriteString() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    std::string text = ev.EvalString();
    if (slot_->WriteByteMessages(text.data(), text.size()) != text.size())
        program_.ReportError(kRuntimeKind, msg::kMailslotWriteStringFailed);
}

// writebuffer = "writebuffer(" numexpr "," numexpr ")"
double MailslotObject::WriteBuffer() {
    HeapRange range = ReadHeapRange();
    if (!slot_->Write(range.data, range.size)) program_.ReportError(kRuntimeKind, msg::kMailslotWriteFailed);
    return double(range.size);
}

// readbuffer = "readbuffer(" numexpr "," numexpr ")"
double MailslotObject::ReadBuffer() {
    HeapRange range = ReadHeapRange();
    long read = slot_->Read(range.data, range.size);
    if (read < 0) program_.ReportError(kRuntimeKind, msg::kMailslotReadFailed);
    return double(read);
}

ScriptObject* MailslotFactory::Create(const std::string& name) {
    // creation = strexpr "," word
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    std::string slotName = ev.EvalString();
    ev.HasNextParam(true);
    std::string mode = ev.ReadName();
    platform::UpperCaseText(mode);
    auto slot = std::make_unique<platform::Mailslot>();
    // Text run confined may not reach other programs.
    bool opened = !platform::Confined() && ((mode == kCreateMode && slot->Create(slotName)) ||
                                            (mode == kOpenMode && slot->Open(slotName)));
    if (!opened) program_.ReportError(kRuntimeKind, msg::kCannotOpenMailslot);
    return new MailslotObject(program_, name, std::move(slot));
}

}  // namespace tallow
