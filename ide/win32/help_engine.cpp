// HelpEngine: the reference's pages found on disk and opened in the browser.
#include "ide/win32/help_engine.h"

#include <windows.h>

#include <shellapi.h>

#include <cctype>
#include <cstdio>
#include <string_view>
#include <utility>

#include "ide/model/main_form_rules.h"
#include "ide/win32/folder_files.h"
#include "ide/win32/win_handles.h"

namespace tallow::ide::win32 {

namespace {

// The reference's page folders, searched in this order for a topic's page.
constexpr const char* kPageFolders[] = {"statements", "functions", "objects", "language"};
constexpr const char* kReferencePlaces[] = {"reference\\", "..\\share\\doc\\tallow\\reference\\"};
constexpr const char* kOwnPageName = "tallow_help.html";

bool IsFile(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FindReference(const std::string& programFolder) {
    for (const char* place : kReferencePlaces) {
        std::string folder = programFolder + place;
        if (IsFile(folder + "index.html")) return folder;
    }
    return {};
}

// The page of the reference whose name (without ".html") becomes topic.
std::string FindTopicPage(const std::string& reference, const std::string& topic) {
    for (const char* sub : kPageFolders) {
        std::string folder = reference + sub + "\\";
        for (const std::string& file : FilesIn(folder, "*.html")) {
            std::string_view name = file;
            name.remove_suffix(5);  // ".html"
            if (HelpTopicName(name) == topic) return folder + file;
        }
    }
    return {};
}

// The words of a topic name: every "x" that joins two upper-case parts is a blank.
std::string TopicWords(const std::string& topic) {
    std::string words;
    for (char c : topic)
        words += c == 'x' ? ' ' : static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return words;
}

std::string QueryText(const std::string& text) {
    std::string out;
    char buffer[4];
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.') {
            out += static_cast<char>(c);
        } else {
            std::snprintf(buffer, sizeof buffer, "%%%02X", c);
            out += buffer;
        }
    }
    return out;
}

std::string TempFolder() {
    char buffer[MAX_PATH + 1] = {};
    DWORD length = GetTempPathA(sizeof buffer, buffer);
    if (length == 0 || length > MAX_PATH) return ".\\";
    return buffer;
}

}  // namespace

std::string FileUrl(const std::string& path) {
    std::string url = "file:///";
    char buffer[4];
    for (unsigned char c : path) {
        if (c == '\\') {
            url += '/';
        } else if (std::isalnum(c) ||
                   std::string_view("/:-_.~").find(static_cast<char>(c)) != std::string_view::npos) {
            url += static_cast<char>(c);
        } else {
            std::snprintf(buffer, sizeof buffer, "%%%02X", c);
            url += buffer;
        }
    }
    return url;
}

std::string HtmlText(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

HelpEngine::HelpEngine(std::string programFolder) : referenceFolder_(FindReference(programFolder)) {
    open = [](const std::string& path) {
        ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    };
}

void HelpEngine::Contents() {
    if (!referenceFolder_.empty()) return open(referenceFolder_ + "index.html");
    OpenOwnPage("Contents", "");
}

void HelpEngine::KeywordSearch(const std::string& key) {
    if (!referenceFolder_.empty() && key.empty()) return open(referenceFolder_ + "search.html");
    OpenSearch(key);
}

void HelpEngine::HelpOnHelp() {
    OpenOwnPage("Using Help",
                "<p>The language reference opens in your browser. Its <b>Index</b> lists every statement, "
                "function and object; its <b>Search</b> page finds an entry by a word of its name. In the "
                "editor, F1 searches for the word under the cursor; on a dialog page it opens the "
                "page of the selected control.</p>");
}

void HelpEngine::JumpToTopic(const std::string& topic) {
    if (!referenceFolder_.empty()) {
        std::string page = FindTopicPage(referenceFolder_, topic);
        if (!page.empty()) return open(page);
    }
    OpenSearch(TopicWords(topic));
}

void HelpEngine::Quit() {
    if (!lastWritten_.empty()) DeleteFileA(lastWritten_.c_str());
    lastWritten_.clear();
}

// A file URL cannot carry a query through the shell, so a small page of our
// own sends the browser on to the search page with it.
void HelpEngine::OpenSearch(const std::string& query) {
    if (referenceFolder_.empty()) return OpenOwnPage("Search", "<p>Looked for: " + HtmlText(query) + "</p>");
    std::string target = FileUrl(referenceFolder_ + "search.html") + "?q=" + QueryText(query);
    std::string html =
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Tallow reference</title>"
        "<meta http-equiv=\"refresh\" content=\"0; url=" +
        HtmlText(target) + "\"></head><body><a href=\"" + HtmlText(target) +
        "\">Search the reference</a></body></html>\n";
    OpenWritten(kOwnPageName, html);
}

void HelpEngine::OpenOwnPage(const std::string& heading, const std::string& body) {
    std::string html = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Tallow Help - " +
                       HtmlText(heading) + "</title></head><body><h1>" + HtmlText(heading) + "</h1>" + body;
    if (referenceFolder_.empty())
        html +=
            "<p>The Tallow language reference is not installed. It belongs in the folder "
            "\"reference\" beside TallowEdit.exe.</p>";
    html += "</body></html>\n";
    OpenWritten(kOwnPageName, html);
}

void HelpEngine::OpenWritten(const std::string& name, const std::string& html) {
    std::string path = TempFolder() + name;
    HANDLE raw =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (raw == INVALID_HANDLE_VALUE) return;
    UniqueKernelHandle file(raw);
    DWORD wrote = 0;
    if (!WriteFile(file.Get(), html.data(), static_cast<DWORD>(html.size()), &wrote, nullptr) ||
        wrote != html.size())
        return;
    file.Reset();
    lastWritten_ = path;
    open(path);
}

}  // namespace tallow::ide::win32
