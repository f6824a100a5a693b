// The rules the Linux directory search follows so that scripts behave as on
// Windows: wildcard matching of names and the attributes given to entries.
// Pure logic without system headers, shared by both targets' tests.
#pragma once

#include <string>
#include <string_view>

namespace tallow::platform {

// Matches name against a wildcard pattern the way the Windows file search
// does for long names: "*" matches any run of characters, "?" exactly one,
// letters compare without regard to case, and a trailing ".*" also matches a
// name without an extension, so "*.*" matches every name. A pattern that
// ends in one "." asks for names without an extension (see
// WantsNoExtension): "*." matches "readme" and "bin" but not "a.txt".
bool WildcardMatch(std::string_view pattern, std::string_view name);

// Whether a name pattern ends in a "." that asks for names without an
// extension: "*.", "a*." and "????." do, "." and ".." (the folders) and
// "*.txt." (whose dot before the last one already names the extension) do
// not. Trailing blanks do not count.
bool WantsNoExtension(std::string_view namePattern);

// Whether a name has an extension: a "." that is neither its last
// character nor followed only by dots ("." and ".." have none).
bool HasExtension(std::string_view name);

// Splits a search pattern into the directory to read ("." when the pattern
// has none; "/" for the root) and the name pattern after the last "/". As on
// Windows, trailing dots and blanks of the name pattern do not count, so
// "a.txt." is "a.txt", except the one dot that asks for no extension: "*."
// and "*.." are "*."; "." and ".." stay whole.
void SplitSearchPattern(std::string_view pattern, std::string& directory, std::string& namePattern);

// What kind of object a directory entry is.
enum class EntryKind { Directory, RegularFile, Other };

// The attribute bits (kAttr* of file_system.h) of an entry on Linux:
// directory; hidden when the name begins with "." ("." and ".." excepted,
// which are plain directories as on Windows); read-only when the owner may
// not write; archive for regular files; normal when none of these apply;
// never system.
unsigned PosixEntryAttributes(std::string_view name, EntryKind kind, bool ownerMayWrite);

}  // namespace tallow::platform
