// Fuzz target: the embedding API driven by a command stream. The input is
// text; a line that starts with "@" is a command, every other line is
// script text kept for the next run:
//
//   @c               create a program (at most kMaxPrograms alive); it becomes current
//   @s N             make the N-th program slot current
//   @o NAME TAPE     insert a host object into the current program
//   @f NAME TAPE     insert a host object type (a factory)
//   @r               run the script lines so far on the current program
//   @d               destroy the current program
//   @l N             statement limit of the current program (within the budget)
//   @a ARG...        script arguments ("@a -" removes them)
//   @n NAME          script file name
//   @x TAPE          play a tape outside any entry point, on a host object
//
// A host object's TAPE says what its entry points do: segments separated by
// "|" for the members a, b, c, d (statements), e, f (number functions), g, h
// (string functions), then create and destroy. Each character of a segment
// is one call into the engine (see PlayTape): reading parameters, evaluating,
// errors of every kind, variables, members, arrays, properties, inserting
// objects, running other programs. Script lines left at the end run on the
// current program (one with a default host object is made when there is
// none); then the programs still alive are destroyed, in creation order or
// its reverse.
//
// Programs get the statement budget, the same environment as run_fuzz, and
// their line ends made as the runner makes them. Call-backs here hold only
// trivially destructible locals across calls that may raise: a raised error
// jumps past their frames back into the engine.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_environment.h"
#include "tallow.h"

namespace {

// Operations a careless host makes, which the engine must survive; each can
// be switched off to narrow a finding down. DestroyProgram from inside a
// call-back of that program (the destruction waits for the run to end):
constexpr bool kDestroyInCallback = true;
// Handles of programs and objects that were destroyed (neutral results):
constexpr bool kStaleHandles = true;

// Programs alive at once.
constexpr int kMaxPrograms = 4;
// Host objects, types and objects made from types, per input: bounds the
// tapes that insert objects from inside their own create.
constexpr size_t kMaxHosts = 64;
// A host's text buffer, and the small one that truncates.
constexpr int kTextSize = 256;
constexpr int kShortText = 4;
// The property under which an object finds its host record.
constexpr char kHostProperty[] = "fuzz.host";
// Segments of a tape: members a to h, then create and destroy.
constexpr int kFirstNumberSegment = 4;
constexpr int kFirstStringSegment = 6;
constexpr int kCreateSegment = 8;
constexpr int kDestroySegment = 9;
// Names a tape's digits choose for variables, arrays, members and properties.
constexpr const char* kNames[] = {"got", "sa", "na", "x", "ErrMsg", "argv", "", "Result", "a", "host"};
// The tape of the host object a program made for left-over lines gets.
constexpr char kDefaultTape[] = "Hs|He|HsNeT|E|He|HeNe|Hs|Hk||";

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "api_fuzz: check failed: %s\n", what);
    std::abort();
}

// One host object, host type, or object made from a type.
struct Host {
    int slot = -1;  // the program slot it belongs to
    std::string tape;
    bool factory = false;
    bool alive = false;  // an object whose handle may be used
    TallowObjectHandle handle = nullptr;
    double number = 0;
    char text[kTextSize] = "";
    int nameIndex = 0;
};

// Everything one input made. Host records outlive their objects, so a
// call-back never meets a freed record.
struct Session {
    TallowProgramHandle programs[kMaxPrograms] = {};
    bool running[kMaxPrograms] = {};  // a run this target started is in progress
    int current = -1;
    int destroying = 0;    // DestroyProgram calls in progress
    bool outside = false;  // a tape is played outside every entry point
    std::vector<std::unique_ptr<Host>> hosts;
    std::vector<TallowProgramHandle> destroyed;  // for the stale-handle operations
    int serial = 0;                              // names of objects inserted from tapes
};

Session* gSession = nullptr;

int TALLOW_ENTRY HostCreate(TallowObjectHandle object, TallowValue data, const char** statements,
                            const char** numberFunctions, const char** stringFunctions);
int TALLOW_ENTRY HostDestroy(TallowObjectHandle object, TallowValue data);
int TALLOW_ENTRY HostStatement(TallowObjectHandle object, int id);
int TALLOW_ENTRY HostNumber(TallowObjectHandle object, int id, double* result);
int TALLOW_ENTRY HostString(TallowObjectHandle object, int id, const char** result);

int ToIndex(double value) {
    if (!(value > -1e6 && value < 1e6)) return 0;
    return int(value);
}

Host* NewHost(int slot, const std::string& tape, bool factory) {
    if (gSession->hosts.size() >= kMaxHosts) return nullptr;
    gSession->hosts.push_back(std::make_unique<Host>());
    Host* h = gSession->hosts.back().get();
    h->slot = slot;
    h->tape = tape;
    h->factory = factory;
    return h;
}

Host* HostOf(TallowObjectHandle object) {
    return reinterpret_cast<Host*>(GetProperty(object, kHostProperty));
}

// Inserts an object or a type named after the serial number into slot; a
// null entry point when broken is set.
void InsertFromTape(int slot, const std::string& tape, bool factory, bool broken) {
    Host* h = NewHost(slot, tape, factory);
    if (!h) return;
    char name[32];
    std::snprintf(name, sizeof name, "%s%d", factory ? "t" : "o", ++gSession->serial);
    TallowProgramHandle p = gSession->programs[slot];
    TallowValue data = reinterpret_cast<TallowValue>(h);
    if (factory)
        InsertFactory(name, data, p, HostCreate, HostDestroy, HostStatement, HostNumber, HostString);
    else
        InsertObject(name, data, p, HostCreate, broken ? nullptr : HostDestroy, HostStatement, HostNumber,
                     HostString);
}

// Runs text on the program in slot. A program in the middle of a run
// refuses with 1.
int RunSlot(int slot, const char* text) {
    Session& s = *gSession;
    bool wasRunning = s.running[slot];
    s.running[slot] = true;
    int code = RunProgram(s.programs[slot], text);
    s.running[slot] = wasRunning;
    if (wasRunning) Check(code == 1, "RunProgram on a running program gives 1");
    return code;
}

// The program slot pick steps to from slot, other than slot; -1 when none.
int OtherSlot(int slot, int pick) {
    for (int i = 0; i < kMaxPrograms; ++i) {
        int other = (slot + 1 + pick + i) % kMaxPrograms;
        if (other != slot && gSession->programs[other]) return other;
    }
    return -1;
}

// A live host object of another program than slot's; null when none.
Host* ForeignObject(int slot, int pick) {
    int count = 0;
    for (auto& h : gSession->hosts)
        if (h->alive && h->slot != slot && gSession->programs[h->slot]) ++count;
    if (count == 0) return nullptr;
    int wanted = pick % count;
    for (auto& h : gSession->hosts)
        if (h->alive && h->slot != slot && gSession->programs[h->slot] && wanted-- == 0) return h.get();
    return nullptr;
}

void DestroySlot(int slot) {
    Session& s = *gSession;
    TallowProgramHandle p = s.programs[slot];
    if (!p) return;
    s.programs[slot] = nullptr;
    ++s.destroying;
    DestroyProgram(p);
    --s.destroying;
    s.destroyed.push_back(p);
    for (auto& h : s.hosts)
        if (h->slot == slot) h->alive = false;
}

// Safe calls (they never raise) on another program's object.
void CallForeign(Host& h) {
    Host* other = ForeignObject(h.slot, h.nameIndex);
    if (!other) return;
    TallowObjectHandle o = other->handle;
    const char* name = kNames[h.nameIndex];
    SetNumVar(o, name, h.number);
    SetStringVar(o, name, h.text);
    AddToStringArray(o, name, h.text);
    char* item = GetStringArrayItem(o, name, ToIndex(h.number));
    FreeString(o, item);
    GetNumArrayItem(o, name, 0);
    if (h.nameIndex == 9) EndProgram(o);
}

// Array calls with what their results must agree on.
void StringArrayCalls(TallowObjectHandle o, Host& h, const char* name) {
    int before = GetStringArrayCount(o, name);
    int added = AddToStringArray(o, name, h.text);
    int after = GetStringArrayCount(o, name);
    Check(added ? before >= 0 && after == before + 1 : after == before,
          "AddToStringArray and the count agree");
    Check(before >= -1 && after >= -1, "a string array count is -1 or more");
    if (after > 0) {
        char* last = GetStringArrayItem(o, name, after - 1);
        Check(last != nullptr, "the last item of a string array is there");
        if (added) Check(std::string_view(last) == std::string_view(h.text), "the item added reads back");
        FreeString(o, last);
    }
    Check(GetStringArrayItem(o, name, after < 0 ? 0 : after) == nullptr, "no item past the end");
    Check(GetStringArrayItem(o, name, -1) == nullptr, "no item before the start");
}

void NumArrayCalls(TallowObjectHandle o, Host& h, const char* name) {
    int before = GetNumArrayCount(o, name);
    int added = AddToNumArray(o, name, h.number);
    int after = GetNumArrayCount(o, name);
    Check(added ? before >= 0 && after == before + 1 : after == before, "AddToNumArray and the count agree");
    if (added) {
        double last = GetNumArrayItem(o, name, after - 1);
        Check(last == h.number || (std::isnan(last) && std::isnan(h.number)), "the number added reads back");
    }
    Check(GetNumArrayItem(o, name, after < 0 ? 0 : after) == 0.0, "no number past the end");
}

void CopyOut(Host& h, char* copy, TallowObjectHandle o) {
    std::snprintf(h.text, sizeof h.text, "%s", copy ? copy : "");
    FreeString(o, copy);
}

// One call of a tape; false stops the tape.
bool PlayOne(Host& h, TallowObjectHandle o, char op) {
    Session& s = *gSession;
    const char* name = kNames[h.nameIndex];
    // Calls that reach programs (inserting, running, other programs' objects)
    // stay out of destroy call-backs while DestroyProgram runs.
    bool reachPrograms = s.destroying == 0;
    if (op >= '0' && op <= '9') {
        h.nameIndex = op - '0';
        return true;
    }
    switch (op) {
        case 'h':
            Check(!HasFirstParam(o, 0) || !s.outside, "HasFirstParam outside gives 0");
            break;
        case 'H':
            Check(!HasFirstParam(o, 1) || !s.outside, "HasFirstParam outside gives 0");
            break;
        case 'n':
            HasNextParam(o, 0);
            break;
        case 'N':
            HasNextParam(o, 1);
            break;
        case 'e': {
            double before = h.number;
            EvalNum(o, &h.number);
            Check(!s.outside || h.number == before || std::isnan(before), "EvalNum outside changes nothing");
            break;
        }
        case '#':
            EvalNum(o, nullptr);
            break;
        case 's':
            EvalString(o, h.text, kTextSize);
            break;
        case 't':
            EvalString(o, h.text, kShortText);
            break;
        case 'z':
            EvalString(o, h.text, 0);
            break;
        case '_':
            EvalString(o, nullptr, kTextSize);
            break;
        case 'k':
            EvalKeyword(o, h.text, kTextSize);
            break;
        case 'c':
            h.number = Test(o);
            break;
        case 'C':
            h.number = TestString(o);
            break;
        case 'm':
            h.number = TestNum(o);
            break;
        case 'T':
            ThrowError(o, 1, h.text);
            break;
        case 'F':
            ThrowError(o, 0, h.text);
            break;
        case 'W':
            ThrowError(o, 2, h.text);
            break;
        case 'Z':
            ThrowError(o, 1, nullptr);
            break;
        case 'J':
            ThrowError(o, ToIndex(h.number), h.text);
            break;
        case 'E':
            EndProgram(o);
            break;
        case 'v':
            SetNumVar(o, name, h.number);
            break;
        case 'V':
            h.number = GetNumVar(o, name);
            break;
        case 'j': {
            double value = h.number;
            SetNumVar(o, name, value);
            double back = GetNumVar(o, name);
            Check(back == value || (std::isnan(back) && std::isnan(value)), "SetNumVar reads back");
            break;
        }
        case 'g':
            SetStringVar(o, name, h.text);
            break;
        case 'G':
            CopyOut(h, GetStringVar(o, name), o);
            break;
        case 'x':
            SetNumMember(o, name, h.number);
            break;
        case 'X':
            h.number = GetNumMember(o, name);
            break;
        case 'y':
            SetStringMember(o, name, h.text);
            break;
        case 'Y':
            CopyOut(h, GetStringMember(o, name), o);
            break;
        case 'a':
            ClearStringArray(o, name);
            break;
        case 'A':
            ClearNumArray(o, name);
            break;
        case 'p':
            StringArrayCalls(o, h, name);
            break;
        case 'P':
            NumArrayCalls(o, h, name);
            break;
        case 'q':
            CopyOut(h, GetStringArrayItem(o, name, ToIndex(h.number)), o);
            break;
        case 'Q':
            h.number = GetNumArrayItem(o, name, ToIndex(h.number)) + GetNumArrayCount(o, name);
            break;
        case 'K':
            SetNumConst(o, name, h.number);
            break;
        case 'o':
            if (*name) {
                SetProperty(o, name, ToIndex(h.number));
                Check(GetProperty(o, name) == ToIndex(h.number), "a property reads back");
            }
            break;
        case 'w':
            SetParentHWND(o, GetParentHWND(o));
            GetStdin(o);
            GetStdout(o);
            break;
        case 'O':
            OpenConsole(o);
            break;
        case 'i':
            if (reachPrograms) InsertFromTape(h.slot, h.tape, false, false);
            break;
        case 'I':
            if (reachPrograms) InsertFromTape(h.slot, h.tape, true, false);
            break;
        case 'b':
            if (reachPrograms) InsertFromTape(h.slot, h.tape, false, true);
            break;
        case 'r':
            if (reachPrograms && s.programs[h.slot]) RunSlot(h.slot, h.text);
            break;
        case 'R':
            if (reachPrograms) {
                int other = OtherSlot(h.slot, h.nameIndex);
                if (other >= 0) RunSlot(other, h.text);
            }
            break;
        case 'u':
            if (reachPrograms) CallForeign(h);
            break;
        case 'S': {
            const char* args[] = {h.text, name};
            if (!s.programs[h.slot]) break;
            SetScriptArguments(s.programs[h.slot], h.nameIndex % 3 - 1, args);
            SetScriptFileName(s.programs[h.slot], h.text);
            break;
        }
        case 'L':
            if (s.programs[h.slot])
                SetStatementLimit(s.programs[h.slot],
                                  1 + std::abs(ToIndex(h.number)) % tallow::fuzz::kStatementBudget);
            break;
        case 'D':
            if (kDestroyInCallback && reachPrograms) {
                DestroySlot(h.slot);
                return false;
            }
            break;
        case '!':
            if (kStaleHandles && !s.destroyed.empty()) {
                RunProgram(s.destroyed.back(), h.text);
                for (auto& dead : s.hosts)
                    if (!dead->alive && dead->handle) SetNumVar(dead->handle, name, 1);
            }
            break;
        default:
            break;
    }
    return true;
}

// The segment-th "|"-separated part of h's tape, one call per character.
void PlayTape(Host& h, TallowObjectHandle o, int segment) {
    const char* p = h.tape.c_str();
    const char* end = p + h.tape.size();
    for (int at = 0; at < segment; ++p) {
        if (p == end) return;
        if (*p == '|') ++at;
    }
    for (; p < end && *p != '|'; ++p)
        if (!PlayOne(h, o, *p)) return;
}

bool SegmentHas(const Host& h, int segment, char op) {
    int at = 0;
    for (char c : h.tape) {
        if (c == '|')
            ++at;
        else if (at == segment && c == op)
            return true;
    }
    return false;
}

int TALLOW_ENTRY HostCreate(TallowObjectHandle object, TallowValue data, const char** statements,
                            const char** numberFunctions, const char** stringFunctions) {
    gSession->outside = false;
    Host* owner = reinterpret_cast<Host*>(data);
    Host* h = owner->factory ? NewHost(owner->slot, owner->tape, false) : owner;
    if (!h) return 0;
    h->handle = object;
    SetProperty(object, kHostProperty, reinterpret_cast<TallowValue>(h));
    // "~" in the create segment: an object without members.
    if (!SegmentHas(*h, kCreateSegment, '~')) {
        *statements = "a\0b\0c\0d\0";
        *numberFunctions = "e\0f\0";
        *stringFunctions = "g\0h\0";
    }
    PlayTape(*h, object, kCreateSegment);
    h->alive = true;  // not reached when the tape raised: then there is no object
    return 1;
}

int TALLOW_ENTRY HostDestroy(TallowObjectHandle object, TallowValue) {
    gSession->outside = false;  // until the outside tape ends: its checks hold no more
    Host* h = HostOf(object);
    if (!h) return 0;
    h->alive = false;
    PlayTape(*h, object, kDestroySegment);
    return 1;
}

int TALLOW_ENTRY HostStatement(TallowObjectHandle object, int id) {
    gSession->outside = false;  // until the outside tape ends: its checks hold no more
    Host* h = HostOf(object);
    if (h && id >= 1 && id <= kFirstNumberSegment) PlayTape(*h, object, id - 1);
    return 1;
}

int TALLOW_ENTRY HostNumber(TallowObjectHandle object, int id, double* result) {
    gSession->outside = false;  // until the outside tape ends: its checks hold no more
    Host* h = HostOf(object);
    if (!h || id < 1 || id > kFirstStringSegment - kFirstNumberSegment) return 0;
    PlayTape(*h, object, kFirstNumberSegment + id - 1);
    *result = h->number;
    return 1;
}

int TALLOW_ENTRY HostString(TallowObjectHandle object, int id, const char** result) {
    gSession->outside = false;  // until the outside tape ends: its checks hold no more
    Host* h = HostOf(object);
    if (!h || id < 1 || id > kCreateSegment - kFirstStringSegment) return 0;
    PlayTape(*h, object, kFirstStringSegment + id - 1);
    *result = h->text;
    return 1;
}

// ---- The command stream ----------------------------------------------------------

int CreateSlot() {
    Session& s = *gSession;
    for (int slot = 0; slot < kMaxPrograms; ++slot) {
        if (s.programs[slot]) continue;
        TallowProgramHandle p = CreateProgram();
        if (!p) return -1;
        SetStatementLimit(p, tallow::fuzz::kStatementBudget);
        SetMemoryLimit(p, tallow::fuzz::kMemoryBudget);
        s.programs[slot] = p;
        s.current = slot;
        return slot;
    }
    return -1;
}

// The current program; one with the default host object when there is none.
int CurrentSlot() {
    Session& s = *gSession;
    if (s.current >= 0 && s.programs[s.current]) return s.current;
    for (int slot = 0; slot < kMaxPrograms; ++slot)
        if (s.programs[slot]) return s.current = slot;
    int slot = CreateSlot();
    if (slot < 0) return -1;
    if (Host* h = NewHost(slot, kDefaultTape, false))
        InsertObject("host", reinterpret_cast<TallowValue>(h), s.programs[slot], HostCreate, HostDestroy,
                     HostStatement, HostNumber, HostString);
    return slot;
}

// "NAME TAPE": the name (a default when empty) and the tape.
void Insert(std::string_view arg, bool factory) {
    int slot = CurrentSlot();
    if (slot < 0) return;
    size_t blank = arg.find(' ');
    std::string name(arg.substr(0, blank));
    std::string tape(blank == std::string_view::npos ? std::string_view() : arg.substr(blank + 1));
    if (name.empty()) name = factory ? "thing" : "host";
    Host* h = NewHost(slot, tape, factory);
    if (!h) return;
    TallowValue data = reinterpret_cast<TallowValue>(h);
    TallowProgramHandle p = gSession->programs[slot];
    if (factory)
        InsertFactory(name.c_str(), data, p, HostCreate, HostDestroy, HostStatement, HostNumber, HostString);
    else
        InsertObject(name.c_str(), data, p, HostCreate, HostDestroy, HostStatement, HostNumber, HostString);
}

void Arguments(std::string_view arg) {
    int slot = CurrentSlot();
    if (slot < 0) return;
    if (arg == "-") return SetScriptArguments(gSession->programs[slot], -1, nullptr);
    std::vector<std::string> words;
    for (size_t at = 0; at <= arg.size();) {
        size_t blank = std::min(arg.find(' ', at), arg.size());
        words.emplace_back(arg.substr(at, blank - at));
        at = blank + 1;
    }
    std::vector<const char*> pointers;
    for (const std::string& w : words)
        pointers.push_back(w.c_str());
    SetScriptArguments(gSession->programs[slot], int(pointers.size()), pointers.data());
}

// Plays a tape on the current program's last live host object, outside any
// entry point: calls that would raise give their neutral results.
void PlayOutside(std::string_view tape) {
    int slot = CurrentSlot();
    if (slot < 0) return;
    Host* h = nullptr;
    for (auto& candidate : gSession->hosts)
        if (candidate->alive && candidate->slot == slot) h = candidate.get();
    if (!h) return;
    std::string saved = h->tape;
    h->tape = std::string(tape);
    gSession->outside = true;
    PlayTape(*h, h->handle, 0);
    gSession->outside = false;
    h->tape = saved;
}

void RunLines(std::string& lines) {
    int slot = CurrentSlot();
    if (slot < 0) return;
    std::string text = tallow::fuzz::ScriptText(reinterpret_cast<const uint8_t*>(lines.data()), lines.size());
    lines.clear();
    RunSlot(slot, text.c_str());
}

void Command(char command, std::string_view arg, std::string& lines) {
    Session& s = *gSession;
    switch (command) {
        case 'c':
            CreateSlot();
            break;
        case 's': {
            int slot = arg.empty() ? 0 : (arg[0] - '0') % kMaxPrograms;
            if (slot >= 0 && s.programs[slot]) s.current = slot;
            break;
        }
        case 'o':
            Insert(arg, false);
            break;
        case 'f':
            Insert(arg, true);
            break;
        case 'r':
            RunLines(lines);
            break;
        case 'd':
            if (s.current >= 0) DestroySlot(s.current);
            break;
        case 'l': {
            int slot = CurrentSlot();
            long n = std::strtol(std::string(arg).c_str(), nullptr, 10);
            if (slot >= 0)
                SetStatementLimit(s.programs[slot], n >= 1 && n <= tallow::fuzz::kStatementBudget
                                                        ? n
                                                        : tallow::fuzz::kStatementBudget);
            break;
        }
        case 'a':
            Arguments(arg);
            break;
        case 'n':
            if (int slot = CurrentSlot(); slot >= 0)
                SetScriptFileName(s.programs[slot], std::string(arg).c_str());
            break;
        case 'x':
            PlayOutside(arg);
            break;
        default:
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    tallow::fuzz::SetUpEnvironment("api");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tallow::fuzz::ResetFolder();
    Session session;
    gSession = &session;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string lines;
    while (!input.empty()) {
        size_t end = std::min(input.find('\n'), input.size());
        std::string_view line = input.substr(0, end);
        input.remove_prefix(std::min(end + 1, input.size()));
        // A command line is "@" and its letter, whatever the line end.
        std::string_view command = line;
        if (!command.empty() && command.back() == '\r') command.remove_suffix(1);
        if (command.size() >= 2 && command[0] == '@') {
            line = command;
            std::string_view arg = line.substr(2);
            if (!arg.empty() && arg[0] == ' ') arg.remove_prefix(1);
            Command(line[1], arg, lines);
        } else {
            lines.append(line).push_back('\n');
        }
    }
    if (lines.find_first_not_of(" \t\r\n") != std::string::npos) RunLines(lines);
    for (int i = 0; i < kMaxPrograms; ++i)
        DestroySlot(size % 2 ? kMaxPrograms - 1 - i : i);
    gSession = nullptr;
    return 0;
}
