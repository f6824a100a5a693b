// The recent-file list of the File menu: most recent first, at most a set
// number of existing files, kept in the registry as "File1", "File2", ...
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ide/model/document_host.h"

namespace tallow::ide {

inline constexpr int kDefaultRecentMax = 5;
inline constexpr const char* kRecentSection = "MRU Files";

class RecentFiles {
public:
    // At most this many files; 0 or less keeps none.
    int max = kDefaultRecentMax;
    // The registry key under the current user; empty: the list is not saved.
    std::string registryKey;
    // Whether a menu shows the list (the menu's MRUMenu); without one no file is added.
    bool shown = true;

    // The paths, most recent first (the menu's separator is not one of them).
    const std::vector<std::string>& Paths() const { return paths_; }
    // The menu captions in list order: "&1  name.cod", the name without its folder.
    std::vector<std::string> Captions() const;

    // Puts an existing file first (or last, when atEnd), taking out an earlier
    // entry of the same path (compared without case) and the entries past the
    // limit. A file that does not exist is not added.
    void Add(DocumentHost& host, const std::string& path, bool atEnd = false);
    // Replaces the list with the registry's "File1" ... up to the first empty
    // value, skipping files that no longer exist.
    void Load(DocumentHost& host);
    // Rewrites the registry section from the list; an empty list or no key
    // leaves the registry alone.
    void Save(DocumentHost& host) const;

private:
    std::vector<std::string> paths_;
};

// The part of a path after its last folder separator ("\" or "/").
std::string FileNameOf(std::string_view path);
// The part up to and including the last folder separator; empty when none.
std::string FolderOf(std::string_view path);
// ASCII case-insensitive equality, as file names and component names compare.
bool EqualNoCase(std::string_view a, std::string_view b);

}  // namespace tallow::ide
