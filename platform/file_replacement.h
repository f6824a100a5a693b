// Replacing a file whole: the new contents go to a fresh file beside it,
// which only the owner may open while it is written, and take the old file's
// place in one rename once they are complete and on disk. A failure at any
// point (a full disk, a file-size limit, a crash) leaves the old file as it
// was, and nobody reads the new contents before the old file's permissions
// apply to them. The INI writer, writefilelines, the shell registration,
// tallowcod, tallowmake and TallowEdit's saves all write this way.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tallow::platform {

enum class ReplacedKind {
    kData,        // a new file gets the permissions of any new file
    kExecutable,  // ... and may be run; an old one keeps its own, with run
                  // permission added wherever it grants reading
};

class FileReplacement {
public:
    FileReplacement();
    // An uncommitted replacement is abandoned: the new file is removed.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Starts replacing path (through a symbolic link: the file it names,
    // and the link stays). False when path names something other than a
    // regular file (a folder, a FIFO, a device), or when no file can be made
    // beside it.
    bool Begin(const std::string& path, ReplacedKind kind = ReplacedKind::kData);
    // Appends bytes to the new contents; false once any write has failed.
    bool Write(std::string_view bytes);
    // Gives the new file the old one's permissions (on Linux also its owner
    // where that may be given), puts it on disk and in the old one's place.
    // False when anything failed; path is then as it was.
    bool Commit();

    struct State;

private:
    std::unique_ptr<State> state_;
};

// Begin, Write and Commit in one.
bool ReplaceFileContents(const std::string& path, std::string_view bytes,
                         ReplacedKind kind = ReplacedKind::kData);

}  // namespace tallow::platform
