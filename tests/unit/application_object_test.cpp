// The application object's file name for each kind of script name a program
// can hold, and terminate inside nested text.
#include "objects/application_object.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/program.h"
#include "expr/string_array.h"
#include "platform/message_box.h"

namespace tallow {
namespace {

namespace fs = std::filesystem;

class ApplicationObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetUnattended(true);
        platform::SetBoxObserver([](void*, std::string_view, std::string_view) {}, nullptr);
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        dir_ = fs::temp_directory_path() / ("tallow-app-" + std::to_string(stamp));
        fs::create_directories(dir_);
        oldDir_ = fs::current_path();
        fs::current_path(dir_);
        program.keepState = true;
    }
    void TearDown() override {
        fs::current_path(oldDir_);
        platform::SetBoxObserver(nullptr, nullptr);
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    std::vector<std::string> Out(const std::string& text) {
        program.Run(("new out as stringarray\n" + text).c_str());
        if (StringArrayObject* out = program.FindStringArray("out")) return out->items;
        return {};
    }
    std::string FileName() { return Out("out.add application.filename$\n").at(0); }

    using Lines = std::vector<std::string>;
    fs::path dir_, oldDir_;
    Program program;
};

TEST_F(ApplicationObjectTest, FileNameIsMadeAbsolute) {
    std::ofstream("script.tal") << "\n";
    fs::create_directories("sub");
    program.scriptFileName = "script.tal";
    EXPECT_EQ(fs::path(FileName()), fs::current_path() / "script.tal");
    program.scriptFileName = "sub/../script.tal";
    EXPECT_EQ(fs::path(FileName()), fs::current_path() / "script.tal");
    std::string absolute = (fs::current_path() / "script.tal").string();
    program.scriptFileName = absolute;
    EXPECT_EQ(FileName(), absolute);
    // Text a host handed over has no name.
    program.scriptFileName = "";
    EXPECT_EQ(FileName(), "");
}

TEST_F(ApplicationObjectTest, ANameThatCannotBeResolvedStaysAsItIs) {
    program.scriptFileName = "missing/script.tal";
#if defined(_WIN32)
    // Windows makes any name absolute, whether it exists or not.
    EXPECT_EQ(fs::path(FileName()), fs::current_path() / "missing" / "script.tal");
#else
    EXPECT_EQ(FileName(), "missing/script.tal");
#endif
}

TEST_F(ApplicationObjectTest, TerminateInNestedTextEndsTheScript) {
    EXPECT_EQ(Out("out.add \"before\"\neval \"application.terminate\"\nout.add \"after\"\n"),
              Lines{"before"});
    EXPECT_EQ(program.exitCode, 0);
    // The next run starts afresh.
    EXPECT_EQ(Out("out.add \"again\"\n"), Lines{"again"});
}

}  // namespace
}  // namespace tallow
