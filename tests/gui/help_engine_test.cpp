// The help commands find the guide's and the reference's pages on disk, open
// an entry the index names at once, list the entries like any other keyword
// on a page of their own, and say so when there is no reference.
#include "ide/win32/help_engine.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ide/win32/win32_document_host.h"

namespace tallow::ide::win32 {
namespace {

constexpr const char* kFolders[] = {
    "",      "reference",        "reference\\objects", "reference\\functions", "reference\\statements",
    "guide", "guide\\tallowedit"};

class HelpEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH + 1] = {};
        GetTempPathA(sizeof temp, temp);
        program = std::string(temp) + "tallow_help_test\\";
        for (const char* sub : kFolders)
            CreateDirectoryA((program + sub).c_str(), nullptr);
    }
    void TearDown() override {
        for (const std::string& file : written)
            DeleteFileA(file.c_str());
        for (auto sub = std::rbegin(kFolders); sub != std::rend(kFolders); ++sub)
            RemoveDirectoryA((program + *sub).c_str());
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

TEST_F(HelpEngineTest, TopicsOpenTheGuidesOrTheReferencesPageAndKeywordsTheirEntry) {
    Write("reference\\index.html");
    Write("reference\\search.html");
    Write("reference\\objects\\buttons.html");
    Write("reference\\functions\\msgbox.html");
    Write("reference\\objects\\clock.html");
    Write("reference\\statements\\revision_history.html");
    Write("guide\\tallowedit\\dialog-resource-editor.html");
    Write("reference\\search-index.js",
          "var TALLOW_INDEX = [{\"kind\": \"function\", \"name\": \"msgbox\", \"text\": \"\", "
          "\"url\": \"functions/msgbox.html\"},\n{\"kind\": \"member\", \"name\": \"clock.now\", \"text\": "
          "\"The time.\", \"url\": \"objects/clock.html#now\"}];\n");
    HelpEngine help(program + "reference\\", program + "guide\\");
    Capture(help);

    help.JumpToTopic("DIALOGxRESOURCExEDITOR");
    EXPECT_EQ(opened.back(), program + "guide\\tallowedit\\dialog-resource-editor.html");
    help.JumpToTopic("BUTTONS");
    EXPECT_EQ(opened.back(), program + "reference\\objects\\buttons.html");
    help.JumpToTopic("REVISIONxHISTORY");
    EXPECT_EQ(opened.back(), program + "reference\\statements\\revision_history.html");
    help.Contents();
    EXPECT_EQ(opened.back(), program + "reference\\index.html");
    help.KeywordSearch("");
    EXPECT_EQ(opened.back(), program + "reference\\search.html");

    // An entry of the index: its page, opened at once (a member: its object's page).
    help.KeywordSearch("MSGBOX");
    EXPECT_EQ(opened.back(), program + "reference\\functions\\msgbox.html");
    help.KeywordSearch("clock.now");
    EXPECT_EQ(opened.back(), program + "reference\\objects\\clock.html");

    // Any other word: a page of the entries like it, linked from the
    // reference's folder with their anchors, and no redirect.
    help.KeywordSearch("now");
    std::string page = ReadOpened();
    EXPECT_NE(page.find("<base href=\"file://"), std::string::npos) << page;
    EXPECT_NE(page.find("href=\"objects/clock.html#now\""), std::string::npos) << page;
    EXPECT_NE(page.find("The time."), std::string::npos);
    EXPECT_EQ(page.find("refresh"), std::string::npos);
    help.JumpToTopic("TEXTxBOXES");
    EXPECT_NE(ReadOpened().find("Nothing in the reference is named like &ldquo;text boxes&rdquo;"),
              std::string::npos);
    help.KeywordSearch("a<b");
    page = ReadOpened();
    EXPECT_NE(page.find("a&lt;b"), std::string::npos);
    EXPECT_EQ(page.find("a<b"), std::string::npos);
    help.Quit();
    EXPECT_EQ(GetFileAttributesA(opened.back().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(HelpEngineTest, WithoutTheReferenceItsOwnPageSaysSoAndEscapesTheKeyword) {
    HelpEngine help("", "");
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
