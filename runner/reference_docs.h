// The runner's documentation: where the language reference and the guide
// lie (installed, or built beside the runner), and the reference's entries
// by name for --doc.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tallow::runner {

// The folder of the reference ("reference") or the guide ("guide"): below
// the install prefix in share/doc/tallow, or in docs/ of the build tree that
// holds the runner; "" when neither exists.
std::string DocumentFolder(const char* which);

// The lines --help ends with: where the reference and the guide are.
std::string DocumentationHelp();

// The lines of names.txt (each "NAME", a tab, "PAGE#ANCHOR") that name
// stands for: the entries of that name, letter case aside, else the members
// of that name (OBJECT.NAME), else nothing. Each result is "PAGE#ANCHOR".
std::vector<std::string> MatchingEntries(std::string_view names, std::string_view name);

// tallow --doc NAME: prints the path of the reference's entry for name and
// shows it in the browser, unless unattended or there is none. The exit
// status: 0 when found; 1 when the reference lacks the name, has several
// entries of it (they are listed), or is not installed.
int ShowReferenceEntry(const std::string& name, bool unattended);

}  // namespace tallow::runner
