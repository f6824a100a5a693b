// The shared members read their parameters and hand them to the byte-wise
// algorithms. Time-outs are whole seconds (the number truncated).
#include "objects/stream_members.h"

#include <vector>

#include "core/messages.h"
#include "core/program.h"
#include "expr/operators.h"
#include "objects/byte_source.h"
#include "objects/heap_bytes.h"

namespace tallow {

double StreamWaitFor(Program& p, ByteSource& source) {
    // waitfor = "waitfor(" strexpr "," numexpr ")"
    Evaluator& ev = p.Eval();
    ev.HasFirstParam(true);
    std::string text = ev.EvalString();
    ev.HasNextParam(true);
    int seconds = ToInt32(ev.EvalNum());
    return WaitForText(source, text, seconds) ? 1 : 0;
}

double StreamWaitForMany(Program& p, ByteSource& source) {
    // waitformany = "waitformany(" numexpr { "," strexpr } ")"
    Evaluator& ev = p.Eval();
    ev.HasFirstParam(true);
    int seconds = ToInt32(ev.EvalNum());
    std::vector<std::string> texts;
    while (ev.HasNextParam(false))
        texts.push_back(ev.EvalString());
    return WaitForAnyText(source, texts, seconds);
}

std::string StreamReadString(Program& p, ByteSource& source) {
    // readstring = "readstring(" numexpr ")"
    Evaluator& ev = p.Eval();
    ev.HasFirstParam(true);
    int seconds = ToInt32(ev.EvalNum());
    return ReadLineText(source, seconds, [&p](size_t bytes) { p.ChargeMemory(bytes); });
}

HeapRange ReadHeapRange(Program& p) {
    // range = numexpr "," numexpr
    Evaluator& ev = p.Eval();
    ev.HasFirstParam(true);
    double address = ev.EvalNum();
    ev.HasNextParam(true);
    int size = ToInt32(ev.EvalNum());
    if (size < 0) p.ReportError(kRuntimeKind, msg::kInvalidHeapAddress);
    return HeapRange{HeapBytes(p, address, size_t(size)), size_t(size)};
}

}  // namespace tallow
