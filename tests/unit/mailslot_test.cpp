// Mailslots: the reading of names on every target; on Linux the spool-file
// mailslots themselves, each test in a runtime folder of its own: message
// boundaries, many messages waiting, readers that go or die, and lengths
// that lie.
#include "platform/mailslot.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#if !defined(_WIN32)
#include <stdlib.h>
#include <sys/stat.h>
#endif

namespace tallow::platform {
namespace {

TEST(LocalMailslotNameTest, OnlyTheLocalFormInAnyCase) {
    EXPECT_EQ(LocalMailslotName("\\\\.\\mailslot\\Box"), "box");
    EXPECT_EQ(LocalMailslotName("\\\\.\\MAILSLOT\\Dir\\Box"), "dir\\box");
    EXPECT_EQ(LocalMailslotName("\\\\server\\mailslot\\box"), "");
    EXPECT_EQ(LocalMailslotName("\\\\*\\mailslot\\box"), "");
    EXPECT_EQ(LocalMailslotName("\\\\domain\\mailslot\\box"), "");
    EXPECT_EQ(LocalMailslotName("\\\\.\\mailslot\\"), "");
    EXPECT_EQ(LocalMailslotName("box"), "");
}

#if !defined(_WIN32)

namespace fs = std::filesystem;

class SpoolMailslotTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        runtime_ = fs::temp_directory_path() / ("tallow-ms-" + std::to_string(stamp));
        fs::create_directories(runtime_);
        fs::permissions(runtime_, fs::perms::owner_all, fs::perm_options::replace);
        const char* old = ::getenv("XDG_RUNTIME_DIR");
        hadRuntime_ = old != nullptr;
        if (old) oldRuntime_ = old;
        ::setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
    }
    void TearDown() override {
        if (hadRuntime_)
            ::setenv("XDG_RUNTIME_DIR", oldRuntime_.c_str(), 1);
        else
            ::unsetenv("XDG_RUNTIME_DIR");
        std::error_code ec;
        fs::remove_all(runtime_, ec);
    }
    fs::path Spool(const std::string& file) const { return runtime_ / "tallow-mailslots" / file; }
    static long long Milliseconds(std::chrono::steady_clock::time_point since) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - since)
            .count();
    }

    fs::path runtime_;
    bool hadRuntime_ = false;
    std::string oldRuntime_;
};

TEST_F(SpoolMailslotTest, MessagesKeepTheirBoundaries) {
    Mailslot reader, writer;
    ASSERT_TRUE(reader.Create("\\\\.\\mailslot\\Box"));
    ASSERT_TRUE(writer.Open("\\\\.\\MAILSLOT\\box"));
    EXPECT_TRUE(writer.Write("abc", 3));
    EXPECT_TRUE(writer.Write("", 0));
    EXPECT_EQ(writer.WriteByteMessages("de", 2), 2u);
    char buffer[8] = {};
    EXPECT_EQ(reader.Read(buffer, 1), -1);  // too long: it stays
    EXPECT_EQ(reader.Read(buffer, 3), 3);
    EXPECT_EQ(std::string(buffer, 3), "abc");
    EXPECT_EQ(reader.Read(buffer, 8), 0);
    EXPECT_EQ(reader.Read(buffer, 8), 1);
    EXPECT_EQ(reader.Read(buffer + 1, 1), 1);
    EXPECT_EQ(std::string(buffer, 2), "de");
    EXPECT_EQ(reader.Read(buffer, 8), -1);
    // Only the reader reads and only a writer writes.
    EXPECT_EQ(writer.Read(buffer, 8), -1);
    EXPECT_FALSE(reader.Write("x", 1));
    EXPECT_EQ(fs::status(runtime_ / "tallow-mailslots").permissions() & fs::perms::all, fs::perms::owner_all);
}

TEST_F(SpoolMailslotTest, ManyMessagesWaitWithoutTheWriterWaiting) {
    Mailslot reader, writer;
    ASSERT_TRUE(reader.Create("\\\\.\\mailslot\\many"));
    ASSERT_TRUE(writer.Open("\\\\.\\mailslot\\many"));
    constexpr size_t kMessages = 70000;
    std::string text;
    for (size_t i = 0; i < kMessages; ++i)
        text += char('a' + i % 26);
    EXPECT_EQ(writer.WriteByteMessages(text.data(), text.size()), kMessages);
    std::string received;
    char byte;
    while (reader.Read(&byte, 1) == 1)
        received += byte;
    EXPECT_EQ(received, text);
    // Read empty, the spool starts again from nothing.
    EXPECT_EQ(fs::file_size(Spool("many")), 0u);
    EXPECT_TRUE(writer.Write("z", 1));
    EXPECT_EQ(reader.Read(&byte, 1), 1);
    EXPECT_EQ(byte, 'z');
}

TEST_F(SpoolMailslotTest, ANameHasOneReaderAndWritersNeedIt) {
    Mailslot none;
    EXPECT_FALSE(none.Create("\\\\server\\mailslot\\remote"));
    EXPECT_FALSE(none.Open("\\\\*\\mailslot\\broadcast"));
    EXPECT_FALSE(none.Create("\\\\.\\mailslot\\"));

    Mailslot writer;
    {
        Mailslot reader, rival;
        ASSERT_TRUE(reader.Create("\\\\.\\mailslot\\one"));
        EXPECT_FALSE(rival.Create("\\\\.\\MailSlot\\ONE"));
        ASSERT_TRUE(writer.Open("\\\\.\\mailslot\\one"));
    }
    EXPECT_FALSE(writer.Write("x", 1));
    Mailslot late;
    EXPECT_FALSE(late.Open("\\\\.\\mailslot\\one"));
    EXPECT_FALSE(fs::exists(Spool("one")));
    Mailslot again;
    EXPECT_TRUE(again.Create("\\\\.\\mailslot\\one"));
}

TEST_F(SpoolMailslotTest, NamesCannotLeaveTheFolder) {
    Mailslot reader, writer;
    ASSERT_TRUE(reader.Create("\\\\.\\mailslot\\..\\up/x"));
    EXPECT_TRUE(fs::exists(Spool("%2E%2E%5Cup%2Fx")));
    EXPECT_TRUE(writer.Open("\\\\.\\mailslot\\..\\UP/X"));
    Mailslot tooLong;
    EXPECT_FALSE(tooLong.Create("\\\\.\\mailslot\\" + std::string(200, '.')));
}

TEST_F(SpoolMailslotTest, WhatADeadReaderLeftIsNoMailslot) {
    fs::create_directories(runtime_ / "tallow-mailslots");
    fs::permissions(runtime_ / "tallow-mailslots", fs::perms::owner_all, fs::perm_options::replace);
    std::ofstream(Spool("stale"), std::ios::binary) << std::string("\x01\0\0\0x", 5);
    Mailslot writer;
    EXPECT_FALSE(writer.Open("\\\\.\\mailslot\\stale"));
    Mailslot reader;
    ASSERT_TRUE(reader.Create("\\\\.\\mailslot\\stale"));
    char byte;
    EXPECT_EQ(reader.Read(&byte, 1), -1);
}

TEST_F(SpoolMailslotTest, AFolderOthersMayEnterIsRefused) {
    fs::create_directories(runtime_ / "tallow-mailslots");
    fs::permissions(runtime_ / "tallow-mailslots", fs::perms::others_exec, fs::perm_options::add);
    Mailslot reader;
    EXPECT_FALSE(reader.Create("\\\\.\\mailslot\\open"));
}

TEST_F(SpoolMailslotTest, LengthsFromTheFileAreBoundedByTheBuffer) {
    Mailslot reader;
    ASSERT_TRUE(reader.Create("\\\\.\\mailslot\\liar"));
    {
        // A length of a million in front of ten bytes.
        std::ofstream spool(Spool("liar"), std::ios::binary | std::ios::app);
        spool << std::string("\x40\x42\x0f\x00", 4) << std::string(10, 'x');
    }
    char buffer[16] = {};
    EXPECT_EQ(reader.Read(buffer, sizeof buffer), -1);
    std::string big(2000000, '\0');
    EXPECT_EQ(reader.Read(big.data(), big.size()), -1);  // not all there yet
    EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(sizeof buffer, '\0'));
    {
        std::ofstream spool(Spool("liar"), std::ios::binary | std::ios::app);
        spool << std::string(1000000 - 10, 'y');
    }
    EXPECT_EQ(reader.Read(big.data(), big.size()), 1000000);
    EXPECT_EQ(big.substr(0, 11), "xxxxxxxxxxy");
}

TEST_F(SpoolMailslotTest, AWaitEndsWhenANewMessageArrivesAndOnlyThen) {
    Mailslot reader, writer;
    ASSERT_TRUE(reader.Create("\\\\.\\mailslot\\wait"));
    ASSERT_TRUE(writer.Open("\\\\.\\mailslot\\wait"));
    ASSERT_TRUE(writer.Write("x", 1));
    auto start = std::chrono::steady_clock::now();
    reader.AwaitMessage(2000);
    EXPECT_LT(Milliseconds(start), 500);

    // A message too long for one byte blocks the byte reads; waiting for it
    // does not spin, and a new message ends the wait.
    char byte;
    ASSERT_EQ(reader.Read(&byte, 1), 1);
    ASSERT_TRUE(writer.Write("long", 4));
    EXPECT_EQ(reader.Read(&byte, 1), -1);
    start = std::chrono::steady_clock::now();
    reader.AwaitMessage(300);
    EXPECT_GE(Milliseconds(start), 250);

    std::thread later([&writer] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        writer.Write("y", 1);
    });
    start = std::chrono::steady_clock::now();
    reader.AwaitMessage(3000);
    long long waited = Milliseconds(start);
    later.join();
    EXPECT_GE(waited, 100);
    EXPECT_LT(waited, 1500);
}

#endif

}  // namespace
}  // namespace tallow::platform
