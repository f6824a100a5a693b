// The built-in functions that ask about files, variables, arrays and objects:
// exists, filesize, arraysize, the is-tests, dir and cwd.
#include "core/main_object.h"
#include "core/messages.h"
#include "core/program.h"
#include "expr/function_helpers.h"
#include "expr/num_array.h"
#include "expr/string_array.h"
#include "platform/file_system.h"

namespace tallow {

// exists = "exists(" strexpr ")"
double FnExists(Program& p) {
    return platform::PathExists(FirstString(p)) ? 1 : 0;
}

// filesize = "filesize(" strexpr ")"
double FnFileSize(Program& p) {
    return double(platform::FileSizeOf(FirstString(p)));
}

// arraysize = "arraysize(" word ")": a number array of the name first.
double FnArraySize(Program& p) {
    std::string name = FirstName(p);
    if (NumArrayObject* numbers = p.FindNumArray(name)) return double(numbers->items.size());
    if (StringArrayObject* strings = p.FindStringArray(name)) return double(strings->items.size());
    p.ReportError(kSyntaxKind, msg::kUndefinedArray);
}

// isstringvar = "isstringvar(" word ")", and likewise the other tests.
double FnIsStringVar(Program& p) {
    return p.Main().strMembers.Exists(FirstName(p)) ? 1 : 0;
}
double FnIsNumberVar(Program& p) {
    return p.Main().numMembers.Exists(FirstName(p)) ? 1 : 0;
}
double FnIsStringArray(Program& p) {
    return p.FindStringArray(FirstName(p)) ? 1 : 0;
}
double FnIsNumberArray(Program& p) {
    return p.FindNumArray(FirstName(p)) ? 1 : 0;
}
double FnIsObject(Program& p) {
    return p.FindObject(FirstName(p)) ? 1 : 0;
}

// dir = "dir(" [strexpr] ")". A non-empty pattern starts a new search and
// gives its first name; otherwise the next name of the running search. ""
// when nothing (more) matches; the search is closed then.
std::string FnDir(Program& p) {
    std::string pattern;
    if (p.Eval().HasFirstParam(false)) pattern = p.Eval().EvalString();
    platform::DirSearch& search = p.Main().dirSearch;
    platform::DirEntry entry;
    bool found = pattern.empty() ? search.Next(entry) : search.Start(pattern, entry);
    return found ? entry.name : std::string();
}

// cwd = "cwd(" ")"
std::string FnCwd(Program& p) {
    std::string path;
    if (!platform::CurrentDir(path)) p.ReportError(kRuntimeKind, msg::kCwdFailed);
    return path;
}

}  // namespace tallow
