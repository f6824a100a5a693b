// Printer objects: the exact bytes a file receives, failures to open, and on
// Linux the printer devices through lp, with a stand-in lp found on PATH (or
// none at all), so no test prints on a real printer.
#include "objects/printer_object.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "core/messages.h"
#include "core/program.h"
#include "expr/string_array.h"
#include "platform/message_box.h"

namespace tallow {
namespace {

namespace fs = std::filesystem;

class PrinterObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetUnattended(true);
        platform::SetBoxObserver([](void*, std::string_view, std::string_view) {}, nullptr);
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        dir_ = fs::temp_directory_path() / ("tallow-printer-" + std::to_string(stamp));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        platform::SetBoxObserver(nullptr, nullptr);
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    std::string Path(const std::string& name) const { return (dir_ / name).generic_string(); }
    std::string Read(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // The elements of the string array out after running text in program,
    // and "error: MESSAGE" last when the run failed.
    static std::vector<std::string> Out(Program& program, const std::string& text) {
        program.keepState = true;
        program.Run(("new out as stringarray\n" + text).c_str());
        std::vector<std::string> items;
        if (StringArrayObject* out = program.FindStringArray("out")) items = out->items;
        if (program.Outcome() == RunOutcome::Failed)
            items.push_back("error: " + program.LastRunError().message);
        return items;
    }

    using Lines = std::vector<std::string>;
    fs::path dir_;
};

TEST_F(PrinterObjectTest, AFileHoldsExactlyTheTextsWithLineFeedsAsCrLf) {
    std::ofstream(Path("out.txt"), std::ios::binary) << "old contents that must go";
    Program program;
    EXPECT_EQ(Out(program, "new p as printer \"" + Path("out.txt") +
                               "\"\n"
                               "p.writestring \"a\" + 10 + \"b\"\n"
                               "p.writestring \"\"\n"
                               "p.writestring \"c\" + 13 + 10 + 10\n"
                               "p.writestring chr(0) + \"d\"\n"
                               "delete p\n"),
              Lines{});
    EXPECT_EQ(Read("out.txt"), std::string("a\r\nb") + "c\r\r\n\r\n" + std::string(1, '\0') + "d");
    // The end of the run closes what the script left open.
    Program other;
    other.Run(("new q as printer \"" + Path("left.txt") + "\"\nq.writestring \"x\" + 10\n").c_str());
    EXPECT_EQ(Read("left.txt"), "x\r\n");
}

TEST_F(PrinterObjectTest, ANameThatCannotBeOpenedLeavesNoObject) {
    Program program;
    EXPECT_EQ(Out(program, "try\n new p as printer \"" + Path("missing/out.txt") +
                               "\"\ncatch\n out.add ErrMsg$\nendtry\n"
                               "out.add str(isobject(p))\n"
                               "try\n new d as printer \"" +
                               dir_.generic_string() +
                               "\"\ncatch\n out.add ErrMsg$\nendtry\n"
                               "try\n new e as printer \"\"\ncatch\n out.add ErrMsg$\nendtry\n"),
              (Lines{msg::kCouldNotOpenPrinterPort, "0", msg::kCouldNotOpenPrinterPort,
                     msg::kCouldNotOpenPrinterPort}));
    EXPECT_EQ(Out(program, "new p as printer\n"), (Lines{std::string("error: ") + msg::kRequiredParameter}));
    EXPECT_EQ(Out(program, "new printer as printer \"" + Path("x.txt") + "\"\n"),
              (Lines{std::string("error: ") + msg::kObjectNameConflict}));
}

TEST_F(PrinterObjectTest, DeviceNames) {
    for (const char* name : {"prn", "PRN", "Prn:", "lpt1", "LPT9", "lPt5:"})
        EXPECT_TRUE(platform::IsPrinterDeviceName(name)) << name;
    for (const char* name :
         {"", "pr", "prnt", "lpt", "lpt0", "lpt10", "lpt1::", "lptx", "com1", "./prn", ":"})
        EXPECT_FALSE(platform::IsPrinterDeviceName(name)) << name;
    EXPECT_EQ(PrinterText("a\nb\r\n\n"), "a\r\nb\r\r\n\r\n");
    EXPECT_EQ(PrinterText(""), "");
}

#if !defined(_WIN32)

// PATH set to one folder for as long as it lives.
class PathOnly {
public:
    explicit PathOnly(const std::string& folder) {
        const char* old = std::getenv("PATH");
        had_ = old != nullptr;
        if (had_) old_ = old;
        ::setenv("PATH", folder.c_str(), 1);
    }
    ~PathOnly() {
        if (had_)
            ::setenv("PATH", old_.c_str(), 1);
        else
            ::unsetenv("PATH");
    }

private:
    bool had_ = false;
    std::string old_;
};

TEST_F(PrinterObjectTest, WithoutLpTheBuiltInPrinterHasNoStream) {
    PathOnly path(dir_.string());
    Program program;
    EXPECT_EQ(
        Out(program,
            "try\n printer.writestring \"x\"\ncatch\n out.add ErrMsg$\nendtry\n"
            "try\n printer.writestring \"\"\ncatch\n out.add ErrMsg$\nendtry\n"
            "try\n new p as printer \"lpt2\"\ncatch\n out.add ErrMsg$\nendtry\n"),
        (Lines{msg::kPrinterNotInitialized, msg::kPrinterNotInitialized, msg::kCouldNotOpenPrinterPort}));
    // A program that never prints still runs.
    Program quiet;
    EXPECT_EQ(Out(quiet, "out.add \"ran\"\n"), Lines{"ran"});
}

TEST_F(PrinterObjectTest, PrinterDevicesPipeThroughLp) {
    // The stand-in records its arguments and what it reads.
    std::string lp = Path("lp");
    std::ofstream(lp) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args\"\nexec /bin/cat > \"$0.out\"\n";
    fs::permissions(lp, fs::perms::owner_all);
    PathOnly path(dir_.string());
    {
        Program program;
        EXPECT_EQ(Out(program, "out.add \"nothing printed\"\n"), Lines{"nothing printed"});
    }
    EXPECT_FALSE(fs::exists(Path("lp.out"))) << "a program that prints nothing started lp";
    {
        Program program;
        EXPECT_EQ(Out(program,
                      "new p as printer \"LPT1:\"\n"
                      "p.writestring string(\"z\", 5000) + 10\n"
                      "delete p\n"),
                  Lines{});
        // Deleting the object closed the pipe and waited for lp.
        EXPECT_EQ(Read("lp.out"), std::string(5000, 'z') + "\r\n");
        EXPECT_EQ(Read("lp.args"), "-s\n");
    }
    {
        Program program;
        EXPECT_EQ(Out(program, "printer.writestring \"page\" + 10\nprinter.writestring \"two\"\n"), Lines{});
    }
    // The built-in object's job went when its program did.
    EXPECT_EQ(Read("lp.out"), "page\r\ntwo");
}

TEST_F(PrinterObjectTest, AnLpThatStopsReadingIsAWriteError) {
    std::string lp = Path("lp");
    std::ofstream(lp) << "#!/bin/sh\nexit 1\n";
    fs::permissions(lp, fs::perms::owner_all);
    PathOnly path(dir_.string());
    Program program;
    // Enough text to fill the pipe's buffer after lp has gone.
    std::vector<std::string> out =
        Out(program,
            "new p as printer \"prn\"\n"
            "try\n for i# = 1 to 200\n  p.writestring string(\"z\", 10000)\n next\n"
            "catch\n out.add ErrMsg$\nendtry\n");
    EXPECT_EQ(out, Lines{msg::kErrorWritingToPrinter});
}

#endif

}  // namespace
}  // namespace tallow
