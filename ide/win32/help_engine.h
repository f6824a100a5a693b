// The help commands over the HTML language reference and the user's guide:
// contents, keyword search, help on help and topic jumps open their pages in
// the browser. A keyword names an entry of the reference's search index,
// whose page opens at once; any other keyword opens a page of the entries
// like it, written to the temp folder with links the browser can follow. A
// page of its own says so when the reference is not installed.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ide/model/help_index.h"

namespace tallow::ide::win32 {

class HelpEngine {
public:
    // The folders of the reference and the guide, each ending with a
    // separator; empty when it is not installed (ProgramLayout finds them).
    HelpEngine(std::string referenceFolder, std::string guideFolder);

    const std::string& ReferenceFolder() const { return referenceFolder_; }
    const std::string& GuideFolder() const { return guideFolder_; }

    void Contents();
    // An empty key opens the search page without a query.
    void KeywordSearch(const std::string& key);
    // The guide's page on getting help in TallowEdit.
    void HelpOnHelp();
    // A topic such as "DIALOGxRESOURCExEDITOR": the page of the guide's part
    // on TallowEdit or of the reference whose name turns into it
    // (HelpTopicName), else the entries like the topic's words.
    void JumpToTopic(const std::string& topic);
    // Forgets the pages written so far.
    void Quit();

    // Opens a page (a file path) in the browser: OpenInBrowser, with a box
    // when that fails, unless a test replaces it.
    std::function<void(const std::string& path)> open;

private:
    const std::vector<HelpEntry>& Index();
    void OpenEntries(const std::string& key, const HelpMatches& matches);
    void OpenOwnPage(const std::string& heading, const std::string& body);
    // Writes a page to the temp folder and opens it.
    void OpenWritten(const std::string& name, const std::string& html);
    std::string FindTopicPage(const std::string& topic) const;

    std::string referenceFolder_;
    std::string guideFolder_;
    bool indexRead_ = false;
    std::vector<HelpEntry> index_;
    std::string lastWritten_;
};

// A file path as a file URL, with the characters a URL cannot hold escaped.
std::string FileUrl(const std::string& path);
// Text for an HTML page: &, <, > and " escaped.
std::string HtmlText(const std::string& text);

}  // namespace tallow::ide::win32
