// The registry and inifile objects in a confined program (text nobody
// trusts): the registry and files outside its folder are left alone.
#include "objects/registry_object.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/program.h"
#include "expr/string_array.h"
#include "objects/ini_file_object.h"
#include "platform/confinement.h"
#include "platform/message_box.h"

#if !defined(_WIN32)
#include <stdlib.h>
#include <unistd.h>
#else
#include <process.h>
#endif

namespace tallow {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

int ProcessId() {
#if defined(_WIN32)
    return _getpid();
#else
    return getpid();
#endif
}

class ConfinedObjectsTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("tallow-confined-" + std::to_string(ProcessId()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        oldFolder_ = fs::current_path();
        fs::current_path(folder_);
#if !defined(_WIN32)
        const char* old = getenv("XDG_CONFIG_HOME");
        hadOld_ = old != nullptr;
        if (old) oldConfig_ = old;
        setenv("XDG_CONFIG_HOME", (folder_ / "config").c_str(), 1);
#endif
        platform::SetUnattended(true);
        platform::SetBoxObserver([](void*, std::string_view, std::string_view) {}, nullptr);
        platform::SetConfined(true);
        program_.keepState = true;
    }

    void TearDown() override {
        platform::SetConfined(false);
        platform::SetBoxObserver(nullptr, nullptr);
#if !defined(_WIN32)
        if (hadOld_)
            setenv("XDG_CONFIG_HOME", oldConfig_.c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
#endif
        fs::current_path(oldFolder_);
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }

    // Runs text after creating the string array out; its elements after the
    // run, and "error: MESSAGE" last when the run failed.
    Lines Out(const std::string& text) {
        program_.Run(("new out as stringarray\n" + text).c_str());
        Lines items;
        if (StringArrayObject* out = program_.FindStringArray("out")) items = out->items;
        if (program_.Outcome() == RunOutcome::Failed)
            items.push_back("error: " + program_.LastRunError().message);
        return items;
    }

    Program program_;
    fs::path folder_, oldFolder_;
#if !defined(_WIN32)
    std::string oldConfig_;
    bool hadOld_ = false;
#endif
};

TEST_F(ConfinedObjectsTest, RegistryWritesAreRefused) {
    std::string key = "\"HKEY_CURRENT_USER\\Software\\Quenby Software\\Tallow\\Tests\\confined\"";
    EXPECT_EQ(Out("try\n registry.writestring " + key + ", \"v\", \"x\"\ncatch\n out.add ErrMsg$\nendtry\n" +
                  "try\n registry.writenum " + key + ", \"v\", 1\ncatch\n out.add ErrMsg$\nendtry\n" +
                  "try\n registry.deletesection " + key + ", \"sub\"\ncatch\n out.add ErrMsg$\nendtry\n" +
                  "out.add registry.readstring(" + key + ", \"v\", \"unchanged\")\n"),
              (Lines{msg::kRegistryWriteString, msg::kRegistryWriteNumber, msg::kRegistryDeleteSection,
                     "unchanged"}));
#if !defined(_WIN32)
    EXPECT_FALSE(fs::exists(folder_ / "config"));
#endif
}

TEST_F(ConfinedObjectsTest, IniFilesStayInTheCurrentFolder) {
    std::string outside = (folder_ / "outside.ini").string();
    EXPECT_EQ(Out("new ini as inifile \"here.ini\"\n"
                  "ini.writestring \"s\", \"k\", \"v\"\n"
                  "out.add ini.readstring(\"s\", \"k\")\n"
                  "ini.FileName$ = \"../up.ini\"\n"
                  "try\n ini.writenum \"s\", \"k\", 1\ncatch\n out.add ErrMsg$\nendtry\n"
                  "ini.FileName$ = \"" +
                  outside +
                  "\"\n"
                  "try\n ini.deletesection \"s\"\ncatch\n out.add ErrMsg$\nendtry\n"
                  "out.add ini.readstring(\"s\", \"k\", \"default\")\n"),
              (Lines{"v", msg::kIniWriteNumber, msg::kIniDeleteSection, "default"}));
    EXPECT_TRUE(fs::exists(folder_ / "here.ini"));
    EXPECT_FALSE(fs::exists(folder_.parent_path() / "up.ini"));
}

}  // namespace
}  // namespace tallow
