// The runner's --doc lookup in the reference's names.txt: a name gives its
// entries (letter case aside), else the members of that name.
#include "runner/reference_docs.h"

#include <gtest/gtest.h>

namespace tallow::runner {
namespace {

constexpr const char kNames[] =
    "str\tfunctions/str.html#str\n"
    "clock.now\tobjects/clock.html#now\n"
    "socket.readstring\tobjects/socket.html#readstring\n"
    "port.readstring\tobjects/port.html#readstring\r\n"
    "a line without a tab\n"
    "errors\tlanguage/errors.html";

TEST(ReferenceDocs, NamesFindTheirEntries) {
    using List = std::vector<std::string>;
    EXPECT_EQ(MatchingEntries(kNames, "STR"), List{"functions/str.html#str"});
    EXPECT_EQ(MatchingEntries(kNames, "clock.now"), List{"objects/clock.html#now"});
    EXPECT_EQ(MatchingEntries(kNames, "now"), List{"objects/clock.html#now"});  // a member by its own name
    EXPECT_EQ(MatchingEntries(kNames, "readstring"),
              (List{"objects/socket.html#readstring", "objects/port.html#readstring"}));
    EXPECT_EQ(MatchingEntries(kNames, "errors"),
              List{"language/errors.html"});  // the last line has no line end
    EXPECT_EQ(MatchingEntries(kNames, "st"), List{});
    EXPECT_EQ(MatchingEntries("", "str"), List{});
}

}  // namespace
}  // namespace tallow::runner
