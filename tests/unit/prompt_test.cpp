// When an entry at the prompt is complete: blocks open by their keywords and
// close by theirs, words in literals, comments and names aside.
#include "runner/prompt.h"

#include <gtest/gtest.h>

namespace tallow::runner {
namespace {

TEST(Prompt, BlockDepthCountsKeywordsOnly) {
    EXPECT_EQ(BlockDepth("x# = 1\n"), 0);
    EXPECT_EQ(BlockDepth("if a# = 1 then\n"), 1);
    EXPECT_EQ(BlockDepth("if a# = 1 then print \"x\" endif\n"), 0);
    EXPECT_EQ(BlockDepth("FOR i# = 1 TO 3\nwhile x# < 2\n"), 2);
    EXPECT_EQ(BlockDepth("for i# = 1 to 3\nnext\n"), 0);
    EXPECT_EQ(BlockDepth("proc f# n#\nResult# = n#\nendproc\n"), 0);
    EXPECT_EQ(BlockDepth("print \"if while for\"\n"), 0);
    EXPECT_EQ(BlockDepth("' if this\nrem while that\n"), 0);
    EXPECT_EQ(BlockDepth("if$ = \"x\"\nnext# = 1\ntry.x$ = \"\"\n"), 0);
    EXPECT_EQ(BlockDepth("try\nthrow \"a\"\ncatch\n"), 1);
    EXPECT_EQ(BlockDepth("select case x#\ncase 1\nendselect\n"), 0);
}

}  // namespace
}  // namespace tallow::runner
