// The shell's file operations on Linux, where nothing asks the user: copy,
// move, rename and delete of files and directory trees, with the source's
// last component allowed to hold wildcards. The operation stops at the first
// failure; what was done before it stays done.
#include "platform/file_operation.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/confinement.h"
#include "platform/file_system.h"
#include "platform/wildcard.h"

namespace tallow::platform {

namespace {

namespace fs = std::filesystem;

// How many other names a colliding copy tries ("a (2).txt" up to this).
constexpr int kMaxCollisionNames = 10000;

fs::file_type TypeOf(const fs::path& p) {
    std::error_code ec;
    return fs::symlink_status(p, ec).type();
}

bool Exists(const fs::path& p) {
    fs::file_type type = TypeOf(p);
    return type != fs::file_type::not_found && type != fs::file_type::none;
}

bool IsDirectory(const fs::path& p) {
    return TypeOf(p) == fs::file_type::directory;
}

// A path without trailing slashes ("/" stays).
std::string Trimmed(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// The entries a source names: the path itself, or every entry of its
// directory that the wildcards of its last component match. Sources whose
// last component is empty, "." or ".." are refused: they name a directory
// that holds the one the operation runs in.
bool ExpandSource(const std::string& source, std::vector<fs::path>& entries, bool& wildcards) {
    std::string path = Trimmed(source);
    std::string name = fs::path(path).filename().string();
    if (name.empty() || name == "." || name == "..") return false;
    wildcards = name.find_first_of("*?") != std::string::npos;
    if (!wildcards) {
        entries.push_back(path);
        return Exists(path);
    }
    std::string directory, namePattern;
    SplitSearchPattern(path, directory, namePattern);
    DirSearch search;
    DirEntry entry;
    for (bool found = search.Start(path, entry); found; found = search.Next(entry))
        if (entry.name != "." && entry.name != "..") entries.push_back(fs::path(directory) / entry.name);
    std::sort(entries.begin(), entries.end());
    return !entries.empty();
}

// Whether inner is dir itself or lies inside it.
bool Within(const fs::path& inner, const fs::path& dir) {
    std::error_code ec;
    fs::path a = fs::weakly_canonical(inner, ec);
    if (ec) return true;  // cannot tell: refuse
    fs::path b = fs::weakly_canonical(dir, ec);
    if (ec) return true;
    auto mismatch = std::mismatch(b.begin(), b.end(), a.begin(), a.end());
    return mismatch.first == b.end();
}

// "name (2).ext", "name (3).ext" ... : the first that does not exist.
bool FreeName(fs::path& dest) {
    fs::path stem = dest.stem(), extension = dest.extension();
    for (int n = 2; n <= kMaxCollisionNames; ++n) {
        fs::path candidate = dest.parent_path() / (stem.string() + " (" + std::to_string(n) + ")");
        candidate += extension;
        if (!Exists(candidate)) {
            dest = candidate;
            return true;
        }
    }
    return false;
}

// Copies one entry that is no directory over to (never onto a directory):
// symbolic links as links, regular files with their contents; anything
// else (a FIFO, a device) fails.
bool CopyLeaf(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    switch (TypeOf(from)) {
        case fs::file_type::regular:
            return CopyFileOver(from.string(), to.string());
        case fs::file_type::symlink:
            if (IsDirectory(to)) return false;
            if (Exists(to) && !fs::remove(to, ec)) return false;
            fs::copy_symlink(from, to, ec);
            return !ec;
        default:
            return false;
    }
}

// Copies a directory tree into to, merging with what is there: files are
// replaced, directories kept. Iterative, so deep trees need no stack.
bool CopyTree(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    if (!IsDirectory(to) && (Exists(to) || !fs::create_directory(to, from, ec))) return false;
    fs::recursive_directory_iterator it(from, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        // The iterator's paths are from / components: a lexical difference
        // gives the part below from without resolving any link in it.
        fs::path dest = to / it->path().lexically_relative(from);
        if (TypeOf(it->path()) == fs::file_type::directory) {
            if (!IsDirectory(dest) && (Exists(dest) || !fs::create_directory(dest, it->path(), ec)))
                return false;
        } else if (!CopyLeaf(it->path(), dest)) {
            return false;
        }
    }
    return !ec;
}

bool CopyEntry(const fs::path& from, const fs::path& to) {
    if (!IsDirectory(from)) return !IsDirectory(to) && CopyLeaf(from, to);
    return !Within(to, from) && CopyTree(from, to);
}

bool MoveEntry(const fs::path& from, const fs::path& to) {
    bool directory = IsDirectory(from);
    if (directory && Within(to, from)) return false;
    // A directory onto a directory merges (rename takes only an empty one).
    if (!(directory && IsDirectory(to))) {
        if (::rename(from.c_str(), to.c_str()) == 0) return true;
        if (errno != EXDEV) return false;
    }
    std::error_code ec;
    if (!CopyEntry(from, to)) return false;
    fs::remove_all(from, ec);
    return !ec;
}

// Puts source at dest by copying or moving it. An existing dest is replaced
// (a directory merged), or with renameOnCollision left alone for a new name.
bool Place(const fs::path& source, fs::path dest, bool move, bool renameOnCollision) {
    if (Exists(dest)) {
        std::error_code ec;
        if (renameOnCollision) {
            if (!FreeName(dest)) return false;
        } else if (fs::equivalent(source, dest, ec) || ec) {
            return false;
        }
    }
    return move ? MoveEntry(source, dest) : CopyEntry(source, dest);
}

// A missing directory that the operation needs: made with mkDir, else a
// failure.
bool NeedDirectory(const fs::path& dir, bool mkDir) {
    if (dir.empty() || IsDirectory(dir)) return true;
    std::error_code ec;
    return mkDir && !Exists(dir) && fs::create_directories(dir, ec);
}

bool CopyOrMove(const std::vector<fs::path>& sources, bool wildcards, const std::string& target, bool move,
                unsigned flags) {
    if (target.empty()) return false;
    fs::path to = Trimmed(target);
    bool mkDir = (flags & kFileOpNoConfirmMkDir) != 0;
    // Several sources go into the target as a directory; one source into
    // it when it is a directory, else to it as its new name.
    bool into = wildcards || IsDirectory(to);
    if (!NeedDirectory(into ? to : to.parent_path(), mkDir)) return false;
    for (const fs::path& source : sources) {
        fs::path dest = into ? to / source.filename() : to;
        if (!Place(source, dest, move, (flags & kFileOpRenameOnCollision) != 0)) return false;
    }
    return true;
}

bool Rename(const std::vector<fs::path>& sources, bool wildcards, const std::string& target, unsigned flags) {
    if (wildcards || target.empty()) return false;
    fs::path to = Trimmed(target);
    // A rename never replaces what has the new name already.
    if (Exists(to) && !(flags & kFileOpRenameOnCollision)) return false;
    return Place(sources.front(), to, true, true);
}

bool Delete(const std::vector<fs::path>& sources) {
    for (const fs::path& source : sources) {
        std::error_code ec;
        fs::remove_all(source, ec);
        if (ec) return false;
    }
    return true;
}

}  // namespace

bool ShellFileOperation(unsigned operation, const std::string& source, const std::string& target,
                        unsigned flags, Handle) {
    if (!PathAllowed(source) || (!target.empty() && !PathAllowed(target))) return false;
    std::vector<fs::path> sources;
    bool wildcards = false;
    if (!ExpandSource(source, sources, wildcards)) return false;
    switch (operation & 0xFFFF) {
        case kFileOpCopy:
            return CopyOrMove(sources, wildcards, target, false, flags);
        case kFileOpMove:
            return CopyOrMove(sources, wildcards, target, true, flags);
        case kFileOpRename:
            return Rename(sources, wildcards, target, flags);
        case kFileOpDelete:
            return Delete(sources);
        default:
            return false;
    }
}

}  // namespace tallow::platform
