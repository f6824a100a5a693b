// The template codec: every field round-trips, and every template cut short
// or overrunning its bytes is refused without reading past them.
#include "codec/dialog_template.h"

#include <gtest/gtest.h>

namespace tallow::codec {
namespace {

DialogTemplate SampleDialog() {
    DialogTemplate dialog;
    dialog.style = 0x80C800C0 | kDsSetFont;
    dialog.exStyle = 0x100;
    dialog.x = 10;
    dialog.y = -20;
    dialog.cx = 200;
    dialog.cy = 120;
    dialog.title = u"Caption";
    dialog.pointSize = 8;
    dialog.typeface = u"MS Sans Serif";
    DialogItem ok;
    ok.style = 0x50010001;
    ok.x = 5;
    ok.y = 100;
    ok.cx = 50;
    ok.cy = 14;
    ok.id = 1;
    ok.windowClass = NameOrOrdinal::Named(u"BUTTON");
    ok.title = NameOrOrdinal::Named(u"OK");
    DialogItem edit;
    edit.style = 0x50810080;
    edit.exStyle = 0x200;
    edit.id = 101;
    edit.windowClass = NameOrOrdinal::Number(0x81);
    edit.title = NameOrOrdinal::Named(u"");
    edit.creationData = {1, 2, 3};
    DialogItem icon;
    icon.id = 0xFFFF;
    icon.windowClass = NameOrOrdinal::Number(0x82);
    icon.title = NameOrOrdinal::Number(7);
    dialog.items = {ok, edit, icon};
    return dialog;
}

TEST(DialogTemplate, RoundTripsEveryField) {
    DialogTemplate dialog = SampleDialog();
    dialog.menu = NameOrOrdinal::Named(u"MAINMENU");
    dialog.windowClass = NameOrOrdinal::Number(0x8002);
    std::vector<uint8_t> bytes = WriteDialogTemplate(dialog);
    DialogTemplate back;
    ASSERT_TRUE(ReadDialogTemplate(bytes, back));
    EXPECT_EQ(back, dialog);
    EXPECT_EQ(WriteDialogTemplate(back), bytes);
}

TEST(DialogTemplate, HeaderLayoutAndItemAlignment) {
    DialogTemplate dialog;
    dialog.style = 0x10;  // no DS_SETFONT: no font fields
    dialog.pointSize = 9;
    dialog.typeface = u"ignored";
    dialog.title = u"A";
    DialogItem item;
    item.windowClass = NameOrOrdinal::Number(0x80);
    dialog.items = {item};
    std::vector<uint8_t> bytes = WriteDialogTemplate(dialog);
    // 18 fixed bytes, menu 2, class 2, "A\0" 4 = 26, padded to 28.
    ASSERT_EQ(bytes.size(), 28u + 18 + 4 + 2 + 2);
    EXPECT_EQ(bytes[8], 1);  // item count
    EXPECT_EQ(bytes[26], 0);
    EXPECT_EQ(bytes[27], 0);
    EXPECT_EQ(bytes[28 + 18], 0xFF);  // the item's class ordinal mark
    DialogTemplate back;
    ASSERT_TRUE(ReadDialogTemplate(bytes, back));
    EXPECT_EQ(back.pointSize, 0);
    EXPECT_TRUE(back.typeface.empty());
}

TEST(DialogTemplate, NoItemsAndTrailingPadding) {
    DialogTemplate dialog;
    dialog.style = kDsSetFont;
    dialog.pointSize = 8;
    dialog.typeface = u"X";
    std::vector<uint8_t> bytes = WriteDialogTemplate(dialog);
    bytes.resize(bytes.size() + 3, 0);
    DialogTemplate back;
    ASSERT_TRUE(ReadDialogTemplate(bytes, back));
    EXPECT_EQ(back, dialog);
}

// Every proper prefix of a valid template is refused: the cut may fall in the
// header, a string, the font, the padding, an item or its creation data.
TEST(DialogTemplate, RefusesEveryTruncation) {
    std::vector<uint8_t> bytes = WriteDialogTemplate(SampleDialog());
    for (size_t size = 0; size < bytes.size(); ++size) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + size);  // exact size for ASan
        DialogTemplate back;
        EXPECT_FALSE(ReadDialogTemplate(cut, back)) << "cut at " << size;
    }
}

TEST(DialogTemplate, RefusesStringWithoutTerminator) {
    DialogTemplate dialog;
    dialog.title = u"Title";
    std::vector<uint8_t> bytes = WriteDialogTemplate(dialog);
    bytes.erase(bytes.end() - 2, bytes.end());  // drop the title's zero unit
    DialogTemplate back;
    EXPECT_FALSE(ReadDialogTemplate(bytes, back));
}

TEST(DialogTemplate, RefusesItemCountBeyondTheBytes) {
    DialogTemplate dialog = SampleDialog();
    std::vector<uint8_t> bytes = WriteDialogTemplate(dialog);
    DialogTemplate back;
    bytes[8] = 4;  // one item more than written
    EXPECT_FALSE(ReadDialogTemplate(bytes, back));
    bytes[8] = 0xFF;
    bytes[9] = 0xFF;
    EXPECT_FALSE(ReadDialogTemplate(bytes, back));
}

TEST(DialogTemplate, RefusesCreationDataPastTheEnd) {
    DialogTemplate dialog;
    DialogItem item;
    item.creationData = {9, 9};
    dialog.items = {item};
    std::vector<uint8_t> bytes = WriteDialogTemplate(dialog);
    bytes[bytes.size() - 4] = 3;  // the size word claims one byte more
    DialogTemplate back;
    EXPECT_FALSE(ReadDialogTemplate(bytes, back));
}

TEST(DialogTemplate, EightBitTextConversions) {
    std::string text = "A\xE9\xFF";
    std::u16string wide = WidenBytes(text);
    ASSERT_EQ(wide.size(), 3u);
    EXPECT_EQ(wide[1], 0xE9);
    EXPECT_EQ(wide[2], 0xFF);
    EXPECT_EQ(NarrowUnits(wide), text);
    EXPECT_EQ(NarrowUnits(u"\u0141"), "\x41");  // only the low byte is kept
}

}  // namespace
}  // namespace tallow::codec
