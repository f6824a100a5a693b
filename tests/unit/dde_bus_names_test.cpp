// The names a service and a topic take on the session bus: every service and
// topic maps to a name the bus accepts, names that differ only in case meet,
// and names that differ otherwise stay apart.
#include "platform/dde_bus_names.h"

#include <gtest/gtest.h>

namespace tallow::platform {
namespace {

TEST(DdeBusNames, EscapesWhatTheBusRefuses) {
    EXPECT_EQ(DdeBusName("Tallow Test"), "org.tallow.Dde.tallow_20test");
    EXPECT_EQ(DdeBusName("a.b-c_d"), "org.tallow.Dde.a_2eb_2dc_5fd");
    // A bus name element must not begin with a digit; a path element may.
    EXPECT_EQ(DdeBusName("1st2"), "org.tallow.Dde._31st2");
    EXPECT_EQ(DdeObjectPath("1st2"), "/org/tallow/Dde/1st2");
    EXPECT_EQ(DdeObjectPath("SYS-1"), "/org/tallow/Dde/sys_2d1");
    EXPECT_EQ(DdeObjectPath("a/b"), "/org/tallow/Dde/a_2fb");
    // Bytes past ASCII (ANSI text) are escaped byte by byte.
    EXPECT_EQ(DdeObjectPath("\xe9t\xc9"), "/org/tallow/Dde/_e9t_c9");
}

TEST(DdeBusNames, EmptyNamesStillMakeAnElement) {
    EXPECT_EQ(DdeBusName(""), "org.tallow.Dde._");
    EXPECT_EQ(DdeObjectPath(""), "/org/tallow/Dde/_");
}

TEST(DdeBusNames, CaseFoldsButOtherDifferencesStay) {
    EXPECT_EQ(DdeBusName("SERVER"), DdeBusName("server"));
    EXPECT_EQ(DdeObjectPath("Topic"), DdeObjectPath("TOPIC"));
    // An escape cannot be mistaken for the text it looks like.
    EXPECT_NE(DdeBusName("a_20b"), DdeBusName("a b"));
    EXPECT_NE(DdeObjectPath("_"), DdeObjectPath(""));
    EXPECT_NE(DdeBusName("\x01"), DdeBusName("_01"));
}

}  // namespace
}  // namespace tallow::platform
