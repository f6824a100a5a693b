// The IDE's modal dialogs driven in-process: a thread timer, dispatched by
// the dialog's own modal loop, finds each dialog by its title, reads and
// sets its controls by id and presses its buttons; the tests then check
// what reached the tool or the caller.
#include <gtest/gtest.h>
#include <windows.h>
// The tab strip's messages (after windows.h).
#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "ide/model/about_texts.h"
#include "ide/model/control_tool_form.h"
#include "ide/model/drawer.h"
#include "ide/model/shape_forms.h"
#include "ide/model/shape_tools.h"
#include "ide/model/tool_factory.h"
#include "ide/model/tool_surface.h"
#include "ide/win32/dialog_builder.h"
#include "ide/win32/modal_answers.h"
#include "ide/win32/small_dialogs.h"
#include "ide/win32/tool_form_dialogs.h"

namespace tallow::ide::win32 {
namespace {

// ---- driving a dialog from inside its modal loop

constexpr UINT kTickMs = 30;
// How long a step waits for its dialog before the test fails (about 6 s).
constexpr int kMaxTicks = 200;

struct DialogStep {
    const char* title;
    std::function<void(HWND)> act;
};

// Runs the steps in order, each on the first visible, enabled dialog of its
// title. A missing dialog fails the test, and a dialog left open after the
// last step is cancelled (and fails it), so that no test hangs.
class DialogDriver {
public:
    explicit DialogDriver(std::vector<DialogStep> steps) : steps_(std::move(steps)) {
        active = this;
        timer_ = SetTimer(nullptr, 0, kTickMs, Tick);
    }
    ~DialogDriver() {
        KillTimer(nullptr, timer_);
        active = nullptr;
        EXPECT_EQ(next_, steps_.size()) << "steps left undone";
    }
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (active) active->Step();
    }

    void Step() {
        if (next_ == steps_.size()) return CancelLeftover();
        HWND dialog = FindWindowA("#32770", steps_[next_].title);
        if (dialog && IsWindowVisible(dialog) && IsWindowEnabled(dialog)) {
            waited_ = 0;
            // Counted first: an action may open a nested dialog whose loop ticks on.
            steps_[next_++].act(dialog);
            return;
        }
        if (++waited_ < kMaxTicks) return;
        ADD_FAILURE() << "no dialog titled " << steps_[next_].title;
        next_ = steps_.size();
        CancelLeftover();
    }

    void CancelLeftover() {
        HWND open = GetActiveWindow();
        if (!open || ++waited_ < kMaxTicks) return;
        ADD_FAILURE() << "a dialog stayed open";
        waited_ = 0;
        PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
    }

    static inline DialogDriver* active = nullptr;
    std::vector<DialogStep> steps_;
    size_t next_ = 0;
    int waited_ = 0;
    UINT_PTR timer_ = 0;
};

std::string TextOf(HWND dialog, int id) {
    char text[512] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}
void SetText(HWND dialog, int id, const std::string& text) {
    SetDlgItemTextA(dialog, id, text.c_str());
}
void Click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}
// Clicks a button that opens another dialog without waiting for it here.
void ClickLater(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}
bool IsChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}
// Keys typed into a field one character at a time, over what it holds.
void Type(HWND dialog, int id, const std::string& keys) {
    HWND field = GetDlgItem(dialog, id);
    SendMessageA(field, EM_SETSEL, 0, -1);
    for (char c : keys)
        SendMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 1);
}
std::string WindowTitle(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// The control of a page's option, by its caption.
int OptionId(ToolCode page, const std::string& caption) {
    std::span<const StyleOption> options = StyleOptionsOf(page);
    for (size_t i = 0; i < options.size(); ++i)
        if (caption == options[i].caption) return kFirstOptionId + static_cast<int>(i);
    ADD_FAILURE() << "no option " << caption;
    return -1;
}

class RecordingAnswers final : public ModalAnswers {
public:
    RecordingAnswers() { SetModalAnswers(this); }
    ~RecordingAnswers() override { SetModalAnswers(nullptr); }

    int MessageBox(const std::string& text, const std::string& caption, UINT) override {
        boxes.push_back(caption + ": " + text);
        return IDOK;
    }
    std::optional<std::string> FileDialog(const FileDialogRequest& request, bool save) override {
        fileRequests.push_back(request);
        EXPECT_FALSE(save);
        return file;
    }
    std::optional<std::string> NameDialog(const std::string& current) override {
        askedNames.push_back(current);
        return name;
    }

    std::vector<std::string> boxes;
    std::vector<FileDialogRequest> fileRequests;
    std::vector<std::string> askedNames;
    std::optional<std::string> file;
    std::optional<std::string> name;
};

// A surface holding a dialog frame, as the designer makes one.
class ToolDialogs : public ::testing::Test {
protected:
    ToolDialogs() { CreateTool(surface, ToolCode::Dialog); }

    template <typename T = TControlTool>
    T& Add(ToolCode code) {
        auto& tool = static_cast<T&>(CreateTool(surface, code));
        surface.SetModified(false);
        return tool;
    }

    ToolSurface surface;
};

// ---- the control form

TEST_F(ToolDialogs, ButtonEditsReachTheTool) {
    auto& button = Add(ToolCode::Button);
    ASSERT_EQ(button.childId, 101);
    DialogDriver driver({{"Button Properties", [](HWND d) {
                              char tab[32] = {};
                              TCITEMA item{};
                              item.mask = TCIF_TEXT;
                              item.pszText = tab;
                              item.cchTextMax = sizeof tab;
                              SendDlgItemMessageA(d, kPageTabs, TCM_GETITEMA, 0,
                                                  reinterpret_cast<LPARAM>(&item));
                              EXPECT_STREQ(tab, "Button");
                              EXPECT_EQ(SendDlgItemMessageA(d, kPageTabs, TCM_GETITEMCOUNT, 0, 0), 1);
                              EXPECT_TRUE(IsWindowVisible(GetDlgItem(d, kChildIdField)));
                              EXPECT_EQ(TextOf(d, kChildIdField), "101");
                              EXPECT_TRUE(IsChecked(d, OptionId(ToolCode::Button, "Tab Stop")));
                              EXPECT_FALSE(IsChecked(d, OptionId(ToolCode::Button, "Default")));
                              SetText(d, kWindowTextField, "Go");
                              SetText(d, kChildIdField, "42");
                              Click(d, OptionId(ToolCode::Button, "Tab Stop"));
                              Click(d, OptionId(ToolCode::Button, "Default"));
                              EXPECT_FALSE(IsChecked(d, OptionId(ToolCode::Button, "Tab Stop")));
                              Click(d, IDOK);
                          }}});
    EXPECT_TRUE(ShowToolProperties(nullptr, button));
    EXPECT_EQ(button.caption, "Go");
    EXPECT_EQ(button.childId, 42);
    EXPECT_EQ(button.style, kBsDefPushButton | 0x20000u);  // Default and Group
    EXPECT_TRUE(surface.Modified());
}

TEST_F(ToolDialogs, ButtonShortcutsFillTheForm) {
    auto& button = Add(ToolCode::Button);
    button.style |= kBsDefPushButton;
    DialogDriver driver({{"Button Properties",
                          [](HWND d) {
                              EXPECT_TRUE(IsChecked(d, OptionId(ToolCode::Button, "Default")));
                              Click(d, kCancelShortcutButton);
                              EXPECT_EQ(TextOf(d, kWindowTextField), "Cancel");
                              EXPECT_EQ(TextOf(d, kChildIdField), "2");
                              EXPECT_FALSE(IsChecked(d, OptionId(ToolCode::Button, "Default")));
                              Click(d, IDOK);
                          }},
                         {"Button Properties", [](HWND d) {
                              Click(d, kOkShortcutButton);
                              EXPECT_EQ(TextOf(d, kWindowTextField), "OK");
                              EXPECT_TRUE(IsChecked(d, OptionId(ToolCode::Button, "Default")));
                              Click(d, IDOK);
                          }}});
    EXPECT_TRUE(ShowToolProperties(nullptr, button));
    EXPECT_EQ(button.caption, "Cancel");
    EXPECT_EQ(button.childId, 2);
    EXPECT_EQ(button.style & kBsDefPushButton, 0u);
    EXPECT_TRUE(ShowToolProperties(nullptr, button));
    EXPECT_EQ(button.caption, "OK");
    EXPECT_EQ(button.childId, 1);
    EXPECT_EQ(button.style & kBsDefPushButton, kBsDefPushButton);
}

TEST_F(ToolDialogs, CancelLeavesTheToolAsItWas) {
    auto& box = Add(ToolCode::CheckBox);
    box.caption = "Keep";
    std::string before = box.ToText();
    DialogDriver driver({{"Check Box Properties", [](HWND d) {
                              SetText(d, kWindowTextField, "Lost");
                              SetText(d, kChildIdField, "7");
                              Click(d, OptionId(ToolCode::CheckBox, "Tri-State"));
                              Click(d, OptionId(ToolCode::CheckBox, "Text on Left"));
                              Click(d, IDCANCEL);
                          }}});
    EXPECT_FALSE(ShowToolProperties(nullptr, box));
    EXPECT_EQ(box.ToText(), before);
    EXPECT_FALSE(surface.Modified());
}

TEST_F(ToolDialogs, RadioOptionsFollowTheModel) {
    auto& field = Add(ToolCode::TextBox);
    auto id = [](const char* caption) { return OptionId(ToolCode::TextBox, caption); };
    DialogDriver driver(
        {{"Text Box Properties", [&](HWND d) {
              for (const char* on : {"Tab Stop", "Group", "Auto HScroll", "Normal", "Single-Line"})
                  EXPECT_TRUE(IsChecked(d, id(on))) << on;
              for (const char* off : {"Lowercase", "Uppercase", "Multi-Line", "Password"})
                  EXPECT_FALSE(IsChecked(d, id(off))) << off;
              Click(d, id("Uppercase"));
              EXPECT_FALSE(IsChecked(d, id("Normal")));
              Click(d, id("Uppercase"));  // a set radio stays set
              EXPECT_TRUE(IsChecked(d, id("Uppercase")));
              Click(d, id("Multi-Line"));
              EXPECT_FALSE(IsChecked(d, id("Single-Line")));
              EXPECT_TRUE(IsChecked(d, id("Uppercase")));  // the other group keeps its choice
              Click(d, id("Auto HScroll"));
              Click(d, IDOK);
          }}});
    EXPECT_TRUE(ShowToolProperties(nullptr, field));
    EXPECT_EQ(field.style, 0x10000u | 0x20000u | 0x8u | 0x1004u);
}

TEST_F(ToolDialogs, DialogFrameHidesTheChildId) {
    auto& frame = static_cast<TControlTool&>(*surface.DialogTool());
    frame.caption = "Setup";
    uint32_t style = frame.style;
    DialogDriver driver({{"Dialog Properties", [](HWND d) {
                              for (int id : {kChildIdLabel, kChildIdField, kChildIdField + 1})
                                  EXPECT_FALSE(IsWindowVisible(GetDlgItem(d, id))) << id;
                              EXPECT_EQ(TextOf(d, kWindowTextField), "Setup");
                              EXPECT_TRUE(IsChecked(d, OptionId(ToolCode::Dialog, "System Menu")));
                              EXPECT_EQ(GetDlgItem(d, kOkShortcutButton), nullptr);
                              SetText(d, kChildIdField, "500");  // hidden: not read
                              Click(d, IDOK);
                          }}});
    EXPECT_TRUE(ShowToolProperties(nullptr, frame));
    EXPECT_EQ(frame.childId, kDialogChildId);
    EXPECT_EQ(frame.style, style & 0xB0000u);
}

TEST_F(ToolDialogs, HelpInTheControlFormReachesTheSurface) {
    auto& button = Add(ToolCode::Button);
    int helped = 0;
    DialogDriver driver(
        {{"Button Properties", [&](HWND d) {
              HELPINFO help{sizeof help, HELPINFO_WINDOW, kWindowTextField, GetDlgItem(d, kWindowTextField),
                            0,           {0, 0}};
              SendMessageA(d, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
              EXPECT_EQ(helped, 1);
              Click(d, IDCANCEL);
          }}});
    EXPECT_FALSE(ShowToolProperties(nullptr, button, [&] { ++helped; }));
    EXPECT_EQ(helped, 1);
}

TEST_F(ToolDialogs, ChildIdIsHeldWithinItsField) {
    auto& list = Add(ToolCode::ListBox);
    auto setId = [](const char* text) {
        return DialogStep{"List Box Properties", [text](HWND d) {
                              SetText(d, kChildIdField, text);
                              Click(d, IDOK);
                          }};
    };
    DialogDriver driver({setId("99999"), setId("")});
    ShowToolProperties(nullptr, list);
    EXPECT_EQ(list.childId, kMaxChildIdField);
    ShowToolProperties(nullptr, list);  // no number: the ID stays
    EXPECT_EQ(list.childId, kMaxChildIdField);
}

// ---- the shapes' forms

TEST_F(ToolDialogs, ParagraphWithNestedCanvasAndFontForms) {
    auto& text = Add<TTextTool>(ToolCode::Text);
    text.caption = "old";
    text.paint.penWidth = 2;
    DialogDriver driver({
        {kMemoFormTitle,
         [](HWND d) {
             EXPECT_EQ(TextOf(d, kParagraphField), "old");
             SetText(d, kParagraphField, "Hello\tworld");
             ClickLater(d, kCanvasButton);
         }},
        {kCanvasFormTitle,
         [](HWND d) {
             SetText(d, kPenWidthField, "9");
             Click(d, IDCANCEL);
         }},
        {kMemoFormTitle, [](HWND d) { ClickLater(d, kCanvasButton); }},
        {kCanvasFormTitle,
         [](HWND d) {
             EXPECT_EQ(TextOf(d, kPenWidthField), "2");  // the cancelled width is gone
             SetText(d, kPenWidthField, "5");
             Click(d, kTransparentCheck);
             Click(d, IDOK);
         }},
        {kMemoFormTitle, [](HWND d) { ClickLater(d, kFontButton); }},
        {kFontFormTitle,
         [](HWND d) {
             EXPECT_EQ(SendDlgItemMessageA(d, kTextTypeList, CB_GETCOUNT, 0, 0), kTextTypeCount);
             SendDlgItemMessageA(d, kTextTypeList, CB_SETCURSEL, 3, 0);
             SendDlgItemMessageA(d, kTextAlignList, CB_SETCURSEL, 2, 0);
             SetText(d, kTextSizeField, "99");
             Click(d, IDOK);
         }},
        {kMemoFormTitle, [](HWND d) { Click(d, IDOK); }},
    });
    EXPECT_TRUE(ShowToolProperties(nullptr, text));
    EXPECT_EQ(text.caption, "Hello\tworld");
    EXPECT_EQ(text.paint.penWidth, 5);
    EXPECT_TRUE(text.paint.drawTransparent);
    EXPECT_EQ(text.text.textType, 3);
    EXPECT_EQ(text.text.textAlign, 2);
    EXPECT_EQ(text.text.textSize, kMaxTextSize);
    EXPECT_TRUE(surface.Modified());
}

TEST_F(ToolDialogs, LineCanvasHoldsThePenWidth) {
    auto& line = Add<TLineTool>(ToolCode::Line);
    line.paint.penWidth = 3;
    DialogDriver driver({{kCanvasFormTitle, [](HWND d) {
                              EXPECT_EQ(TextOf(d, kPenWidthField), "3");
                              EXPECT_FALSE(IsChecked(d, kTransparentCheck));
                              SetText(d, kPenWidthField, "40");
                              Click(d, IDOK);
                          }}});
    EXPECT_TRUE(ShowToolProperties(nullptr, line));
    EXPECT_EQ(line.paint.penWidth, kMaxPenWidth);
}

TEST_F(ToolDialogs, ColourDialogStartsOnTheShownColour) {
    auto& rect = Add<TRectTool>(ToolCode::Rect);
    rect.paint.penColor = kClBtnText;  // a system colour: the dialog shows its value
    rect.paint.brushColor = 0x00123456;
    DialogDriver driver({{kCanvasFormTitle, [](HWND d) { ClickLater(d, kPenColorButton); }},
                         {"Color", [](HWND d) { Click(d, IDOK); }},
                         {kCanvasFormTitle, [](HWND d) { ClickLater(d, kBrushColorButton); }},
                         {"Color", [](HWND d) { Click(d, IDCANCEL); }},
                         {kCanvasFormTitle, [](HWND d) { Click(d, IDOK); }}});
    EXPECT_TRUE(ShowToolProperties(nullptr, rect));
    EXPECT_EQ(rect.paint.penColor, GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(rect.paint.brushColor, 0x00123456u);
}

// A 24-bit bitmap file of that size in the temporary folder.
std::string WriteBitmapFile(const char* name, int width, int height) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    std::string path = std::string(folder) + name;
    int rowBytes = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + rowBytes * height;
    std::vector<char> pixels(static_cast<size_t>(rowBytes) * height, '\x7f');
    FILE* out = std::fopen(path.c_str(), "wb");
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&info, sizeof info, 1, out);
    std::fwrite(pixels.data(), 1, pixels.size(), out);
    std::fclose(out);
    return path;
}

TEST_F(ToolDialogs, ImageLinksAChosenBitmap) {
    auto& image = Add<TImageTool>(ToolCode::Image);
    image.SetRect({100, 100, 110, 110});
    RecordingAnswers answers;
    answers.file = WriteBitmapFile("forms_link.bmp", 40, 30);
    EXPECT_TRUE(ShowToolProperties(nullptr, image));
    ASSERT_EQ(answers.fileRequests.size(), 1u);
    EXPECT_EQ(answers.fileRequests[0].title, kImageChooserTitle);
    EXPECT_EQ(answers.fileRequests[0].filter, kImageChooserFilter);
    EXPECT_EQ(answers.fileRequests[0].defaultExtension, kImageChooserExtension);
    EXPECT_TRUE(answers.fileRequests[0].fileMustExist);
    EXPECT_EQ(image.fileName, *answers.file);
    EXPECT_EQ(image.Rect().right - image.Rect().left, 40);
    EXPECT_EQ(image.Rect().bottom - image.Rect().top, 30);
    EXPECT_TRUE(surface.Modified());
    DeleteFileA(answers.file->c_str());
}

TEST_F(ToolDialogs, ImageKeepsItsLinkWhenNothingUsableIsChosen) {
    auto& image = Add<TImageTool>(ToolCode::Image);
    image.fileName = "old.bmp";
    RecordingAnswers answers;
    EXPECT_FALSE(ShowToolProperties(nullptr, image));  // cancelled
    EXPECT_EQ(answers.fileRequests.back().fileName, "old.bmp");
    answers.file = WriteBitmapFile("forms_broken.bmp", 4, 4);
    {
        FILE* cut = std::fopen(answers.file->c_str(), "wb");  // not a bitmap any more
        std::fputs("text", cut);
        std::fclose(cut);
    }
    EXPECT_FALSE(ShowToolProperties(nullptr, image));
    EXPECT_EQ(answers.boxes, std::vector<std::string>{"Tallow95: Cannot open file!"});
    EXPECT_EQ(image.fileName, "old.bmp");
    EXPECT_FALSE(surface.Modified());
    DeleteFileA(answers.file->c_str());
}

// ---- grid, name and about

TEST(SmallDialogs, GridHoldsBothStepsWithinRange) {
    int x = 8, y = 30;
    DialogDriver driver({{kGridSnapTitle,
                          [](HWND d) {
                              EXPECT_EQ(TextOf(d, kGridXField), "8");
                              EXPECT_EQ(TextOf(d, kGridYField), "16");  // shown within range
                              SetText(d, kGridXField, "0");
                              SetText(d, kGridYField, "40");
                              Click(d, IDOK);
                          }},
                         {kGridSnapTitle, [](HWND d) {
                              SetText(d, kGridXField, "5");
                              Click(d, IDCANCEL);
                          }}});
    EXPECT_TRUE(ShowGridDialog(nullptr, x, y));
    EXPECT_EQ(x, kMinSnap);
    EXPECT_EQ(y, kMaxSnap);
    EXPECT_FALSE(ShowGridDialog(nullptr, x, y));
    EXPECT_EQ(x, kMinSnap);
}

TEST(SmallDialogs, NameFieldTakesAtMostFifteenCharacters) {
    DialogDriver driver({{"Change Dialog Name",
                          [](HWND d) {
                              EXPECT_EQ(TextOf(d, kNameField), "Dialog1");
                              Type(d, kNameField, "ABCDEFGHIJKLMNOPQRST");
                              EXPECT_EQ(TextOf(d, kNameField), "ABCDEFGHIJKLMNO");
                              Click(d, IDOK);
                          }},
                         {"Change Dialog Name", [](HWND d) {
                              Type(d, kNameField, "Other");
                              Click(d, IDCANCEL);
                          }}});
    EXPECT_EQ(ShowNameDialog(nullptr, "Dialog1"), "ABCDEFGHIJKLMNO");
    EXPECT_EQ(ShowNameDialog(nullptr, "Dialog1"), std::nullopt);
}

TEST(SmallDialogs, NameDialogAsksInstalledAnswersFirst) {
    RecordingAnswers answers;
    answers.name = "Setup";
    EXPECT_EQ(ShowNameDialog(nullptr, "Dialog2"), "Setup");
    EXPECT_EQ(answers.askedNames, std::vector<std::string>{"Dialog2"});
}

TEST(SmallDialogs, AboutBoxShowsItsTextsAndValues) {
    DialogDriver driver({{kAboutTitle, [](HWND d) {
                              EXPECT_EQ(TextOf(d, kAboutProductText), "Tallow95");
                              EXPECT_EQ(TextOf(d, kAboutTaglineText), "System Scripting for Windows 95");
                              EXPECT_EQ(TextOf(d, kAboutDateLabel), "Editor Date:");
                              EXPECT_EQ(TextOf(d, kAboutDateText), "12/10/2026  3:5 PM");
                              EXPECT_EQ(TextOf(d, kAboutVersionLabel), "Engine Version:");
                              EXPECT_EQ(TextOf(d, kAboutVersionText), "Unknown");
                              EXPECT_EQ(GetDlgItem(d, IDCANCEL), nullptr);
                              Click(d, IDOK);
                          }}});
    ShowAboutBox(nullptr, "12/10/2026  3:5 PM", "Unknown");
}

// ---- the dialog base's guard

class FailingDialog final : public ModalDialog {
public:
    explicit FailingDialog(bool failOpening) : failOpening_(failOpening) {}
    static DialogBuilder Layout() {
        DialogBuilder layout("Failing", 120, 40);
        layout.OkCancel(6, 20);
        return layout;
    }

private:
    void OnInit() override {
        if (failOpening_) throw std::runtime_error("cannot open");
    }
    void OnCommand(int id, int) override {
        if (id == kBadCommand) throw std::runtime_error("bad command");
    }

    bool failOpening_;

public:
    static constexpr int kBadCommand = 500;
};

TEST(DialogGuard, ExceptionsStopAtTheDialogProcedure) {
    RecordingAnswers answers;
    FailingDialog opening(true);
    EXPECT_EQ(opening.Run(nullptr, FailingDialog::Layout()), IDCANCEL);
    EXPECT_EQ(answers.boxes, std::vector<std::string>{"Error: cannot open"});

    FailingDialog command(false);
    DialogDriver driver({{"Failing", [](HWND d) {
                              SendMessageA(d, WM_COMMAND, FailingDialog::kBadCommand, 0);
                              EXPECT_TRUE(IsWindowVisible(d));  // still open after the error
                              EXPECT_EQ(WindowTitle(d), "Failing");
                              Click(d, IDCANCEL);
                          }}});
    EXPECT_EQ(command.Run(nullptr, FailingDialog::Layout()), IDCANCEL);
    EXPECT_EQ(answers.boxes.back(), "Error: bad command");
}

TEST(DialogBuilderTemplate, CarriesTheFontAndTheControlsInOrder) {
    DialogBuilder layout("T", 100, 50);
    layout.Label("Name:", -1, {1, 2, 30, 8}).SpinField(7, {40, 2, 30, 12});
    const codec::DialogTemplate& dialog = layout.Template();
    EXPECT_EQ(dialog.typeface, codec::WidenBytes("MS Sans Serif"));
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_TRUE(dialog.style & DS_SETFONT);
    ASSERT_EQ(dialog.items.size(), 3u);
    EXPECT_EQ(dialog.items[1].windowClass.name, codec::WidenBytes("EDIT"));
    EXPECT_EQ(dialog.items[2].windowClass.name, codec::WidenBytes("msctls_updown32"));
    EXPECT_EQ(dialog.items[2].id, 8);  // the up-down follows its buddy, id + 1
    for (const codec::DialogItem& item : dialog.items)
        EXPECT_EQ(item.style & (WS_CHILD | WS_VISIBLE), DWORD{WS_CHILD | WS_VISIBLE});
    codec::DialogTemplate back;
    ASSERT_TRUE(codec::ReadDialogTemplate(layout.Bytes(), back));
    EXPECT_EQ(back, dialog);
}

}  // namespace
}  // namespace tallow::ide::win32
