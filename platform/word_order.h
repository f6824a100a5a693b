// The order of the system's word sort with letter case aside: the order in
// which a sorted list box or combo box keeps its items.
#pragma once

#include <string_view>

namespace tallow::platform {

// Below 0, 0 or above 0 as a sorts before, with or after b. Texts compare as
// the system's case-insensitive word sort compares them: punctuation and
// symbols before digits before letters; an accented letter counts as its
// base letter (the accents decide only between texts that are equal
// otherwise), superscript digits as their digits (their form deciding
// next); æ, œ, ß and þ count as two letters; hyphens, apostrophes, the
// dashes and control characters count only when all else is equal (the
// earlier one sorts later: "coop", "co-op", "-coop"), and the soft hyphen
// never. Texts that are still
// equal are ordered by letter case (small letters first), then byte by byte,
// so only identical texts give 0: the order is total.
//
// A text that is valid UTF-8 is read as UTF-8 (the scripts of Linux, as the
// desktop shows them), any other as the Windows code page; characters that
// code page lacks sort after all others, by their number.
int CompareWords(std::string_view a, std::string_view b);

}  // namespace tallow::platform
