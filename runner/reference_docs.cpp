// Finding the documentation from where the runner lies, and --doc.
#include "reference_docs.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/system.h"

#ifndef TALLOW_INSTALLED_DOCS
#define TALLOW_INSTALLED_DOCS "../share/doc/tallow"  // from the runner's folder
#endif

namespace tallow::runner {

namespace {

namespace fs = std::filesystem;

// Where the documents are installed, for --help when they are not found.
constexpr const char kInstalledDocs[] = "PREFIX/share/doc/tallow";

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x + 32);
        if (y >= 'A' && y <= 'Z') y = char(y + 32);
        if (x != y) return false;
    }
    return true;
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

std::string DocumentFolder(const char* which) {
    std::string self = support::ExecutablePath();
    if (self.empty()) return std::string();
    fs::path here = fs::path(self).parent_path();
    for (const fs::path& folder : {here / TALLOW_INSTALLED_DOCS / which, here / "docs" / which}) {
        std::error_code error;
        if (fs::is_regular_file(folder / "index.html", error)) return folder.lexically_normal().string();
    }
    return std::string();
}

std::string DocumentationHelp() {
    std::string text = "Documentation (installed in " + std::string(kInstalledDocs) + "):\n";
    for (const char* which : {"reference", "guide"}) {
        std::string folder = DocumentFolder(which);
        text += "  " + std::string(which == std::string_view("guide") ? "guide:     " : "reference: ");
        text += folder.empty()
                    ? std::string(kInstalledDocs) + "/" + which + "/index.html (not installed here)"
                    : (fs::path(folder) / "index.html").string();
        text += '\n';
    }
    text +=
        "  --doc NAME     show the reference's entry for NAME (a statement,\n"
        "                 function, object, member or page) in the browser\n";
    return text;
}

std::vector<std::string> MatchingEntries(std::string_view names, std::string_view name) {
    std::vector<std::string> exact, members;
    while (!names.empty()) {
        size_t end = names.find('\n');
        std::string_view line = names.substr(0, end);
        names.remove_prefix(end == std::string_view::npos ? names.size() : end + 1);
        size_t tab = line.find('\t');
        if (tab == std::string_view::npos) continue;
        std::string_view entry = line.substr(0, tab), page = line.substr(tab + 1);
        if (!page.empty() && page.back() == '\r') page.remove_suffix(1);
        size_t dot = entry.rfind('.');
        if (SameName(entry, name))
            exact.emplace_back(page);
        else if (dot != std::string_view::npos && SameName(entry.substr(dot + 1), name))
            members.emplace_back(page);
    }
    return exact.empty() ? members : exact;
}

int ShowReferenceEntry(const std::string& name, bool unattended) {
    std::string folder = DocumentFolder("reference");
    if (folder.empty()) {
        std::fprintf(stderr, "tallow: the reference is not installed (%s/reference)\n", kInstalledDocs);
        return 1;
    }
    std::vector<std::string> pages = MatchingEntries(ReadText(fs::path(folder) / "names.txt"), name);
    if (pages.empty()) {
        std::fprintf(stderr, "tallow: the reference has no entry %s; its index: %s\n", name.c_str(),
                     (fs::path(folder) / "index.html").string().c_str());
        return 1;
    }
    if (pages.size() > 1) {
        std::fprintf(stderr, "tallow: several entries are named %s:\n", name.c_str());
        for (const std::string& page : pages)
            std::fprintf(stderr, "  %s\n", (fs::path(folder) / page).string().c_str());
        return 1;
    }
    std::string page = pages.front();
    size_t hash = page.find('#');
    std::string path = (fs::path(folder) / page.substr(0, hash)).string();
    std::string fragment = hash == std::string::npos ? std::string() : page.substr(hash + 1);
    std::string shown = fragment.empty() ? path : path + "#" + fragment;
    std::printf("%s\n", shown.c_str());
    std::fflush(stdout);
    if (!unattended) support::OpenInBrowser(support::FileUrl(path, fragment));
    return 0;
}

}  // namespace tallow::runner
