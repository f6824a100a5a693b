// The code editor's model: typing, deleting, lines, selection, search,
// movement, the view and the comment colouring, without a window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ide/model/comment_colouring.h"
#include "ide/model/editor_keys.h"
#include "ide/model/programmer_model.h"
#include "ide/model/programmer_strings.h"

namespace tallow::ide {
namespace {

class Recorder : public ProgrammerWatcher {
public:
    void OnCursorChange(int row, int col) override { cursorChanges.push_back({row, col}); }
    void OnChangeModified() override { ++modifiedChanges; }
    void SetClipboardText(const std::string& text) override { clipboard = text, hasClipboard = true; }
    bool GetClipboardText(std::string& text) override {
        text = clipboard;
        return hasClipboard;
    }
    std::vector<TextPosition> cursorChanges;
    int modifiedChanges = 0;
    std::string clipboard;
    bool hasClipboard = false;
};

// The editor as the main window sets it up: 8x13 cells, 40 columns by 10 lines.
class Editor : public ::testing::Test {
protected:
    Editor() : e(&watcher) {
        e.breakCharsLeft = " .(,\"$#@\\";
        e.breakCharsRight = ")\"";
        e.remText = "'";
        e.SetCellSize(-8, -13);
        e.SetClientSize(40 * 8 + 5, 10 * 13 + 5);
    }
    void Load(std::string_view text) { e.SetText(text); }
    void Key(EditorKey key, unsigned mods = kNoModifier) { HandleKey(e, key, mods); }
    void Type(std::string_view text) {
        for (char c : text)
            HandleChar(e, static_cast<unsigned char>(c));
    }
    Recorder watcher;
    ProgrammerModel e;
};

TEST_F(Editor, TypingPadsToTheCursorAndLeavingTheLineRemovesOnlyTrailingBlanks) {
    Load("\r\nnext\r\n");
    e.SetCursor(0, 10);
    Type("x");
    EXPECT_EQ(e.Line(0), "          x");
    EXPECT_EQ(e.Cursor(), (TextPosition{0, 11}));
    Type("  ");
    Key(EditorKey::Down);
    EXPECT_EQ(e.Line(0), "          x");
    // A tab fills to the next multiple of TabSpaces.
    e.SetCursor(1, 3);
    Key(EditorKey::Tab);
    EXPECT_EQ(e.Line(1), "nex t");
    EXPECT_EQ(e.CursorCol(), 4);
    e.tabSpaces = 4;
    Key(EditorKey::Tab);
    EXPECT_EQ(e.CursorCol(), 8);
    e.tabSpaces = 0;  // a nonsense setting still inserts one blank
    Key(EditorKey::Tab);
    EXPECT_EQ(e.Line(1), "nex      t");
}

TEST_F(Editor, TypingStopsAtTheLastColumnAndTheLongestLine) {
    Load(std::string(254, 'a'));
    e.SetCursor(0, 254);
    Type("b");
    EXPECT_EQ(e.Line(0).size(), 255u);
    EXPECT_EQ(e.CursorCol(), 255);
    Type("c");
    EXPECT_EQ(e.Line(0).size(), 255u);
    e.SetCursor(0, 10);
    Type("c");
    EXPECT_EQ(e.Line(0).size(), 255u);
    EXPECT_FALSE(e.Line(0).find('c') != std::string::npos);
    // Trailing blanks give way to a typed character.
    Load(std::string(200, 'a') + std::string(55, ' '));
    e.SetCursor(0, 5);
    Type("c");
    EXPECT_EQ(e.Line(0), "aaaaac" + std::string(195, 'a'));
    // A tab that would carry the cursor past the last column inserts nothing.
    Load("x");
    e.SetCursor(0, 254);
    Key(EditorKey::Tab);
    EXPECT_EQ(e.Line(0), "x");
    EXPECT_EQ(e.CursorCol(), 254);
    e.SetCursor(0, 256);
    EXPECT_EQ(e.CursorCol(), 254);
}

TEST_F(Editor, EnterIndentsLikeTheLineItSplits) {
    Load("    if a then\r\nafter");
    e.SetCursor(0, 13);
    Key(EditorKey::Enter);
    EXPECT_EQ(e.Line(1), "    ");
    EXPECT_EQ(e.Cursor(), (TextPosition{1, 4}));
    Type("x");
    Key(EditorKey::Enter);
    EXPECT_EQ(e.Line(2), "    ");
    Key(EditorKey::Down);
    EXPECT_EQ(e.Line(2), "");
    // Splitting inside the text carries the rest down, indented to match.
    e.SetCursor(0, 7);
    Key(EditorKey::Enter);
    EXPECT_EQ(e.Line(0), "    if");
    EXPECT_EQ(e.Line(1), "    a then");
    EXPECT_EQ(e.Cursor(), (TextPosition{1, 4}));
    // Beyond the end the line is padded first; the kept part loses the pad.
    e.SetCursor(4, 8);
    Key(EditorKey::Enter);
    EXPECT_EQ(e.Line(4), "after");
    EXPECT_EQ(e.Line(5), "");
    EXPECT_EQ(e.LineCount(), 6);
}

TEST_F(Editor, BackspaceUnindentsToTheLineAboveAndJoinsAtColumnZero) {
    Load("  a\r\n    b\r\nc\r\nd");
    e.SetCursor(1, 4);
    Key(EditorKey::Backspace);
    EXPECT_EQ(e.Line(1), "  b");
    EXPECT_EQ(e.Cursor(), (TextPosition{1, 2}));
    // Inside the text a blank goes one at a time.
    Load("  a\r\n    b c");
    e.SetCursor(1, 6);
    Key(EditorKey::Backspace);
    EXPECT_EQ(e.Line(1), "    bc");
    EXPECT_EQ(e.CursorCol(), 5);
    // Column 0 joins with the line above; on the first line nothing happens.
    Load("one\r\ntwo\r\nthree\r\nfour");
    e.SetCursor(3, 0);
    Key(EditorKey::Backspace);
    EXPECT_EQ(e.Line(2), "threefour");
    EXPECT_EQ(e.Cursor(), (TextPosition{2, 5}));
    EXPECT_EQ(e.LineCount(), 3);
    e.SetCursor(0, 0);
    Key(EditorKey::Backspace);
    EXPECT_EQ(e.GetText(), "one\r\ntwo\r\nthreefour\r\n");
    // Behind the end a blank of the padding goes.
    e.SetCursor(0, 6);
    Key(EditorKey::Backspace);
    EXPECT_EQ(e.Cursor(), (TextPosition{0, 5}));
    EXPECT_EQ(e.Line(0), "one  ");
}

TEST_F(Editor, DeleteBeyondTheEndPullsTheNextLineUpToTheCursor) {
    Load("ab\r\ncd\r\nef");
    e.SetCursor(0, 4);
    Key(EditorKey::Delete);
    EXPECT_EQ(e.Line(0), "ab  cd");
    EXPECT_EQ(e.Cursor(), (TextPosition{0, 4}));
    Key(EditorKey::Delete);
    EXPECT_EQ(e.Line(0), "ab  d");
    e.SetCursor(1, 2);
    Key(EditorKey::Delete);  // the last line has nothing to pull
    EXPECT_EQ(e.LineCount(), 2);
    // Ctrl+Y removes the cursor line and keeps the line number.
    e.SetCursor(0, 3);
    Key(EditorKey::Y, kCtrl);
    EXPECT_EQ(e.GetText(), "ef\r\n");
    EXPECT_EQ(e.Cursor(), (TextPosition{0, 0}));
    Key(EditorKey::Y, kCtrl);
    EXPECT_EQ(e.LineCount(), 0);
    Type("new");  // typing brings a line back
    EXPECT_EQ(e.GetText(), "new\r\n");
}

TEST_F(Editor, ShiftExtendsTheSelectionFromTheAnchorAndOtherMovesClearIt) {
    Load("first line\r\nsecond\r\nthird");
    e.SetCursor(0, 6);
    Key(EditorKey::Down, kShift);
    Key(EditorKey::Down, kShift);
    Key(EditorKey::Right, kShift);
    EXPECT_EQ(e.Anchor(), (TextPosition{0, 6}));
    EXPECT_EQ(e.SelText(), "line\r\nsecond\r\nthird");
    // Beyond the line's end the selection holds nothing more.
    Key(EditorKey::Home, kShift);
    Key(EditorKey::Up, kShift);
    EXPECT_EQ(e.SelText(), "line\r\n");
    Key(EditorKey::Right);
    EXPECT_FALSE(e.HasSelection());
    EXPECT_EQ(e.SelText(), "");
    // Backwards selections are normalised.
    e.Select({2, 3}, {0, 2});
    EXPECT_EQ(e.SelText(), "rst line\r\nsecond\r\nthi");
    Key(EditorKey::Delete, kShift);
    EXPECT_EQ(watcher.clipboard, "rst line\r\nsecond\r\nthi");
    EXPECT_EQ(e.GetText(), "fird\r\n");
    EXPECT_EQ(e.Cursor(), (TextPosition{0, 2}));
    EXPECT_FALSE(e.Selecting());
}

TEST_F(Editor, AnEditEndsASelectionInProgress) {
    Load("a\r\nb");
    e.SetCursor(1, 0);
    Key(EditorKey::Down, kShift);  // nothing below: an empty selection from line 1
    Key(EditorKey::Backspace);     // line 1 is gone
    Key(EditorKey::Right, kShift);
    EXPECT_EQ(e.Anchor(), (TextPosition{0, 1}));
    EXPECT_EQ(e.SelText(), "b");
}

TEST_F(Editor, TypingReplacesTheSelectionAndBackspaceDeletesItWithoutCopying) {
    Load("hello world");
    e.Select({0, 0}, {0, 5});
    Type("bye");
    EXPECT_EQ(e.Line(0), "bye world");
    e.Select({0, 3}, {0, 9});
    Key(EditorKey::Backspace);
    EXPECT_EQ(e.Line(0), "bye");
    EXPECT_FALSE(watcher.hasClipboard);
    e.Select({0, 0}, {0, 3});
    Key(EditorKey::Enter);
    EXPECT_EQ(e.GetText(), "\r\n\r\n");
}

TEST_F(Editor, PasteSplitsOnlyAtCrLfAndLeavesTheCursorAfterTheText) {
    Load("abXYcd");
    e.Select({0, 2}, {0, 4});
    Key(EditorKey::Insert, kCtrl);
    EXPECT_EQ(watcher.clipboard, "XY");
    watcher.clipboard = "1\r\n2\n3\r4\r\n5";
    Key(EditorKey::Insert, kShift);
    EXPECT_EQ(e.GetText(), "ab1\r\n2\n3\r4\r\n5cd\r\n");
    EXPECT_EQ(e.Cursor(), (TextPosition{2, 1}));
    // Beyond the end the text goes at the cursor column.
    Load("ab\r\nz");
    e.SetCursor(0, 4);
    e.InsertText("x\r\ny");
    EXPECT_EQ(e.GetText(), "ab  x\r\ny\r\nz\r\n");
    // A long paste is kept whole but the cursor stops at the last column.
    Load("");
    e.InsertText(std::string(300, 'q'));
    EXPECT_EQ(e.Line(0).size(), 300u);
    EXPECT_EQ(e.CursorCol(), kMaxColumn);
    // An empty clipboard changes nothing.
    watcher.hasClipboard = false;
    e.SetModified(false);
    e.PasteFromClipboard();
    EXPECT_FALSE(e.Modified());
}

TEST_F(Editor, FindSelectsSuccessiveMatchesForwardWithoutWrapping) {
    Load("Dim x: x = X + 1\r\nprint x");
    EXPECT_TRUE(e.Find("x", true));
    EXPECT_EQ(e.Selection().start, (TextPosition{0, 4}));
    EXPECT_EQ(e.Cursor(), (TextPosition{0, 5}));
    EXPECT_TRUE(e.Find("x", true));
    EXPECT_EQ(e.Selection().start, (TextPosition{0, 7}));
    EXPECT_TRUE(e.Find("x", true));
    EXPECT_EQ(e.Selection().start, (TextPosition{1, 6}));
    EXPECT_FALSE(e.Find("x", true));
    e.SetCursor(0, 8);
    EXPECT_TRUE(e.Find("X", false));
    EXPECT_EQ(e.SelText(), "X");
    EXPECT_EQ(e.Selection().start, (TextPosition{0, 11}));
    EXPECT_FALSE(e.Find("", false));

    Load("word and word");
    EXPECT_TRUE(e.Find("word", false));
    EXPECT_TRUE(e.Find("word", false));
    EXPECT_EQ(e.Selection().start, (TextPosition{0, 9}));
    EXPECT_FALSE(e.Find("word", false));
}

TEST_F(Editor, WordMovementStopsAtWordStartsAndAfterWordEnds) {
    Load("a# = msgbox(\"Go on?\", x)\r\n  next");
    std::vector<int> stops;
    for (int i = 0; i < 9; ++i) {
        Key(EditorKey::Right, kCtrl);
        stops.push_back(e.CursorLine() * 100 + e.CursorCol());
    }
    EXPECT_EQ(stops, (std::vector<int>{3, 5, 12, 13, 16, 19, 22, 23, 24}));
    Key(EditorKey::Right, kCtrl);
    EXPECT_EQ(e.Cursor(), (TextPosition{1, 2}));
    Key(EditorKey::Right, kCtrl);
    EXPECT_EQ(e.Cursor(), (TextPosition{1, 6}));
    Key(EditorKey::Right, kCtrl);  // the end of the last line stays
    EXPECT_EQ(e.Cursor(), (TextPosition{1, 6}));

    stops.clear();
    for (int i = 0; i < 4; ++i) {
        Key(EditorKey::Left, kCtrl | kShift);
        stops.push_back(e.CursorLine() * 100 + e.CursorCol());
    }
    EXPECT_EQ(stops, (std::vector<int>{102, 100, 23, 22}));
    EXPECT_EQ(e.SelText(), "x)\r\n  next");
    e.SetCursor(0, 1);
    Key(EditorKey::Left, kCtrl);
    EXPECT_EQ(e.Cursor(), (TextPosition{0, 0}));
    Key(EditorKey::Left, kCtrl);
    EXPECT_EQ(e.Cursor(), (TextPosition{0, 0}));
}

TEST_F(Editor, NavigationKeysStayInsideTheText) {
    Load("ab   \r\nlonger line\r\nc");
    e.SetCursor(0, 0);
    Key(EditorKey::Left);
    Key(EditorKey::Up);
    EXPECT_EQ(e.Cursor(), (TextPosition{0, 0}));
    Key(EditorKey::End);  // the cursor line loses its blanks first
    EXPECT_EQ(e.Cursor(), (TextPosition{0, 2}));
    Key(EditorKey::End, kCtrl);
    EXPECT_EQ(e.Cursor(), (TextPosition{2, 1}));
    Key(EditorKey::Down);
    EXPECT_EQ(e.CursorLine(), 2);
    Key(EditorKey::Home, kCtrl | kShift);
    EXPECT_EQ(e.SelText(), "ab\r\nlonger line\r\nc");
    e.SetCursor(0, kMaxColumn);
    Key(EditorKey::Right);
    EXPECT_EQ(e.CursorCol(), kMaxColumn);
    EXPECT_EQ(e.LeftCol(), kMaxColumn - 39);
    Key(EditorKey::Home);
    EXPECT_EQ(e.LeftCol(), 0);
    // Unknown keys and modifiers do nothing.
    EXPECT_FALSE(HandleKey(e, EditorKey::Y, kNoModifier));
    EXPECT_FALSE(HandleKey(e, EditorKey::Insert, kCtrl | kShift));
    EXPECT_FALSE(HandleKey(e, EditorKey::Left, kAlt));
}

TEST_F(Editor, ReadOnlyIgnoresEveryKeyAndTheMouse) {
    Load("text");
    e.readOnly = true;
    for (EditorKey k : {EditorKey::Right, EditorKey::End, EditorKey::Delete, EditorKey::Enter}) {
        EXPECT_FALSE(HandleKey(e, k, kNoModifier));
    }
    EXPECT_FALSE(HandleChar(e, 'x'));
    e.MouseDown(30, 0);
    e.SetFocus(true);
    EXPECT_FALSE(e.CaretShown());
    EXPECT_EQ(e.GetText(), "text\r\n");
    EXPECT_EQ(e.Cursor(), (TextPosition{0, 0}));
}

TEST_F(Editor, PagesScrollTheTopLineAndKeepTheCursorRow) {
    std::string text;
    for (int i = 0; i < 25; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    Load(text);
    e.SetCursor(3, 2);
    Key(EditorKey::PageDown);
    EXPECT_EQ(e.TopLine(), 10);
    EXPECT_EQ(e.Cursor(), (TextPosition{13, 2}));
    Key(EditorKey::PageDown);
    EXPECT_EQ(e.TopLine(), 20);
    EXPECT_EQ(e.Cursor(), (TextPosition{23, 2}));
    Key(EditorKey::PageDown);  // past the end the cursor row decides the top
    EXPECT_EQ(e.TopLine(), 21);
    EXPECT_EQ(e.Cursor(), (TextPosition{24, 2}));
    Key(EditorKey::PageUp);
    Key(EditorKey::PageUp);
    Key(EditorKey::PageUp);
    EXPECT_EQ(e.TopLine(), 0);
    EXPECT_EQ(e.CursorLine(), e.CursorRow());
    // Leaving a line by page removes its trailing blanks.
    Key(EditorKey::End);
    Type("   ");
    Key(EditorKey::PageDown);
    EXPECT_EQ(e.Line(e.CursorLine() - 10), "line " + std::to_string(e.CursorLine() - 10));

    ScrollBarState bar = e.ScrollBar();
    EXPECT_EQ(bar.max, 15);
    EXPECT_EQ(bar.page, 9);
    int line = e.CursorLine();
    e.Scroll(ScrollAction::Bottom);
    EXPECT_EQ(e.TopLine(), 15);
    EXPECT_EQ(e.CursorLine(), line);
    e.Scroll(ScrollAction::Thumb, 99);
    EXPECT_EQ(e.TopLine(), 15);
    e.Scroll(ScrollAction::PageUp);
    e.Scroll(ScrollAction::LineUp);
    EXPECT_EQ(e.TopLine(), 5);
    e.Scroll(ScrollAction::Top);
    e.Scroll(ScrollAction::LineUp);
    EXPECT_EQ(e.TopLine(), 0);
    EXPECT_EQ(e.CursorLine(), line);
}

TEST_F(Editor, TheMouseLandsOnTheNearestCharacterBoundaryAndDragsASelection) {
    Load("abcdef\r\nghijkl\r\nmn");
    e.MouseDown(8 + 3, 13 + 12);  // left half of column 1
    EXPECT_EQ(e.Cursor(), (TextPosition{1, 1}));
    EXPECT_TRUE(e.CaretShown());
    e.MouseDown(8 + 4, 0);  // right half
    EXPECT_EQ(e.Cursor(), (TextPosition{0, 2}));
    e.MouseDrag(4 * 8, 2 * 13);
    EXPECT_EQ(e.SelText(), "cdef\r\nghijkl\r\nmn");
    e.MouseDrag(0, 3 * 13);  // past the last line
    EXPECT_EQ(e.Cursor(), (TextPosition{2, 4}));
    EXPECT_EQ(e.CaretX(), 32);
    EXPECT_EQ(e.CaretY(), 26);
    e.MouseDown(0, 0);
    EXPECT_FALSE(e.HasSelection());
}

TEST_F(Editor, WatcherHearsCursorMovesOnlyWithTheFocusAndEachModifiedChange) {
    Load("a\r\nb");
    e.SetCursor(1, 0);
    EXPECT_TRUE(watcher.cursorChanges.empty());
    e.SetFocus(true);
    e.SetCursor(1, 1);
    EXPECT_EQ(watcher.cursorChanges.back(), (TextPosition{1, 1}));
    e.SetFocus(false);
    size_t heard = watcher.cursorChanges.size();
    e.SetCursor(0, 0);
    EXPECT_EQ(watcher.cursorChanges.size(), heard);

    Type("x");
    Type("y");
    EXPECT_EQ(watcher.modifiedChanges, 1);
    e.SetModified(true);
    EXPECT_EQ(watcher.modifiedChanges, 1);
    e.Clear();
    EXPECT_FALSE(e.Modified());
    EXPECT_EQ(watcher.modifiedChanges, 2);
    EXPECT_EQ(e.GetText(), "\r\n");
}

TEST_F(Editor, InvalidPositionsAreIgnored) {
    Load("one\r\ntwo");
    e.SetCursor(1, 2);
    for (auto [line, col] : {std::pair{-1, 0}, {2, 0}, {0, -1}, {0, 256}}) {
        e.SetCursor(line, col);
        EXPECT_EQ(e.Cursor(), (TextPosition{1, 2}));
    }
    e.JoinLines(1);
    e.JoinLines(-1);
    e.DeleteChar(5, 0, false);
    e.Select({0, 0}, {9, 0});
    e.InsertChar('x', -1, 0);
    e.InsertChar('x', 3, 0);  // only the line after the last may be added
    e.InsertChar('x', 0, 256);
    e.SplitLine(0, 300, true);
    e.InsertChar('\n', 0, 0);
    EXPECT_EQ(e.GetText(), "one\r\ntwo\r\n");
    EXPECT_FALSE(e.Modified());
}

TEST_F(Editor, TheLinesViewReplacesAndEditsTheText) {
    TProgrammerStrings lines(e);
    lines.SetText("a\r\nb\nc\rd\r\n");
    EXPECT_EQ(lines.Count(), 4);
    EXPECT_EQ(lines.GetText(), "a\r\nb\r\nc\r\nd\r\n");
    e.SetCursor(3, 1);
    lines.Delete(3);
    EXPECT_EQ(e.Cursor(), (TextPosition{2, 1}));
    lines.Insert(0, "top");
    lines.Insert(9, "ignored");
    EXPECT_EQ(lines.Get(0), "top");
    EXPECT_EQ(lines.Get(-1), "");
    lines.Clear();
    EXPECT_EQ(lines.Count(), 0);
    EXPECT_EQ(lines.GetText(), "");
    e.SetText("x\r\ny");
    e.SetCursor(1, 1);
    lines.SetText("only");  // a new text is read from its start
    EXPECT_EQ(e.Cursor(), (TextPosition{0, 0}));
}

TEST_F(Editor, SelectedCharactersKeepTheCommentColourOnTheHighlight) {
    Load("a = 1 ' one\r\nb = 2\r\nc");
    e.Select({0, 4}, {2, 0});
    auto runs = [&](int line) {
        auto [from, to] = e.SelectedColumns(line);
        return ColourLine(e.Line(line), e.remText, from, to);
    };
    EXPECT_EQ(runs(0),
              (std::vector<ColouredRun>{{0, 4, false, false}, {4, 2, false, true}, {6, 5, true, true}}));
    EXPECT_EQ(runs(1), (std::vector<ColouredRun>{{0, 5, false, true}}));
    EXPECT_EQ(runs(2), (std::vector<ColouredRun>{{0, 1, false, false}}));
    e.Select({0, 8}, {0, 30});  // past the end only the text is selected
    EXPECT_EQ(runs(0),
              (std::vector<ColouredRun>{{0, 6, false, false}, {6, 2, true, false}, {8, 3, true, true}}));
    e.ClearSelection();
    EXPECT_EQ(runs(0), ColourLine(e.Line(0), "'"));
}

TEST(CommentColouring, CommentsStartOutsideStringsWithoutRegardToCase) {
    EXPECT_EQ(ColourLine("a# = 1 ' set a", "'"), (std::vector<ColouredRun>{{0, 7, false}, {7, 7, true}}));
    EXPECT_EQ(CommentStart("a$ = \"it's\"", "'"), -1);
    EXPECT_EQ(CommentStart("a$ = \"it's\" 'yes", "'"), 12);
    EXPECT_EQ(CommentStart("x = 1 : REM note", "rem"), 8);
    EXPECT_EQ(ColourLine("'all", "'"), (std::vector<ColouredRun>{{0, 4, true}}));
    EXPECT_EQ(ColourLine("a ' b", ""), (std::vector<ColouredRun>{{0, 5, false}}));
    EXPECT_TRUE(ColourLine("", "'").empty());
    EXPECT_EQ(CommentStart("re", "rem"), -1);
}

}  // namespace
}  // namespace tallow::ide
