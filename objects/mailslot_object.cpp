// The mailslot object's members. Writes and readbuffer raise their errors;
// waits and line reads never do, they give 0 or "" at their deadline.
#include "objects/mailslot_object.h"

#include <iterator>

#include "core/messages.h"
#include "core/program.h"
#include "expr/member_table.h"
#include "objects/stream_members.h"
#include "platform/confinement.h"
#include "platform/file_system.h"
#include "platform/text_case.h"

namespace tallow {

namespace {

constexpr MemberName kStatements[] = {{"writestring", kSlotWriteString}, {"flush", kSlotFlush}};
static_assert(std::size(kStatements) == kSlotStatementCount, "mailslot statement table out of step");
constexpr MemberName kNumFunctions[] = {{"waitfor", kSlotWaitFor},
                                        {"waitformany", kSlotWaitForMany},
                                        {"writebuffer", kSlotWriteBuffer},
                                        {"readbuffer", kSlotReadBuffer}};
static_assert(std::size(kNumFunctions) == kSlotNumFunctionCount, "mailslot function table out of step");
constexpr MemberName kStringFunctions[] = {{"readstring", kSlotReadString}};

// The mode words of creation, as they compare once upper-cased.
constexpr std::string_view kCreateMode = "CREATE";
constexpr std::string_view kOpenMode = "OPEN";

}  // namespace

bool MailslotObject::Source::ReadByte(char& byte) {
    return slot_.Read(&byte, 1) == 1;
}

void MailslotObject::Source::Await(uint32_t milliseconds) {
    slot_.AwaitMessage(milliseconds);
}

uint32_t MailslotObject::Source::Now() {
    return platform::TickCount();
}

MailslotObject::MailslotObject(Program& program, std::string name, std::unique_ptr<platform::Mailslot> slot)
    : ScriptObject(program, std::move(name)), slot_(std::move(slot)), source_(*slot_) {
    for (const MemberName& m : kStatements)
        AddStatement(m.name, m.id);
    for (const MemberName& m : kNumFunctions)
        AddNumFunction(m.name, m.id);
    for (const MemberName& m : kStringFunctions)
        AddStringFunction(m.name, m.id);
}

void MailslotObject::ProcessStatement(int id) {
    switch (id) {
        case kSlotWriteString: {
            // writestring = "writestring" strexpr
            Evaluator& ev = program_.Eval();
            ev.HasFirstParam(true);
            std::string text = ev.EvalString();
            if (slot_->WriteByteMessages(text.data(), text.size()) != text.size())
                program_.ReportError(kRuntimeKind, msg::kMailslotWriteStringFailed);
            return;
        }
        case kSlotFlush:
            // flush = "flush"
            return DiscardWaiting(source_);
    }
    ScriptObject::ProcessStatement(id);
}

double MailslotObject::ProcessNumFunction(int id) {
    switch (id) {
        case kSlotWaitFor:
            return StreamWaitFor(program_, source_);
        case kSlotWaitForMany:
            return StreamWaitForMany(program_, source_);
        case kSlotWriteBuffer: {
            // writebuffer = "writebuffer(" numexpr "," numexpr ")"
            HeapRange range = ReadHeapRange(program_);
            if (!slot_->Write(range.data, range.size))
                program_.ReportError(kRuntimeKind, msg::kMailslotWriteFailed);
            return double(range.size);
        }
        case kSlotReadBuffer: {
            // readbuffer = "readbuffer(" numexpr "," numexpr ")"
            HeapRange range = ReadHeapRange(program_);
            long read = slot_->Read(range.data, range.size);
            if (read < 0) program_.ReportError(kRuntimeKind, msg::kMailslotReadFailed);
            return double(read);
        }
    }
    return ScriptObject::ProcessNumFunction(id);
}

std::string MailslotObject::ProcessStringFunction(int id) {
    if (id == kSlotReadString) return StreamReadString(program_, source_);
    return ScriptObject::ProcessStringFunction(id);
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
