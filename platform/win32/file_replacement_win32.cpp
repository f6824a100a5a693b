// Replacing a file on Windows: the new file is made beside the old one, open
// to the user alone when an old file exists, and ReplaceFileA puts it in the
// old one's place with the old one's attributes and access rights.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string_view>
#include <vector>

#include "platform/file_replacement.h"

namespace tallow::platform {

namespace {

// How often a fresh name for the new file is tried.
constexpr int kTempNameTries = 100;
// Bytes gathered before they are written out.
constexpr size_t kWriteBuffer = 64 * 1024;

// Security that lets only the user running this process open the file,
// whatever its folder would pass on to it. Get() is null when it cannot be
// built; the file then gets its folder's, as any new file does.
class PrivateSecurity {
public:
    PrivateSecurity() {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return;
        DWORD size = 0;
        GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        user_.resize(size / sizeof(DWORD_PTR) + 1);
        bool haveUser = size != 0 && GetTokenInformation(token, TokenUser, user_.data(), size, &size);
        CloseHandle(token);
        if (!haveUser) return;
        PSID sid = reinterpret_cast<TOKEN_USER*>(user_.data())->User.Sid;
        DWORD aclSize = sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(sid);
        acl_.resize(aclSize / sizeof(DWORD_PTR) + 1);
        ACL* acl = reinterpret_cast<ACL*>(acl_.data());
        if (!InitializeAcl(acl, aclSize, ACL_REVISION) ||
            !AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, sid) ||
            !InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) ||
            !SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE) ||
            !SetSecurityDescriptorControl(&descriptor_, SE_DACL_PROTECTED, SE_DACL_PROTECTED))
            return;
        attributes_ = {sizeof attributes_, &descriptor_, FALSE};
        valid_ = true;
    }
    SECURITY_ATTRIBUTES* Get() { return valid_ ? &attributes_ : nullptr; }

private:
    std::vector<DWORD_PTR> user_, acl_;  // DWORD_PTR: aligned as both structures need
    SECURITY_DESCRIPTOR descriptor_{};
    SECURITY_ATTRIBUTES attributes_{};
    bool valid_ = false;
};

enum class TargetKind { kMissing, kDiskFile, kOther };

// What path names, seen through a handle opened with no access rights.
TargetKind KindOf(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? TargetKind::kMissing
                                                                              : TargetKind::kOther;
    }
    BY_HANDLE_FILE_INFORMATION info;
    bool disk = GetFileType(h) == FILE_TYPE_DISK && GetFileInformationByHandle(h, &info) &&
                !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    CloseHandle(h);
    return disk ? TargetKind::kDiskFile : TargetKind::kOther;
}

}  // namespace

struct FileReplacement::State {
    std::string target;
    std::string tempPath;
    HANDLE file = INVALID_HANDLE_VALUE;
    bool exists = false;
    std::string pending;
    bool failed = false;

    ~State() {
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            DeleteFileA(tempPath.c_str());
        }
    }

    bool Flush() {
        std::string_view rest = pending;
        while (!failed && !rest.empty()) {
            DWORD wrote = 0;
            DWORD chunk = DWORD(std::min<size_t>(rest.size(), 1u << 20));
            if (!::WriteFile(file, rest.data(), chunk, &wrote, nullptr) || wrote == 0) failed = true;
            rest.remove_prefix(wrote);
        }
        pending.clear();
        return !failed;
    }
};

FileReplacement::FileReplacement() = default;
FileReplacement::~FileReplacement() = default;

bool FileReplacement::Begin(const std::string& path, ReplacedKind) {
    static std::atomic<unsigned> counter{0};
    state_.reset();
    if (path.empty()) return false;
    auto state = std::make_unique<State>();
    // A full path: Wine's ReplaceFile makes its own scratch file in the
    // folder of the replaced name, and finds none in a bare name.
    DWORD size = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return false;
    state->target.resize(size);
    size = GetFullPathNameA(path.c_str(), size, state->target.data(), nullptr);
    if (size == 0 || size >= state->target.size()) return false;
    state->target.resize(size);
    switch (KindOf(state->target)) {
        case TargetKind::kMissing:
            break;
        case TargetKind::kDiskFile:
            state->exists = true;
            break;
        case TargetKind::kOther:
            return false;
    }
    // The old contents may be private: until ReplaceFileA gives the new
    // file the old one's access rights, only the user may open it.
    PrivateSecurity security;
    for (int attempt = 0; attempt < kTempNameTries && state->file == INVALID_HANDLE_VALUE; ++attempt) {
        state->tempPath = state->target + "." + std::to_string(GetCurrentProcessId()) + "-" +
                          std::to_string(counter++ ^ GetTickCount()) + ".new";
        state->file =
            CreateFileA(state->tempPath.c_str(), GENERIC_WRITE, 0, state->exists ? security.Get() : nullptr,
                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (state->file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    if (state->file == INVALID_HANDLE_VALUE) return false;
    state_ = std::move(state);
    return true;
}

bool FileReplacement::Write(std::string_view bytes) {
    if (!state_ || state_->failed) return false;
    state_->pending.append(bytes);
    return state_->pending.size() < kWriteBuffer || state_->Flush();
}

bool FileReplacement::Commit() {
    if (!state_) return false;
    std::unique_ptr<State> state = std::move(state_);
    if (!state->Flush() || !FlushFileBuffers(state->file)) return false;
    CloseHandle(state->file);
    state->file = INVALID_HANDLE_VALUE;
    bool replaced = state->exists ? ReplaceFileA(state->target.c_str(), state->tempPath.c_str(), nullptr,
                                                 REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0
                                  : MoveFileExA(state->tempPath.c_str(), state->target.c_str(),
                                                MOVEFILE_WRITE_THROUGH) != 0;
    if (!replaced) DeleteFileA(state->tempPath.c_str());
    return replaced;
}

bool ReplaceFileContents(const std::string& path, std::string_view bytes, ReplacedKind kind) {
    FileReplacement replacement;
    return replacement.Begin(path, kind) && replacement.Write(bytes) && replacement.Commit();
}

}  // namespace tallow::platform
