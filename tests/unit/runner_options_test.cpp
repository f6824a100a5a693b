// The runner's option table: options are read up to the first word that is
// no option, values are checked, and a wrong value ends the runner with
// status 2.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runner/runner_options.h"

namespace tallow::runner {
namespace {

struct Read {
    int next;
    int status;
    RunnerOptions options;
};

Read ReadWords(std::vector<std::string> words) {
    words.insert(words.begin(), "tallow");
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    Read read{0, -100, {}};
    read.next = ReadRunnerOptions(int(argv.size()), argv.data(), read.options, read.status);
    return read;
}

TEST(RunnerOptions, OptionsEndAtTheFirstOtherWordAndTakeTheirValues) {
    Read read = ReadWords({"--unattended", "--max-statements", "500", "--memory-limit", "0",
                           "--no-fast-paths", "--trust-addresses", "script.tal", "--unattended"});
    EXPECT_EQ(read.next, 8);
    EXPECT_TRUE(read.options.unattended);
    EXPECT_EQ(read.options.maxStatements, 500);
    EXPECT_EQ(read.options.memoryLimit, 0);
    EXPECT_FALSE(read.options.fastPaths);
    EXPECT_TRUE(read.options.trustAddresses);
    EXPECT_TRUE(read.options.LimitsScriptText());

    EXPECT_EQ(ReadWords({}).next, 1);
    EXPECT_EQ(ReadWords({"-e", "print 1"}).next, 1);
    EXPECT_FALSE(ReadWords({"--unattended", "-"}).options.LimitsScriptText());
}

TEST(RunnerOptions, AWrongOrMissingValueEndsTheRunnerWithStatusTwo) {
    for (const std::vector<std::string>& words : std::vector<std::vector<std::string>>{
             {"--max-statements", "0"},
             {"--max-statements", "12x"},
             {"--max-statements"},
             {"--memory-limit", "-1"},
             {"--memory-limit", "1099511627777"},
             {"--unregister-extension"},
         }) {
        Read read = ReadWords(words);
        EXPECT_EQ(read.next, -1) << words[0];
        EXPECT_EQ(read.status, kStatusUsage) << words[0];
    }
    Read largest = ReadWords({"--memory-limit", "1099511627776", "x.tal"});
    EXPECT_EQ(largest.next, 3);
    EXPECT_EQ(largest.options.memoryLimit, 1LL << 40);
}

}  // namespace
}  // namespace tallow::runner
