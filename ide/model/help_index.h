// The reference's search index as F1 and the keyword search use it: the
// entries (a name and the page that describes it) read from the index file
// the HTML reference carries, and what a keyword finds among them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tallow::ide {

inline constexpr const char* kHelpIndexFile = "search-index.js";

struct HelpEntry {
    std::string name;  // "msgbox", "clock.now", "Stand-alone executables"
    std::string url;   // relative to the reference folder, "#anchor" included
    std::string kind;  // "function", "statement", "guide", ...
    std::string text;  // the first sentence of its description
};

// The entries of an index file ("var TALLOW_INDEX = [ {...}, ... ];"): each
// object's string fields name, url, kind and text; objects without a name
// or url are skipped. Malformed text gives the entries read before it.
std::vector<HelpEntry> ParseHelpIndex(std::string_view text);

// What a keyword finds: the entries named exactly so (without case), or else
// those whose name contains it, the names that start with it first; at most
// limit entries.
struct HelpMatches {
    bool exact = false;
    std::vector<HelpEntry> entries;
};
HelpMatches FindHelpEntries(const std::vector<HelpEntry>& index, std::string_view key, size_t limit = 50);

// A URL's page without its "#anchor".
std::string PageOfUrl(std::string_view url);

}  // namespace tallow::ide
