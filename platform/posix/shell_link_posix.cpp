// Shortcuts on Linux: a desktop entry written at the link's path. It is made
// executable (for its owner, as the umask allows) because desktops launch
// only entries marked so.
#include "platform/shell_link.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/confinement.h"
#include "platform/desktop_entry.h"
#include "platform/posix/owned_fd_posix.h"

namespace tallow::platform {

bool CreateShellLink(const ShellLinkFields& link, const std::string& linkFile) {
    if (linkFile.empty() || !PathAllowed(linkFile)) return false;
    std::string text = DesktopEntryText(link, linkFile);
    // O_NONBLOCK: a FIFO of that name fails at once instead of waiting.
    int fd = ::open(linkFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0755);
    if (fd < 0) return false;
    struct stat st;
    bool written = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && WriteAll(fd, text);
    return ::close(fd) == 0 && written;
}

}  // namespace tallow::platform
