// The document controller: title, save prompts, open and save, failed
// reads and writes, and the recent-file list with its registry section.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "ide/model/document_model.h"
#include "ide/model/recent_files.h"
#include "tests/unit/fake_document_host.h"

namespace tallow::ide {
namespace {

constexpr const char* kKey = "Software\\Quenby Software\\Tallow\\Editor";

// Contents are one string, stored as the file's bytes.
class TextContents : public DocumentEvents {
public:
    explicit TextContents(FakeDocumentHost& host) : host_(host) {}
    void OnClear() override {
        text = "new";
        ++clears;
    }
    void OnRead(const std::string& path) override {
        std::vector<uint8_t> bytes;
        if (!host_.ReadFile(path, bytes)) throw std::runtime_error("internal read error");
        text.assign(bytes.begin(), bytes.end());
    }
    void OnWrite(const std::string& path) override {
        if (!host_.WriteFile(path, {text.begin(), text.end()}))
            throw std::runtime_error("internal write error");
    }
    std::optional<bool> OnGetModified() override { return unseenChanges; }

    std::string text;
    int clears = 0;
    std::optional<bool> unseenChanges;

private:
    FakeDocumentHost& host_;
};

class Document : public ::testing::Test {
protected:
    Document() : contents(host), doc(host, &contents) {
        doc.description = "Tallow Files";
        doc.extension = "cod";
        doc.recent.registryKey = kKey;
        doc.SetProgramName("Tallow95");
        doc.SetUntitledFileName("untitled.cod");
        doc.Setup();
    }
    void AddFile(const std::string& path, const std::string& text = "x") {
        host.files[path] = {text.begin(), text.end()};
    }
    FakeDocumentHost host;
    TextContents contents;
    DocumentModel doc;
};

TEST_F(Document, TitleFollowsFileProgramAndOptions) {
    EXPECT_EQ(host.title, "untitled.cod - Tallow95");
    AddFile("/w/prog.cod");
    ASSERT_TRUE(doc.OpenFile("/w/prog.cod"));
    EXPECT_EQ(host.title, "prog.cod - Tallow95");
    doc.autoShowModified = true;
    doc.SetModified(true);
    EXPECT_EQ(host.title, "*prog.cod - Tallow95");
    doc.addToTitle = false;
    doc.autoShowModified = false;
    doc.SetProgramName("Other");
    EXPECT_EQ(host.title, "Other");
    doc.SetProgramName("");
    doc.addToTitle = true;
    EXPECT_EQ(doc.Title(), "prog.cod");
}

TEST_F(Document, PromptsOnlyWhenChangesOrForcedUntitled) {
    EXPECT_TRUE(doc.CloseQuery());
    EXPECT_TRUE(host.prompts.empty());

    // Run and Compile force an untitled document to be saved: Yes and Cancel only.
    host.answers = {SaveAnswer::Cancel};
    EXPECT_FALSE(doc.QuerySave(true));
    ASSERT_EQ(host.prompts.size(), 1u);
    EXPECT_EQ(host.prompts[0].text, "Do you want to save your changes to 'untitled.cod'?");
    EXPECT_FALSE(host.prompts[0].withNo);

    // A titled, modified document names its full path and offers No.
    AddFile("/w/a.cod");
    ASSERT_TRUE(doc.OpenFile("/w/a.cod"));
    doc.SetModified(true);
    host.answers = {SaveAnswer::No};
    EXPECT_TRUE(doc.QuerySave(true));
    EXPECT_EQ(host.prompts.back().text, "Do you want to save your changes to '/w/a.cod'?");
    EXPECT_TRUE(host.prompts.back().withNo);

    // Changes the owner reports count as modifications.
    doc.SetModified(false);
    contents.unseenChanges = true;
    host.answers = {SaveAnswer::Cancel};
    EXPECT_FALSE(doc.CloseQuery());
    EXPECT_TRUE(doc.Modified());

    doc.saveAction = SaveAction::NeverSave;
    size_t asked = host.prompts.size();
    EXPECT_TRUE(doc.CloseQuery());
    EXPECT_EQ(host.prompts.size(), asked);
}

TEST_F(Document, OpeningTheOpenFileDoesNothing) {
    AddFile("/work/a.cod", "first");
    ASSERT_TRUE(doc.OpenFile("a.cod"));  // made a full path
    EXPECT_EQ(doc.FileName(), "/work/a.cod");
    contents.text = "edited";
    doc.SetModified(true);
    int clears = contents.clears;
    EXPECT_TRUE(doc.OpenFile("/WORK/A.COD"));
    EXPECT_TRUE(host.prompts.empty());
    EXPECT_EQ(contents.text, "edited");
    EXPECT_EQ(contents.clears, clears);
}

TEST_F(Document, OpenAndSaveAsDialogs) {
    EXPECT_FALSE(doc.Open());
    EXPECT_EQ(host.lastRequest.title, "Open");
    EXPECT_EQ(host.lastRequest.filter, "Tallow Files (*.cod)|*.cod|All Files (*.*)|*.*");
    EXPECT_TRUE(host.lastRequest.fileMustExist);

    EXPECT_FALSE(doc.SaveAs());
    EXPECT_EQ(host.lastRequest.title, "Save As");
    EXPECT_EQ(host.lastRequest.filter, "Tallow Files (*.cod)|*.cod");
    EXPECT_EQ(host.lastRequest.fileName, "untitled.cod");
    EXPECT_TRUE(host.lastRequest.promptOverwrite);

    host.saveChoices = {"/w/saved.cod"};
    contents.text = "body";
    doc.SetModified(true);
    ASSERT_TRUE(doc.Save());  // untitled: Save As
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(doc.FileName(), "/w/saved.cod");
    EXPECT_EQ(std::string(host.files["/w/saved.cod"].begin(), host.files["/w/saved.cod"].end()), "body");
    EXPECT_EQ(doc.recent.Paths(), std::vector<std::string>{"/w/saved.cod"});

    EXPECT_FALSE(doc.Open());
    EXPECT_EQ(host.lastRequest.initialFolder, "/w/");
    EXPECT_EQ(host.lastRequest.fileName, "saved.cod");
}

// Saving fails: the document keeps its name, its contents and its modified
// mark, and no prompt that leads to discarding may go on.
TEST_F(Document, FailedWriteKeepsTheWork) {
    AddFile("/w/a.cod", "old");
    ASSERT_TRUE(doc.OpenFile("/w/a.cod"));
    contents.text = "new work";
    doc.SetModified(true);
    host.failWrites = true;

    EXPECT_FALSE(doc.Save());
    EXPECT_EQ(host.warnings.back(), "Cannot write to '/w/a.cod'");
    EXPECT_TRUE(doc.Modified());
    EXPECT_EQ(contents.text, "new work");

    host.answers = {SaveAnswer::Yes};
    EXPECT_FALSE(doc.CloseQuery());
    host.answers = {SaveAnswer::Yes};
    EXPECT_FALSE(doc.New());
    EXPECT_EQ(contents.text, "new work");

    // Save As to another file keeps the file the contents came from.
    host.saveChoices = {"/w/b.cod"};
    EXPECT_FALSE(doc.SaveAs());
    EXPECT_EQ(doc.FileName(), "/w/a.cod");
    EXPECT_EQ(host.title, "a.cod - Tallow95");
    EXPECT_EQ(doc.recent.Paths(), std::vector<std::string>{"/w/a.cod"});

    doc.saveAction = SaveAction::AlwaysSave;
    EXPECT_FALSE(doc.QuerySave(false));

    host.failWrites = false;
    EXPECT_TRUE(doc.QuerySave(false));
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(std::string(host.files["/w/a.cod"].begin(), host.files["/w/a.cod"].end()), "new work");
}

TEST_F(Document, FailedWriteOfUntitledStaysUntitled) {
    contents.text = "work";
    doc.SetModified(true);
    host.failWrites = true;
    host.answers = {SaveAnswer::Yes};
    host.saveChoices = {"/w/new.cod"};
    EXPECT_FALSE(doc.QuerySave(true));  // what Run and Compile ask
    EXPECT_TRUE(doc.Untitled());
    EXPECT_TRUE(doc.Modified());
    EXPECT_EQ(host.warnings, std::vector<std::string>{"Cannot write to '/w/new.cod'"});
}

TEST_F(Document, FailedReadLeavesAnEmptyUntitledDocument) {
    AddFile("/w/good.cod");
    ASSERT_TRUE(doc.OpenFile("/w/good.cod"));
    EXPECT_FALSE(doc.OpenFile("/w/missing.cod"));
    EXPECT_EQ(host.warnings, std::vector<std::string>{"Cannot read '/w/missing.cod'"});
    EXPECT_TRUE(doc.Untitled());
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(contents.text, "new");
    EXPECT_EQ(host.title, "untitled.cod - Tallow95");
    EXPECT_EQ(doc.recent.Paths(), std::vector<std::string>{"/w/good.cod"});
}

TEST_F(Document, RecentFilesKeepFiveMostRecentFirst) {
    for (int i = 1; i <= 6; ++i) {
        std::string path = "/w/f" + std::to_string(i) + ".cod";
        AddFile(path);
        ASSERT_TRUE(doc.OpenFile(path));
    }
    EXPECT_EQ(doc.recent.Captions(), (std::vector<std::string>{"&1  f6.cod", "&2  f5.cod", "&3  f4.cod",
                                                               "&4  f3.cod", "&5  f2.cod"}));
    // Opening a listed file moves it to the top without a duplicate; names
    // compare without case, as on Windows.
    AddFile("/W/F4.COD");
    ASSERT_TRUE(doc.OpenFile("/W/F4.COD"));
    EXPECT_EQ(doc.recent.Paths(),
              (std::vector<std::string>{"/W/F4.COD", "/w/f6.cod", "/w/f5.cod", "/w/f3.cod", "/w/f2.cod"}));
    EXPECT_TRUE(doc.CloseQuery());
    EXPECT_EQ(host.registry[std::string(kKey) + "|MRU Files|File1"], "/W/F4.COD");
    EXPECT_EQ(host.registry[std::string(kKey) + "|MRU Files|File5"], "/w/f2.cod");
    EXPECT_FALSE(host.registry.contains(std::string(kKey) + "|MRU Files|File6"));
}

TEST(RecentFiles, LoadSkipsMissingFilesAndStopsAtTheFirstGap) {
    FakeDocumentHost host;
    RecentFiles recent;
    recent.registryKey = kKey;
    auto set = [&](int i, const std::string& path) {
        host.registry[std::string(kKey) + "|MRU Files|File" + std::to_string(i)] = path;
    };
    set(1, "/a.cod");
    set(2, "/gone.cod");
    set(3, "/b.cod");
    set(5, "/after-gap.cod");
    for (const char* path : {"/a.cod", "/b.cod", "/after-gap.cod"})
        host.files[path] = {};
    recent.Load(host);
    EXPECT_EQ(recent.Paths(), (std::vector<std::string>{"/a.cod", "/b.cod"}));

    // A missing file is never added; without a menu nothing is.
    recent.Add(host, "/nowhere.cod");
    EXPECT_EQ(recent.Paths().size(), 2u);
    recent.shown = false;
    recent.Add(host, "/after-gap.cod");
    EXPECT_EQ(recent.Paths().size(), 2u);

    // One entry at most, and none when the limit is 0.
    recent.shown = true;
    recent.max = 1;
    recent.Add(host, "/after-gap.cod");
    EXPECT_EQ(recent.Paths(), std::vector<std::string>{"/after-gap.cod"});
    recent.max = 0;
    recent.Load(host);
    EXPECT_TRUE(recent.Paths().empty());
}

}  // namespace
}  // namespace tallow::ide
