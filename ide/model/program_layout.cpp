// The one search for the programs and documents beside TallowEdit.
#include "ide/model/program_layout.h"

#include "ide/model/main_form_rules.h"
#include "ide/model/recent_files.h"

namespace tallow::ide {

namespace {

// How many folders above the program's own are searched: the build tree
// keeps TallowEdit two folders below the other programs.
constexpr int kLevelsUp = 2;

// Where a document folder lies below a root: a copied folder, the build
// tree, an installation.
constexpr const char* kDocumentPlaces[] = {"", "docs\\", "share\\doc\\tallow\\"};

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

std::string FindProgram(const std::vector<std::string>& roots, const char* name, const FileProbe& isFile) {
    for (const std::string& root : roots)
        if (isFile(root + name)) return root + name;
    return {};
}

std::string FindDocuments(const std::vector<std::string>& roots, const char* folder,
                          const FileProbe& isFile) {
    for (const std::string& root : roots) {
        for (const char* place : kDocumentPlaces) {
            std::string candidate = root + place + folder + "\\";
            if (isFile(candidate + "index.html")) return candidate;
        }
    }
    return {};
}

}  // namespace

std::string CollapsePath(std::string_view path) {
    // The prefix that ".." never climbs over: a drive and its separator, or
    // the leading separators of a UNC or rooted path.
    size_t start = 0;
    if (path.size() >= 2 && path[1] == ':') start = 2;
    while (start < path.size() && IsSeparator(path[start]))
        ++start;
    std::string prefix(path.substr(0, start));
    for (char& c : prefix)
        if (c == '/') c = '\\';
    std::vector<std::string> parts;
    std::string part;
    auto flush = [&] {
        if (part == "..") {
            if (!parts.empty() && parts.back() != "..")
                parts.pop_back();
            else if (prefix.empty())
                parts.push_back(part);
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        part.clear();
    };
    for (size_t i = start; i < path.size(); ++i) {
        if (IsSeparator(path[i]))
            flush();
        else
            part += path[i];
    }
    bool trailing = !path.empty() && IsSeparator(path.back()) && path.size() > start;
    flush();
    std::string out = prefix;
    for (size_t i = 0; i < parts.size(); ++i)
        out += (i ? "\\" : "") + parts[i];
    if (trailing && !parts.empty()) out += '\\';
    return out;
}

bool SamePath(std::string_view a, std::string_view b) {
    return EqualNoCase(CollapsePath(a), CollapsePath(b));
}

std::vector<std::string> LayoutRoots(std::string_view programFolder) {
    std::string folder = CollapsePath(programFolder);
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    std::vector<std::string> roots{folder};
    for (int level = 0; level < kLevelsUp; ++level) {
        std::string up = CollapsePath(roots.back() + "..\\");
        if (up == roots.back() || up.empty()) break;
        roots.push_back(up);
    }
    return roots;
}

ProgramLayout FindProgramLayout(std::string_view programFolder, const FileProbe& isFile) {
    std::vector<std::string> roots = LayoutRoots(programFolder);
    ProgramLayout layout;
    layout.launcher = FindProgram(roots, kLauncherName, isFile);
    layout.builder = FindProgram(roots, kBuilderName, isFile);
    layout.engine = FindProgram(roots, kEngineLibraryFile, isFile);
    layout.reference = FindDocuments(roots, "reference", isFile);
    layout.guide = FindDocuments(roots, "guide", isFile);
    return layout;
}

}  // namespace tallow::ide
