// Filter lists of the file choosers.
#include "file_filter.h"

namespace tallow {

namespace {

// The two NULs added to the text, and the buffer's terminating one.
constexpr size_t kAddedBytes = 3;
constexpr size_t kMaxFilterText = kFileDialogBuffer - kAddedBytes;

// The longest start of filter that ends after a whole pair (just before an
// even-numbered bar) and fits; "" when none does.
std::string_view WholePairsThatFit(std::string_view filter) {
    std::string_view fitting;
    int bars = 0;
    for (size_t i = 0; i < filter.size() && i <= kMaxFilterText; ++i) {
        if (filter[i] != '|') continue;
        if (++bars % 2 == 0) fitting = filter.substr(0, i);
    }
    return fitting;
}

}  // namespace

std::string BuildFilterList(std::string_view filter) {
    if (filter.size() > kMaxFilterText) filter = WholePairsThatFit(filter);
    if (filter.empty()) return std::string();
    std::string list(filter);
    list.append(2, '|');
    for (char& c : list)
        if (c == '|') c = '\0';
    return list;
}

}  // namespace tallow
