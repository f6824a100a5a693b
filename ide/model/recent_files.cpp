// The recent-file list and its registry section.
#include "ide/model/recent_files.h"

#include <algorithm>
#include <cctype>

namespace tallow::ide {

namespace {

std::string ValueName(size_t index) {
    return "File" + std::to_string(index + 1);
}

}  // namespace

std::string FileNameOf(std::string_view path) {
    size_t slash = path.find_last_of("\\/");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string FolderOf(std::string_view path) {
    size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(
        a, b, [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

std::vector<std::string> RecentFiles::Captions() const {
    std::vector<std::string> captions;
    for (size_t i = 0; i < paths_.size(); ++i)
        captions.push_back("&" + std::to_string(i + 1) + "  " + FileNameOf(paths_[i]));
    return captions;
}

void RecentFiles::Add(DocumentHost& host, const std::string& path, bool atEnd) {
    if (!shown || max <= 0 || path.empty() || !host.FileExists(path)) return;
    std::erase_if(paths_, [&](const std::string& p) { return EqualNoCase(p, path); });
    // Room for the new entry: the menu holds a separator and at most max files.
    if (paths_.size() >= static_cast<size_t>(max)) paths_.resize(max - 1);
    if (atEnd)
        paths_.push_back(path);
    else
        paths_.insert(paths_.begin(), path);
}

void RecentFiles::Load(DocumentHost& host) {
    paths_.clear();
    if (registryKey.empty()) return;
    for (int i = 0; i < max; ++i) {
        std::string path = host.ReadRegistryString(registryKey, kRecentSection, ValueName(i));
        if (path.empty()) break;
        Add(host, path, true);
    }
}

void RecentFiles::Save(DocumentHost& host) const {
    if (paths_.empty() || registryKey.empty()) return;
    host.EraseRegistrySection(registryKey, kRecentSection);
    for (size_t i = 0; i < paths_.size(); ++i)
        host.WriteRegistryString(registryKey, kRecentSection, ValueName(i), paths_[i]);
}

}  // namespace tallow::ide
