// The help commands over the HTML language reference: contents, keyword
// search, help on help and topic jumps open pages of the installed reference
// in the default browser, or a small page of its own (written to the temp
// folder) when the reference is not installed.
#pragma once

#include <functional>
#include <string>

namespace tallow::ide::win32 {

class HelpEngine {
public:
    // programFolder ends with a separator; the reference is looked for in
    // "reference" beside the program, then in "../share/doc/tallow/reference".
    explicit HelpEngine(std::string programFolder);

    // The reference's folder with a trailing separator; empty when not installed.
    const std::string& ReferenceFolder() const { return referenceFolder_; }

    void Contents();
    // An empty key opens the search page without a query.
    void KeywordSearch(const std::string& key);
    void HelpOnHelp();
    // A topic such as "DIALOGxRESOURCExEDITOR": the page whose name turns into
    // it (HelpTopicName), else the search page for the topic's words.
    void JumpToTopic(const std::string& topic);
    // Forgets the pages written so far.
    void Quit();

    // Opens a file in the browser; the shell's "open" verb unless a test
    // replaces it. Receives a file path.
    std::function<void(const std::string& path)> open;

private:
    void OpenSearch(const std::string& query);
    void OpenOwnPage(const std::string& heading, const std::string& body);
    // Writes a page to the temp folder and opens it.
    void OpenWritten(const std::string& name, const std::string& html);

    std::string referenceFolder_;
    std::string lastWritten_;
};

// A file path as a file URL, with the characters a URL cannot hold escaped.
std::string FileUrl(const std::string& path);
// Text for an HTML page: &, <, > and " escaped.
std::string HtmlText(const std::string& text);

}  // namespace tallow::ide::win32
