// The rows of the constexpr member tables that script objects register their
// statements and functions from.
#pragma once

#include <string>

namespace tallow {

class Program;

// A member name and the id it is registered under.
struct MemberName {
    const char* name;
    int id;
};

// A member name and its handler, for tables whose entry i has the id i + 1.
template <class Handler>
struct MemberEntry {
    const char* name;
    Handler handler;
};
using ProgramStatementEntry = MemberEntry<void (*)(Program&)>;
using ProgramNumFunctionEntry = MemberEntry<double (*)(Program&)>;
using ProgramStringFunctionEntry = MemberEntry<std::string (*)(Program&)>;

}  // namespace tallow
