// HelpEngine: the reference's and the guide's pages found on disk and opened
// in the browser.
#include "ide/win32/help_engine.h"

#include <windows.h>

#include <cctype>
#include <cstdio>
#include <string_view>
#include <utility>

#include "ide/model/main_form_rules.h"
#include "ide/model/program_layout.h"
#include "ide/win32/folder_files.h"
#include "ide/win32/modal_answers.h"
#include "ide/win32/win32_document_host.h"
#include "ide/win32/win_handles.h"
#include "ide/win32/wine_bridge.h"

namespace tallow::ide::win32 {

namespace {

// The reference's page folders, searched in this order for a topic's page
// after the guide's part on TallowEdit.
constexpr const char* kPageFolders[] = {"statements", "functions", "objects", "language"};
constexpr const char* kGuideEditFolder = "tallowedit";
constexpr const char* kUsingHelpPage = "using-help.html";
constexpr const char* kOwnPageName = "tallow_help.html";
constexpr const char* kHelpCaption = "TallowEdit Help";

bool IsFile(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The page in folder whose name (without ".html") becomes topic.
std::string TopicPageIn(const std::string& folder, const std::string& topic) {
    for (const std::string& file : FilesIn(folder, "*.html")) {
        std::string_view name = file;
        name.remove_suffix(5);  // ".html"
        if (HelpTopicName(name) == topic) return folder + file;
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

std::string TempFolder() {
    char buffer[MAX_PATH + 1] = {};
    DWORD length = GetTempPathA(sizeof buffer, buffer);
    if (length == 0 || length > MAX_PATH) return ".\\";
    return buffer;
}

std::string PageStart(const std::string& title) {
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + HtmlText(title) + "</title>";
}

void OpenOrSayWhy(const std::string& path) {
    std::string error = OpenInBrowser(path);
    if (!error.empty())
        ShowMessageBox(nullptr, "Cannot open the help page '" + path + "': " + error, kHelpCaption,
                       MB_OK | MB_ICONERROR);
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

HelpEngine::HelpEngine(std::string referenceFolder, std::string guideFolder)
    : open(OpenOrSayWhy),
      referenceFolder_(std::move(referenceFolder)),
      guideFolder_(std::move(guideFolder)) {}

const std::vector<HelpEntry>& HelpEngine::Index() {
    if (!indexRead_ && !referenceFolder_.empty()) {
        std::vector<uint8_t> bytes;
        if (Win32DocumentHost().ReadFile(referenceFolder_ + kHelpIndexFile, bytes))
            index_ =
                ParseHelpIndex(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        indexRead_ = true;
    }
    return index_;
}

void HelpEngine::Contents() {
    if (!referenceFolder_.empty()) return open(referenceFolder_ + "index.html");
    OpenOwnPage("Contents", "");
}

void HelpEngine::KeywordSearch(const std::string& key) {
    if (referenceFolder_.empty()) return OpenOwnPage("Search", "<p>Looked for: " + HtmlText(key) + "</p>");
    if (key.empty()) return open(referenceFolder_ + "search.html");
    HelpMatches matches = FindHelpEntries(Index(), key);
    if (matches.exact) {
        std::string page = CollapsePath(referenceFolder_ + PageOfUrl(matches.entries.front().url));
        if (IsFile(page)) return open(page);
    }
    OpenEntries(key, matches);
}

void HelpEngine::HelpOnHelp() {
    std::string page = guideFolder_ + kGuideEditFolder + "\\" + kUsingHelpPage;
    if (!guideFolder_.empty() && IsFile(page)) return open(page);
    OpenOwnPage("Using Help",
                "<p>The language reference opens in your browser. Its <b>Index</b> lists every statement, "
                "function and object; its <b>Search</b> page finds an entry by a word of its name. In the "
                "editor, F1 looks up the word under the cursor; on a dialog page it opens the page of the "
                "selected control.</p>");
}

std::string HelpEngine::FindTopicPage(const std::string& topic) const {
    if (!guideFolder_.empty()) {
        std::string page = TopicPageIn(guideFolder_ + kGuideEditFolder + "\\", topic);
        if (!page.empty()) return page;
    }
    if (referenceFolder_.empty()) return {};
    for (const char* sub : kPageFolders) {
        std::string page = TopicPageIn(referenceFolder_ + sub + "\\", topic);
        if (!page.empty()) return page;
    }
    return {};
}

void HelpEngine::JumpToTopic(const std::string& topic) {
    std::string page = FindTopicPage(topic);
    if (!page.empty()) return open(page);
    KeywordSearch(TopicWords(topic));
}

void HelpEngine::Quit() {
    if (!lastWritten_.empty()) DeleteFileA(lastWritten_.c_str());
    lastWritten_.clear();
}

// The entries like a keyword, linked relative to the reference: the page's
// base is the reference's folder as the browser sees it, so that the links
// keep their anchors and work in a Linux browser under Wine too.
void HelpEngine::OpenEntries(const std::string& key, const HelpMatches& matches) {
    std::string html = PageStart("Tallow reference - " + key) + "<base href=\"" +
                       HtmlText(BrowserFileUrl(referenceFolder_)) + "\"></head><body><h1>" + HtmlText(key) +
                       "</h1>";
    if (matches.entries.empty()) {
        html += "<p>Nothing in the reference is named like &ldquo;" + HtmlText(key) + "&rdquo;.</p>";
    } else {
        html += "<ul>";
        for (const HelpEntry& entry : matches.entries) {
            html +=
                "<li><a href=\"" + HtmlText(entry.url) + "\"><code>" + HtmlText(entry.name) + "</code></a>";
            if (!entry.kind.empty()) html += " (" + HtmlText(entry.kind) + ")";
            if (!entry.text.empty()) html += ": " + HtmlText(entry.text);
            html += "</li>";
        }
        html += "</ul>";
    }
    html += "<p><a href=\"index.html\">Index</a> | <a href=\"search.html\">Search</a></p></body></html>\n";
    OpenWritten(kOwnPageName, html);
}

void HelpEngine::OpenOwnPage(const std::string& heading, const std::string& body) {
    std::string html =
        PageStart("Tallow Help - " + heading) + "</head><body><h1>" + HtmlText(heading) + "</h1>" + body;
    if (referenceFolder_.empty())
        html +=
            "<p>The Tallow language reference is not installed. It belongs in the folder "
            "\"reference\" beside TallowEdit.exe, or in share\\doc\\tallow\\reference in the folder "
            "above.</p>";
    html += "</body></html>\n";
    OpenWritten(kOwnPageName, html);
}

void HelpEngine::OpenWritten(const std::string& name, const std::string& html) {
    std::string path = TempFolder() + name;
    if (!Win32DocumentHost().WriteFile(path, std::vector<uint8_t>(html.begin(), html.end()))) return;
    lastWritten_ = path;
    open(path);
}

}  // namespace tallow::ide::win32
