// The window tests' own ground: the host window, pumping with a time limit,
// the fake modal answers, an exception stopped at a window procedure, and a
// screenshot that holds what the windows drew.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "gui_test.h"
#include "ide/win32/win_handles.h"

namespace tallow::ide::win32::test {
namespace {

constexpr UINT kThrowMessage = WM_APP + 1;
constexpr UINT kCountMessage = WM_APP + 2;

// A child window that fills its client area with one colour, throws for
// kThrowMessage and counts kCountMessage.
class SolidWindow : public Window {
public:
    SolidWindow(HWND parent, RECT area, COLORREF colour) : brush_(CreateSolidBrush(colour)) {
        RegisterClass("TallowTestSolid", 0, nullptr);
        Create("TallowTestSolid", "", WS_CHILD | WS_VISIBLE, 0, area.left, area.top, area.right - area.left,
               area.bottom - area.top, parent, nullptr);
    }
    int counted = 0;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_ERASEBKGND:
                return 1;
            case WM_PAINT: {
                PaintDc paint(Handle());
                FillRect(paint.Get(), &paint.Area(), brush_.Get());
                return 0;
            }
            case WM_PRINTCLIENT: {
                RECT client;
                GetClientRect(Handle(), &client);
                FillRect(reinterpret_cast<HDC>(wParam), &client, brush_.Get());
                return 0;
            }
            case kThrowMessage:
                throw std::runtime_error("thrown inside the window");
            case kCountMessage:
                ++counted;
                return 0;
        }
        return Default(message, wParam, lParam);
    }

private:
    UniqueBrush brush_;
};

TEST(GuiFixture, HostWindowHasTheClientSizeAskedForShownOrHidden) {
    HostWindow shown(320, 200, true);
    RECT client;
    ASSERT_TRUE(GetClientRect(shown.Handle(), &client));
    EXPECT_EQ(client.right, 320);
    EXPECT_EQ(client.bottom, 200);
    EXPECT_TRUE(IsWindowVisible(shown.Handle()));

    HostWindow hidden(100, 80, false);
    EXPECT_FALSE(IsWindowVisible(hidden.Handle()));
}

TEST(GuiFixture, PumpUntilSeesPostedMessagesAndGivesUpAtItsLimit) {
    HostWindow host(100, 100, false);
    SolidWindow child(host.Handle(), {0, 0, 50, 50}, RGB(0, 0, 0));
    PostMessageA(child.Handle(), kCountMessage, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return child.counted == 1; }));

    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(PumpUntil([] { return false; }, 200));
    const ULONGLONG spent = GetTickCount64() - start;
    EXPECT_GE(spent, 190u);
    EXPECT_LT(spent, 3000u);
}

TEST(GuiFixture, FakeAnswersRecordEveryBoxAndAnswerFromTheQueueThenNeutrally) {
    FakeModalAnswers answers;
    answers.boxAnswers = {IDNO};
    EXPECT_EQ(ShowMessageBox(nullptr, "Save changes?", "TallowEdit", MB_YESNOCANCEL), IDNO);
    EXPECT_EQ(ShowMessageBox(nullptr, "Save changes?", "TallowEdit", MB_YESNOCANCEL), IDCANCEL);
    EXPECT_EQ(ShowMessageBox(nullptr, "Replace it?", "TallowEdit", MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(ShowMessageBox(nullptr, "Done.", "TallowEdit", MB_OK), IDOK);
    ASSERT_EQ(answers.boxes.size(), 4u);
    EXPECT_EQ(answers.boxes[0].text, "Save changes?");
    EXPECT_EQ(answers.boxes[2].flags, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));

    answers.fileAnswers = {std::string("C:\\a.cod")};
    FileDialogRequest request;
    request.title = "Open";
    EXPECT_EQ(CurrentModalAnswers()->FileDialog(request, false), std::optional<std::string>("C:\\a.cod"));
    EXPECT_EQ(CurrentModalAnswers()->FileDialog(request, true), std::nullopt);
    EXPECT_EQ(answers.fileRequestsSave, (std::vector<bool>{false, true}));
    EXPECT_EQ(CurrentModalAnswers()->NameDialog("Dialog1"), std::nullopt);
    EXPECT_EQ(answers.nameRequests, std::vector<std::string>{"Dialog1"});
}

TEST(GuiFixture, FakeAnswersPutThePreviousAnswersBack) {
    FakeModalAnswers outer;
    {
        FakeModalAnswers inner;
        ShowMessageBox(nullptr, "inner", "", MB_OK);
        EXPECT_EQ(inner.boxes.size(), 1u);
    }
    EXPECT_EQ(CurrentModalAnswers(), &outer);
    ShowMessageBox(nullptr, "outer", "", MB_OK);
    ASSERT_EQ(outer.boxes.size(), 1u);
    EXPECT_EQ(outer.boxes[0].text, "outer");
}

TEST(GuiFixture, AnExceptionStopsAtTheWindowProcedureAsAnErrorBox) {
    FakeModalAnswers answers;
    HostWindow host(100, 100, false);
    SolidWindow child(host.Handle(), {0, 0, 50, 50}, RGB(0, 0, 0));
    EXPECT_EQ(SendMessageA(child.Handle(), kThrowMessage, 0, 0), 0);
    ASSERT_EQ(answers.boxes.size(), 1u);
    EXPECT_EQ(answers.boxes[0].text, "thrown inside the window");
    EXPECT_EQ(answers.boxes[0].caption, "Error");
    // The window lives on and still answers.
    SendMessageA(child.Handle(), kCountMessage, 0, 0);
    EXPECT_EQ(child.counted, 1);
}

// The colour of the pixel at (x, y) from the top left of a 24-bit bottom-up BMP.
COLORREF PixelAt(const std::vector<unsigned char>& bmp, int x, int y) {
    BITMAPFILEHEADER file;
    BITMAPINFOHEADER info;
    std::memcpy(&file, bmp.data(), sizeof file);
    std::memcpy(&info, bmp.data() + sizeof file, sizeof info);
    const size_t stride = (static_cast<size_t>(info.biWidth) * 3 + 3) & ~size_t{3};
    const size_t at = file.bfOffBits + stride * static_cast<size_t>(info.biHeight - 1 - y) + 3 * x;
    return RGB(bmp[at + 2], bmp[at + 1], bmp[at]);
}

class GuiScreenshot : public testing::TestWithParam<CaptureSource> {};

TEST_P(GuiScreenshot, HoldsTheFrameAndWhatTheChildWindowsDrew) {
    const CaptureSource source = GetParam();
    HostWindow host(240, 160, true, "Screenshot");
    SolidWindow red(host.Handle(), {0, 0, 120, 160}, RGB(200, 30, 30));
    SolidWindow blue(host.Handle(), {120, 0, 240, 160}, RGB(30, 30, 200));
    PumpFor(100);

    const auto bmp = CaptureWindowBmp(host.Handle(), source);
    ASSERT_GT(bmp.size(), sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    BITMAPINFOHEADER info;
    std::memcpy(&info, bmp.data() + sizeof(BITMAPFILEHEADER), sizeof info);
    RECT frame;
    GetWindowRect(host.Handle(), &frame);
    EXPECT_EQ(info.biWidth, frame.right - frame.left);
    EXPECT_EQ(info.biHeight, frame.bottom - frame.top);
    EXPECT_EQ(info.biBitCount, 24);

    // The client area's top left, in the window's own coordinates.
    POINT origin{0, 0};
    ClientToScreen(host.Handle(), &origin);
    const int left = origin.x - frame.left;
    const int top = origin.y - frame.top;
    EXPECT_EQ(PixelAt(bmp, left + 60, top + 80), RGB(200, 30, 30));
    EXPECT_EQ(PixelAt(bmp, left + 180, top + 80), RGB(30, 30, 200));

    // A shown window is saved as the screen shows it.
    if (source == CaptureSource::Screen && ScreenshotFolder()) {
        auto path = SaveScreenshot(host.Handle(), "gui-fixture-host");
        ASSERT_TRUE(path);
        std::ifstream written(*path, std::ios::binary);
        std::vector<unsigned char> back((std::istreambuf_iterator<char>(written)), {});
        EXPECT_EQ(back, bmp);
    }
}

INSTANTIATE_TEST_SUITE_P(BothSources, GuiScreenshot,
                         testing::Values(CaptureSource::Print, CaptureSource::Screen), [](const auto& info) {
                             return std::string(info.param == CaptureSource::Print ? "Print" : "Screen");
                         });

}  // namespace
}  // namespace tallow::ide::win32::test
