// The members port and mailslot objects share read their parameters and
// hand them to the byte-wise algorithms. Time-outs are whole seconds (the
// number truncated).
#include "objects/stream_object.h"

#include <vector>

#include "core/messages.h"
#include "core/program.h"
#include "expr/operators.h"
#include "objects/heap_bytes.h"
#include "platform/file_system.h"

namespace tallow {

// waitfor = "waitfor(" strexpr "," numexpr ")"
double StreamObject::WaitFor() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    std::string text = ev.EvalString();
    ev.HasNextParam(true);
    int seconds = ToInt32(ev.EvalNum());
    return WaitForText(*this, text, seconds) ? 1 : 0;
}

// waitformany = "waitformany(" numexpr { "," strexpr } ")"
double StreamObject::WaitForMany() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    int seconds = ToInt32(ev.EvalNum());
    std::vector<std::string> texts;
    while (ev.HasNextParam(false))
        texts.push_back(ev.EvalString());
    return WaitForAnyText(*this, texts, seconds);
}

// readstring = "readstring(" numexpr ")"
std::string StreamObject::ReadString() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    int seconds = ToInt32(ev.EvalNum());
    return ReadLineText(*this, seconds, [this](size_t bytes) { program_.ChargeMemory(bytes); });
}

// flush = "flush"
void StreamObject::Flush() {
    DiscardWaiting(*this);
}

uint32_t StreamObject::Now() {
    return platform::TickCount();
}

// range = numexpr "," numexpr
HeapRange StreamObject::ReadHeapRange() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    double address = ev.EvalNum();
    ev.HasNextParam(true);
    int size = ToInt32(ev.EvalNum());
    if (size < 0) program_.ReportError(kRuntimeKind, msg::kInvalidHeapAddress);
    return HeapRange{HeapBytes(program_, address, size_t(size)), size_t(size)};
}

}  // namespace tallow
