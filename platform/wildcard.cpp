// Wildcard matching and entry attributes of the Linux directory search.
#include "platform/wildcard.h"

#include "platform/file_system.h"

namespace tallow::platform {

namespace {

char Fold(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
}

// Iterative "*"/"?" matching with one backtrack point: the most recent star
// absorbs one more character whenever the rest fails to match.
bool MatchPlain(std::string_view pattern, std::string_view name) {
    size_t p = 0, n = 0;
    size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || Fold(pattern[p]) == Fold(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

// pattern less its trailing dots and blanks.
std::string_view TrimTrailing(std::string_view pattern) {
    size_t last = pattern.find_last_not_of(". ");
    return pattern.substr(0, last == std::string_view::npos ? 0 : last + 1);
}

std::string_view WithoutTrailingDots(std::string_view name) {
    size_t last = name.find_last_not_of('.');
    return name.substr(0, last == std::string_view::npos ? 0 : last + 1);
}

}  // namespace

bool WantsNoExtension(std::string_view namePattern) {
    size_t last = namePattern.find_last_not_of(' ');
    if (last == std::string_view::npos || namePattern[last] != '.') return false;
    std::string_view stem = TrimTrailing(namePattern);
    // "." and ".." name folders; a stem with a dot of its own ("*.txt.")
    // already says what the extension is.
    return !stem.empty() && stem.find('.') == std::string_view::npos;
}

bool HasExtension(std::string_view name) {
    return WithoutTrailingDots(name).find('.') != std::string_view::npos;
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
    // A name that ends in dots is matched as it would be without them, as
    // Windows, which cannot store such names, reads them.
    if (WantsNoExtension(pattern))
        return !HasExtension(name) && MatchPlain(TrimTrailing(pattern), WithoutTrailingDots(name));
    // Other trailing dots do not count ("*.txt." is "*.txt"); "." and ".."
    // stay whole.
    if (!pattern.empty() && pattern.back() == '.' && pattern.find_first_not_of('.') != std::string_view::npos)
        pattern = TrimTrailing(pattern);
    if (MatchPlain(pattern, name)) return true;
    // "stem.*" also matches the bare stem: a name without an extension.
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*")
        return MatchPlain(pattern.substr(0, pattern.size() - 2), name);
    return false;
}

void SplitSearchPattern(std::string_view pattern, std::string& directory, std::string& namePattern) {
    size_t slash = pattern.rfind('/');
    std::string_view name = slash == std::string_view::npos ? pattern : pattern.substr(slash + 1);
    if (slash == std::string_view::npos)
        directory.assign(1, '.');
    else
        directory.assign(slash == 0 ? pattern.substr(0, 1) : pattern.substr(0, slash));
    // Windows drops trailing dots and blanks from the last part of a path;
    // "." and ".." stay as they are, and so does the one dot that asks for
    // names without an extension.
    bool noExtension = WantsNoExtension(name);
    if (name.find_first_not_of('.') != std::string_view::npos) name = TrimTrailing(name);
    namePattern.assign(name);
    if (noExtension) namePattern += '.';
}

unsigned PosixEntryAttributes(std::string_view name, EntryKind kind, bool ownerMayWrite) {
    unsigned attributes = 0;
    if (kind == EntryKind::Directory) attributes |= kAttrDirectory;
    if (!name.empty() && name[0] == '.' && name != "." && name != "..") attributes |= kAttrHidden;
    if (!ownerMayWrite) attributes |= kAttrReadOnly;
    if (kind == EntryKind::RegularFile) attributes |= kAttrArchive;
    return attributes ? attributes : kAttrNormal;
}

}  // namespace tallow::platform
