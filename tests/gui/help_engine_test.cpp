// The help commands find the reference's pages on disk, fall back to the
// search page, and write a page of their own when there is no reference.
#include "ide/win32/help_engine.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ide/win32/win32_document_host.h"

namespace tallow::ide::win32 {
namespace {

class HelpEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH + 1] = {};
        GetTempPathA(sizeof temp, temp);
        program = std::string(temp) + "tallow_help_test\\";
        for (const char* sub : {"", "reference", "reference\\objects", "reference\\statements"})
            CreateDirectoryA((program + sub).c_str(), nullptr);
    }
    void TearDown() override {
        for (const std::string& file : written)
            DeleteFileA(file.c_str());
        for (const char* sub : {"reference\\objects", "reference\\statements", "reference", ""})
            RemoveDirectoryA((program + sub).c_str());
    }
    void Write(const std::string& relative, const std::string& text = "<html></html>") {
        std::string path = program + relative;
        Win32DocumentHost().WriteFile(path, std::vector<uint8_t>(text.begin(), text.end()));
        written.push_back(path);
    }
    std::string ReadOpened() {
        std::vector<uint8_t> bytes;
        Win32DocumentHost().ReadFile(opened.back(), bytes);
        return std::string(bytes.begin(), bytes.end());
    }
    void Capture(HelpEngine& help) {
        help.open = [this](const std::string& path) { opened.push_back(path); };
    }

    std::string program;
    std::vector<std::string> written;
    std::vector<std::string> opened;
};

TEST_F(HelpEngineTest, TopicsOpenTheirPageOrTheSearchPageWithTheTopicsWords) {
    Write("reference\\index.html");
    Write("reference\\search.html");
    Write("reference\\objects\\buttons.html");
    Write("reference\\statements\\revision_history.html");
    HelpEngine help(program);
    Capture(help);
    EXPECT_EQ(help.ReferenceFolder(), program + "reference\\");

    help.JumpToTopic("BUTTONS");
    EXPECT_EQ(opened.back(), program + "reference\\objects\\buttons.html");
    help.JumpToTopic("REVISIONxHISTORY");
    EXPECT_EQ(opened.back(), program + "reference\\statements\\revision_history.html");
    help.Contents();
    EXPECT_EQ(opened.back(), program + "reference\\index.html");
    help.KeywordSearch("");
    EXPECT_EQ(opened.back(), program + "reference\\search.html");

    help.JumpToTopic("DIALOGxRESOURCExEDITOR");
    std::string page = ReadOpened();
    EXPECT_NE(page.find("search.html?q=dialog%20resource%20editor"), std::string::npos) << page;
    help.KeywordSearch("a<b");
    page = ReadOpened();
    EXPECT_NE(page.find("?q=a%3Cb"), std::string::npos) << page;
    EXPECT_EQ(page.find("a<b"), std::string::npos);
    help.Quit();
    EXPECT_EQ(GetFileAttributesA(opened.back().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(HelpEngineTest, WithoutTheReferenceItsOwnPageSaysSoAndEscapesTheKeyword) {
    HelpEngine help(program);
    Capture(help);
    EXPECT_EQ(help.ReferenceFolder(), "");
    help.KeywordSearch("<script>");
    std::string page = ReadOpened();
    EXPECT_NE(page.find("&lt;script&gt;"), std::string::npos);
    EXPECT_EQ(page.find("<script>"), std::string::npos);
    EXPECT_NE(page.find("not installed"), std::string::npos);
    help.HelpOnHelp();
    EXPECT_NE(ReadOpened().find("Using Help"), std::string::npos);
    help.Quit();
}

TEST(HelpUrls, FileUrlsEscapeWhatAUrlCannotHold) {
    EXPECT_EQ(FileUrl("C:\\Program Files\\Tallow\\reference\\search.html"),
              "file:///C:/Program%20Files/Tallow/reference/search.html");
    EXPECT_EQ(FileUrl("C:\\a#b\\c%d.html"), "file:///C:/a%23b/c%25d.html");
    EXPECT_EQ(HtmlText("a&b<\"c\">"), "a&amp;b&lt;&quot;c&quot;&gt;");
}

}  // namespace
}  // namespace tallow::ide::win32
