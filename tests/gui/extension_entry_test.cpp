// TallowEdit's extension entry points without handlers: every failure comes
// back as 0 with its message handed to the engine, never as an exception,
// and registration writes nothing.
#include "ide/win32/extension_entry.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "ide/model/ide_messages.h"

namespace tallow::ide::win32 {
namespace {

struct Raised {
    void* object;
    int kind;
    std::string message;
};
std::vector<Raised> raised;

void Record(void* object, int kind, const char* message) {
    raised.push_back({object, kind, message});
}

class ExtensionEntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        raised.clear();
        SetEngineRaiser(Record);
    }
    void TearDown() override { SetEngineRaiser(nullptr); }
    void* object = reinterpret_cast<void*>(static_cast<intptr_t>(0x1234));
};

TEST_F(ExtensionEntryTest, EachEntryPointFailsWithItsMessageToTheEngine) {
    const char* statements = "untouched";
    EXPECT_EQ(
        GuardEntry(
            object,
            [&] { return EntryAdapter().CreateExtensionObject(object, 7, &statements, nullptr, nullptr); }),
        0);
    EXPECT_EQ(GuardEntry(object, [&] { return EntryAdapter().DestroyExtensionObject(object, 7); }), 0);
    ASSERT_EQ(raised.size(), 2u);
    EXPECT_EQ(raised[0].message, msg::kOnNewNotImplemented);
    EXPECT_EQ(raised[0].kind, 1);
    EXPECT_EQ(raised[0].object, object);
    EXPECT_EQ(raised[1].message, msg::kOnDeleteNotImplemented);
    EXPECT_STREQ(statements, "untouched");

    // An object without a library object: nothing happens and nothing is raised.
    double number = 2.5;
    const char* text = nullptr;
    EXPECT_EQ(GuardEntry(object, [&] { return EntryAdapter().ProcessStatement(object, 0); }), 0);
    EXPECT_EQ(GuardEntry(object, [&] { return EntryAdapter().ProcessNumFunction(object, 0, &number); }), 0);
    EXPECT_EQ(GuardEntry(object, [&] { return EntryAdapter().ProcessStringFunction(object, 0, &text); }), 0);
    EXPECT_EQ(number, 2.5);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(raised.size(), 2u);
}

TEST_F(ExtensionEntryTest, RegisterExtensionFailsQuietlyAndWritesNothing) {
    RegDeleteTreeA(HKEY_CURRENT_USER, kExtensionsKey);
    EXPECT_EQ(GuardEntry(nullptr, [] { return EntryAdapter().RegisterExtension(); }), 0);
    EXPECT_TRUE(raised.empty());  // no object to raise the error on
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kExtensionsKey, 0, KEY_READ, &key), ERROR_SUCCESS);
}

TEST_F(ExtensionEntryTest, AnyExceptionBecomesAnEngineErrorWithItsTextCut) {
    EXPECT_EQ(GuardEntry(object, []() -> int { throw 42; }), 0);
    EXPECT_EQ(GuardEntry(object, []() -> int { throw std::runtime_error(std::string(1000, 'x')); }), 0);
    EXPECT_EQ(GuardEntry(object, [] { return 5; }), 5);
    ASSERT_EQ(raised.size(), 2u);
    EXPECT_EQ(raised[0].message, "Internal error");
    EXPECT_EQ(raised[1].message, std::string(kEntryMessageSize - 1, 'x'));
}

}  // namespace
}  // namespace tallow::ide::win32
