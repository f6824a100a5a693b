// Where TallowEdit finds what it hands work to: the launcher that runs a code
// file, the builder, the engine library, the language reference and the
// guide. One search serves every place TallowEdit starts from: the build
// tree (the programs two folders up, the documents in docs/), the Windows
// installation (everything in bin/, the documents in share/doc/tallow/),
// the Debian package (lib/tallowedit/, documents in share/doc/tallow/ two
// folders up) and a folder the files were copied into.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tallow::ide {

inline constexpr const char* kLauncherName = "tallowrun.exe";
inline constexpr const char* kEngineLibraryFile = "TallowCore.dll";

// What was found; each path is empty when nothing was found. Folders end
// with a backslash.
struct ProgramLayout {
    std::string launcher;
    std::string builder;
    std::string engine;
    std::string reference;
    std::string guide;
};

// True when the path names an existing file.
using FileProbe = std::function<bool(const std::string& path)>;

// The folders searched, nearest first: the program's folder and the two
// above it. programFolder ends with a separator (either kind).
std::vector<std::string> LayoutRoots(std::string_view programFolder);

// Searches the roots in order; a program is taken from the first root that
// holds it, a document folder from the first that holds its index.html.
ProgramLayout FindProgramLayout(std::string_view programFolder, const FileProbe& isFile);

// A path with "." and ".." parts resolved and every separator a backslash;
// ".." at the top of a path stays.
std::string CollapsePath(std::string_view path);

// Two paths name the same file: compared without case, either separator.
bool SamePath(std::string_view a, std::string_view b);

}  // namespace tallow::ide
