// The memory of places in a text: an open-addressing map from positions to
// notes, a bit per position for places visited once, and the code kept.
#include "text_memory.h"

#include "core/main_object.h"
#include "expr/functions.h"

namespace tallow {

TextMemory::TextMemory(size_t textSize) : seen_(textSize / 64 + 1) {}

TextMemory::~TextMemory() = default;

PlaceNotes* TextMemory::Create(uint32_t pos) {
    if ((notes_.size() + 1) * 2 > keys_.size()) {
        size_t capacity = keys_.empty() ? 64 : keys_.size() * 2;
        std::vector<uint32_t> keys(capacity, 0), slots(capacity, 0);
        for (size_t i = 0; i < keys_.size(); ++i) {
            if (!keys_[i]) continue;
            for (size_t h = Hash(keys_[i] - 1) & (capacity - 1);; h = (h + 1) & (capacity - 1))
                if (!keys[h]) {
                    keys[h] = keys_[i];
                    slots[h] = slots_[i];
                    break;
                }
        }
        keys_.swap(keys);
        slots_.swap(slots);
    }
    size_t mask = keys_.size() - 1;
    size_t h = Hash(pos) & mask;
    while (keys_[h])
        h = (h + 1) & mask;
    keys_[h] = pos + 1;
    slots_[h] = uint32_t(notes_.size());
    return &notes_.push_back(PlaceNotes{});
}

// The code made under the old names stays allocated until Collect (it may
// be running); only the notes that lead to it are dropped.
void TextMemory::Forget(uint32_t generation) {
    keys_.clear();
    slots_.clear();
    notes_.clear();
    regions_.clear();
    for (auto& code : code_)
        stale_.push_back(std::move(code));
    code_.clear();
    generation_ = generation;
}

const Token& TextMemory::MatchingClose(const Lexer& lexer, const Token& open) {
    auto known = closes_.find(open.start);
    if (known == closes_.end()) {
        // Every opener between open and its close is matched on the way;
        // those the text never closes (or cannot be read past) are noted too.
        std::vector<Token> opened{open};
        try {
            for (uint32_t at = open.end; !opened.empty();) {
                Token t = lexer.Peek(at);
                if (t.kind == tkEnd) break;
                if (t.kind == tkCall || t.IsDelimiter('(')) {
                    opened.push_back(t);
                } else if (t.IsDelimiter(')')) {
                    closes_[opened.back().start] = t;
                    opened.pop_back();
                }
                at = t.end;
            }
        } catch (const LexProbeFailed&) {
        }
        for (const Token& unclosed : opened)
            closes_[unclosed.start] = Token{};
        known = closes_.find(open.start);
    }
    if (known->second.kind == tkEnd) throw LexProbeFailed{};
    return known->second;
}

namespace {

// String variables a region lists before it only says it reads many.
constexpr size_t kMaxListedReads = 8;

void AddRead(CallRegion& region, std::string_view name) {
    if (region.readsMany) return;
    if (region.reads.size() == kMaxListedReads) {
        region.readsMany = true;
        region.reads.clear();
        return;
    }
    region.reads.push_back(name);
}

void Merge(CallRegion& into, const CallRegion& from) {
    into.changesNothing = into.changesNothing && from.changesNothing;
    if (from.readsMany) {
        into.readsMany = true;
        into.reads.clear();
    }
    for (std::string_view name : from.reads)
        AddRead(into, name);
}

}  // namespace

// Each call's own level is read once: a nested call's region is found first
// (on an explicit stack, not by recursion) and merged, and reading goes on
// after its close.
const CallRegion& TextMemory::Region(const Lexer& lexer, const MainObject& main, const Token& call) {
    auto known = regions_.find(call.end);
    if (known != regions_.end()) return known->second;
    struct Frame {
        Token call;
        uint32_t at;
        uint32_t close;
        CallRegion region;
    };
    std::vector<Frame> stack;
    stack.push_back({call, call.end, MatchingClose(lexer, call).start, {}});
    for (;;) {
        Frame& frame = stack.back();
        Token t = lexer.Peek(frame.at);
        if (t.start == frame.close) {
            CallRegion done = std::move(frame.region);
            uint32_t key = frame.call.end;
            stack.pop_back();
            const CallRegion& kept = regions_[key] = std::move(done);
            if (stack.empty()) return kept;
            Merge(stack.back().region, kept);
            continue;
        }
        frame.at = t.end;
        if (t.kind == tkMember) {
            frame.region.changesNothing = false;
        } else if (t.kind == tkStringVar) {
            AddRead(frame.region, t.text);
        } else if (t.kind == tkCall) {
            int number = main.FindNumFunction(t.text);
            bool harmless = number ? BuiltInChangesNoVariable(kExprNumber, number)
                                   : BuiltInChangesNoVariable(kExprString, main.FindStringFunction(t.text));
            if (!harmless) frame.region.changesNothing = false;
            uint32_t close = MatchingClose(lexer, t).start;
            frame.at = lexer.Peek(close).end;  // on after the nested call
            auto inner = regions_.find(t.end);
            if (inner != regions_.end())
                Merge(frame.region, inner->second);
            else
                stack.push_back({t, t.end, close, {}});
        }
    }
}

}  // namespace tallow
