// Thousands of seeded random keys, pastes, searches and clicks on the code
// editor's model. After each step the text is compared with a plain-string
// reference of what the step must do, and the model's invariants are checked.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "ide/model/editor_keys.h"
#include "ide/model/programmer_model.h"

namespace tallow::ide {
namespace {

using Lines = std::vector<std::string>;

class Clipboard : public ProgrammerWatcher {
public:
    void SetClipboardText(const std::string& t) override { text = t; }
    bool GetClipboardText(std::string& t) override {
        t = text;
        return true;
    }
    std::string text;
};

std::string RTrim(std::string s) {
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

// Trailing blanks are the model's to keep or drop; compare without them.
Lines Normal(Lines lines) {
    for (std::string& s : lines)
        s = RTrim(s);
    return lines;
}

std::string Flat(const Lines& lines) {
    std::string flat;
    for (size_t i = 0; i < lines.size(); ++i)
        flat += (i ? "\r\n" : "") + lines[i];
    return flat;
}

Lines Unflat(const std::string& flat) {
    Lines lines;
    size_t start = 0;
    for (size_t at; (at = flat.find("\r\n", start)) != std::string::npos; start = at + 2) {
        lines.push_back(flat.substr(start, at - start));
    }
    lines.push_back(flat.substr(start));
    return lines;
}

size_t Offset(const Lines& lines, TextPosition p) {
    size_t offset = 0;
    for (int i = 0; i < p.line; ++i)
        offset += lines[i].size() + 2;
    return offset + std::min<size_t>(p.col, lines[p.line].size());
}

void Pad(Lines& lines, TextPosition p) {
    while (static_cast<int>(lines.size()) <= p.line)
        lines.emplace_back();
    std::string& s = lines[p.line];
    if (static_cast<int>(s.size()) < p.col) s.append(p.col - s.size(), ' ');
}

// What each step must do to the text, from the text and cursor before it.
struct Reference {
    Lines lines;
    TextPosition cursor;

    void Type(char c) {
        Pad(lines, cursor);
        std::string& s = lines[cursor.line];
        auto fits = [&] { return cursor.col < kMaxColumn && static_cast<int>(s.size()) < kMaxColumn; };
        if (!fits()) {
            s = RTrim(s);
            if (!fits()) return;
            Pad(lines, cursor);
        }
        s.insert(cursor.col, 1, c);
        ++cursor.col;
    }
    // Only CR LF pairs of the pasted text split; a lone CR or LF that meets
    // one in the line stays inside it.
    void Paste(const std::string& text) {
        Pad(lines, cursor);
        Lines pieces = Unflat(text);
        std::string& s = lines[cursor.line];
        std::string tail = s.substr(cursor.col);
        s = s.substr(0, cursor.col) + pieces[0];
        lines.insert(lines.begin() + cursor.line + 1, pieces.begin() + 1, pieces.end());
        int last = cursor.line + static_cast<int>(pieces.size()) - 1;
        int col = static_cast<int>(lines[last].size());
        lines[last] += tail;
        cursor = {last, std::min(col, kMaxColumn)};
    }
    // The selected text must be what the flat text holds at the selection's start.
    void EraseSelection(SelectionBounds sel, const std::string& selText) {
        ASSERT_EQ(Flat(lines).substr(Offset(lines, sel.start), selText.size()), selText);
        const std::string& last = lines[sel.end.line];
        std::string tail = last.substr(std::min<size_t>(sel.end.col, last.size()));
        std::string& first = lines[sel.start.line];
        first = first.substr(0, std::min<size_t>(sel.start.col, first.size())) + tail;
        lines.erase(lines.begin() + sel.start.line + 1, lines.begin() + sel.end.line + 1);
        cursor = sel.start;
    }
};

struct Step {
    enum Kind { Char, Key, Paste, Find, Click } kind;
    unsigned char ch = 0;
    EditorKey key = EditorKey::Left;
    unsigned mods = 0;
    std::string text = {};
};

Step RandomStep(std::mt19937& rng) {
    auto pick = [&](int n) { return static_cast<int>(rng() % n); };
    static constexpr EditorKey kMoves[] = {EditorKey::Left,   EditorKey::Right,   EditorKey::Up,
                                           EditorKey::Down,   EditorKey::Home,    EditorKey::End,
                                           EditorKey::PageUp, EditorKey::PageDown};
    static constexpr char kChars[] = "ab (x)\"'.$  ";
    int roll = pick(100);
    if (roll < 40) return {Step::Char, static_cast<unsigned char>(kChars[pick(sizeof kChars - 1)])};
    if (roll < 70) {
        EditorKey key = kMoves[pick(std::size(kMoves))];
        unsigned mods = (pick(3) == 0 ? kShift : 0u) | (pick(4) == 0 ? kCtrl : 0u);
        return {Step::Key, 0, key, mods};
    }
    if (roll < 75) return {Step::Key, 0, EditorKey::Enter};
    if (roll < 83) return {Step::Key, 0, EditorKey::Backspace};
    if (roll < 90) return {Step::Key, 0, EditorKey::Delete, pick(3) == 0 ? kShift : 0u};
    if (roll < 91) return {Step::Key, 0, EditorKey::Y, kCtrl};
    if (roll < 94) {
        static const char* kPieces[] = {"p", "\r\n", "  q", "\n", "\r", " "};
        std::string text;
        for (int i = pick(5); i >= 0; --i)
            text += kPieces[pick(std::size(kPieces))];
        return {Step::Paste, 0, EditorKey::Left, 0, text};
    }
    if (roll < 97) return {Step::Find, 0, EditorKey::Left, 0, pick(2) ? "a" : "X)"};
    return {Step::Click, static_cast<unsigned char>(pick(200)), EditorKey::Left, 0,
            std::to_string(pick(120))};
}

void CheckInvariants(const ProgrammerModel& e) {
    if (e.LineCount() == 0) {
        ASSERT_EQ(e.Cursor(), (TextPosition{0, 0}));
    } else {
        ASSERT_LT(e.CursorLine(), e.LineCount());
    }
    ASSERT_GE(e.CursorLine(), 0);
    ASSERT_GE(e.CursorCol(), 0);
    ASSERT_LE(e.CursorCol(), kMaxColumn);
    ASSERT_GE(e.CursorRow(), 0);
    ASSERT_LT(e.CursorRow(), e.VisibleLines());
    ASSERT_GE(e.CursorViewCol(), 0);
    ASSERT_LT(e.CursorViewCol(), e.VisibleCols());
    for (int i = 0; i < e.LineCount(); ++i) {
        if (i != e.CursorLine()) {
            ASSERT_EQ(e.Line(i), RTrim(e.Line(i))) << "line " << i;
        }
    }
    if (e.Selecting()) {
        ASSERT_LT(e.Anchor().line, std::max(1, e.LineCount()));
    }
}

// Runs one step on the model and works out in the reference what it must do.
// Returns false when the step's effect on the text is not modelled.
bool RunStep(ProgrammerModel& e, Clipboard& clip, const Step& step, Reference& ref) {
    bool edits =
        step.kind == Step::Char || step.kind == Step::Paste ||
        (step.kind == Step::Key &&
         (step.key == EditorKey::Enter || step.key == EditorKey::Backspace || step.key == EditorKey::Delete));
    if (edits && e.HasSelection()) {
        std::string selText = e.SelText();
        ref.EraseSelection(e.Selection(), selText);
        if (step.kind == Step::Key && step.key == EditorKey::Delete && step.mods == kShift) {
            HandleKey(e, step.key, step.mods);
            EXPECT_EQ(clip.text, selText);
            return true;
        }
        if (step.kind == Step::Key && step.key != EditorKey::Enter) {
            HandleKey(e, step.key, step.mods);
            return true;
        }
    }
    switch (step.kind) {
        case Step::Char:
            ref.Type(static_cast<char>(step.ch));
            HandleChar(e, step.ch);
            return true;
        case Step::Paste:
            ref.Paste(step.text);
            clip.text = step.text;
            HandleKey(e, EditorKey::Insert, kShift);
            return true;
        case Step::Find: {
            bool found = e.Find(step.text, false);
            if (found) {
                std::string sel = e.SelText();
                std::transform(sel.begin(), sel.end(), sel.begin(), ::tolower);
                std::string want = step.text;
                std::transform(want.begin(), want.end(), want.begin(), ::tolower);
                EXPECT_EQ(sel, want);
            }
            ref.cursor = e.Cursor();
            return true;
        }
        case Step::Click:
            e.MouseDown(step.ch, std::stoi(step.text));
            ref.cursor = e.Cursor();
            return true;
        case Step::Key:
            break;
    }
    if (step.key == EditorKey::Y) {
        if (ref.cursor.line < static_cast<int>(ref.lines.size())) {
            ref.lines.erase(ref.lines.begin() + ref.cursor.line);
        }
        HandleKey(e, step.key, step.mods);
        return true;
    }
    if (step.key == EditorKey::Enter) {
        Pad(ref.lines, ref.cursor);
        std::string& s = ref.lines[ref.cursor.line];
        std::string rest = s.substr(ref.cursor.col);
        s.erase(ref.cursor.col);
        int indent = std::max(0, LeadingBlanks(s) - LeadingBlanks(rest));
        ref.lines.insert(ref.lines.begin() + ref.cursor.line + 1, std::string(indent, ' ') + rest);
        ref.cursor = {ref.cursor.line + 1, indent};
        HandleKey(e, step.key, step.mods);
        return true;
    }
    if (step.key == EditorKey::Delete && e.LineCount() > 0) {
        std::string& s = ref.lines[ref.cursor.line];
        s = RTrim(s);
        Pad(ref.lines, ref.cursor);
        if (ref.cursor.col < static_cast<int>(s.size())) {
            s.erase(ref.cursor.col, 1);
        } else if (ref.cursor.line + 1 < static_cast<int>(ref.lines.size())) {
            s += ref.lines[ref.cursor.line + 1];
            ref.lines.erase(ref.lines.begin() + ref.cursor.line + 1);
        }
        HandleKey(e, step.key, step.mods);
        return true;
    }
    HandleKey(e, step.key, step.mods);
    // Moves leave the text alone; Backspace's unindent is checked elsewhere.
    return step.key != EditorKey::Backspace;
}

TEST(ProgrammerLongRun, RandomEditsMatchTheReferenceAndKeepTheInvariants) {
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        Clipboard clip;
        ProgrammerModel e(&clip);
        e.breakCharsLeft = " .(,\"$#@\\";
        e.breakCharsRight = ")\"";
        e.SetCellSize(8, 13);
        e.SetClientSize(8 * 30, 13 * 8);
        e.SetFocus(true);
        for (int i = 0; i < 5000; ++i) {
            Step step = RandomStep(rng);
            Reference ref{e.Lines(), e.Cursor()};
            bool modelled = RunStep(e, clip, step, ref);
            ASSERT_NO_FATAL_FAILURE(CheckInvariants(e)) << "step " << i;
            if (!modelled || ::testing::Test::HasFailure()) continue;
            if (e.LineCount() > 0 || ref.lines.size() > 1 ||
                (ref.lines.size() == 1 && !ref.lines[0].empty())) {
                ASSERT_EQ(Normal(e.Lines()), Normal(ref.lines)) << "step " << i;
            }
            if (step.kind == Step::Char || step.kind == Step::Paste ||
                (step.kind == Step::Key && step.key == EditorKey::Enter)) {
                ASSERT_EQ(e.Cursor(), ref.cursor) << "step " << i;
            }
        }
        ASSERT_FALSE(::testing::Test::HasFailure());
    }
}

}  // namespace
}  // namespace tallow::ide
