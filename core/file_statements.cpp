// The file-system statements, sleep and listfiles. Each reads its parameters,
// makes one platform call and reports a failure as a run-time error (kind 1)
// that TRY can catch.
#include "core/messages.h"
#include "core/program.h"
#include "core/statements.h"
#include "expr/function_helpers.h"
#include "expr/string_array.h"
#include "platform/file_system.h"
#include "platform/stream_names.h"
#include "platform/wait_deadline.h"

namespace tallow {

namespace {

void Check(Program& p, bool ok, const char* message) {
    if (!ok) p.ReportError(kRuntimeKind, message);
}

// A statement of one path: keyword strexpr
void OnePath(Program& p, bool (*operation)(const std::string&), const char* message) {
    std::string path = FirstString(p);
    Check(p, operation(path), message);
}

// A statement of two paths: keyword strexpr "," strexpr
void TwoPaths(Program& p, bool (*operation)(const std::string&, const std::string&), const char* message) {
    std::string from = FirstString(p);
    std::string to = NextString(p);
    Check(p, operation(from, to), message);
}

}  // namespace

// chdir = "chdir" strexpr. A second character ":" first makes the drive of
// the first letter current.
void StmtChdir(Program& p) {
    std::string path = FirstString(p);
    if (path.size() >= 2 && path[1] == ':') {
        char letter = path[0] >= 'a' && path[0] <= 'z' ? char(path[0] - 32) : path[0];
        Check(p, platform::ChangeDrive(letter - 64), msg::kChangeDriveFailed);
    }
    Check(p, platform::ChangeDir(path), msg::kChangeDirFailed);
}

// mkdir = "mkdir" strexpr
void StmtMkdir(Program& p) {
    OnePath(p, platform::MakeDir, msg::kMakeDirFailed);
}

// rmdir = "rmdir" strexpr
void StmtRmdir(Program& p) {
    OnePath(p, platform::RemoveDir, msg::kRemoveDirFailed);
}

// rename = "rename" strexpr "," strexpr
void StmtRename(Program& p) {
    TwoPaths(p, platform::RenameEntry, msg::kRenameFailed);
}

// remove = "remove" strexpr
void StmtRemove(Program& p) {
    OnePath(p, platform::RemoveFile, msg::kDeleteFailed);
}

// copy = "copy" strexpr "," strexpr. Either path may name a standard stream.
void StmtCopy(Program& p) {
    std::string from = FirstString(p);
    std::string to = NextString(p);
    bool fromStream = platform::StandardStreamNamed(from) != platform::StandardStream::kNone;
    platform::StreamHandles streams = p.StreamsFor(fromStream ? from : to);
    Check(p, platform::CopyThroughStreams(from, to, streams), msg::kCopyFailed);
}

// move = "move" strexpr "," strexpr
void StmtMove(Program& p) {
    TwoPaths(p, platform::MoveFileNoReplace, msg::kMoveFailed);
}

// sleep = "sleep" numexpr. Whole seconds; zero or less returns at once, and
// so does every sleep once the run's time limit is reached.
void StmtSleep(Program& p) {
    int32_t seconds = ToInt32(FirstNumber(p));
    if (seconds > 0) platform::WaitPumping(platform::WaitWithinDeadline(uint64_t(seconds) * 1000u));
}

// listfiles = "listfiles" strexpr "," word ["," numexpr]. The array is made
// afresh even when nothing matches; an entry is listed when one of its
// attributes is among the flags (all by default).
void StmtListFiles(Program& p) {
    Evaluator& ev = p.Eval();
    std::string pattern = FirstString(p);
    ev.HasNextParam(true);
    std::string name = ev.ReadName();
    unsigned flags = platform::kAttrAll;
    if (ev.HasNextParam(false)) flags = unsigned(ToInt32(ev.EvalNum()));
    StringArrayObject* array = p.ClearStringArray(name);
    platform::DirSearch search;
    platform::DirEntry entry;
    for (bool found = search.Start(pattern, entry); found; found = search.Next(entry))
        if (entry.attributes & flags) array->items.push_back(entry.name);
}

}  // namespace tallow
