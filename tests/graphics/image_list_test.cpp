// The image list without a display: name lookups, pattern geometry and its side effects,
// draws that must do nothing, and the shared colour table.
#include "graphics/image_list.hpp"

#include <gtest/gtest.h>

#include "graphics/picture_fixtures.hpp"

namespace vek {
namespace {

using testing::make24BitPicture;
using testing::make8BitPicture;

TPictureCollectionItem& addPicture(TPictureCollection& items, const std::string& name, TDIB picture,
                                   int pw = 0, int ph = 0) {
    auto& item = items.Add();
    item.SetName(name);
    item.Picture.Assign(picture);
    item.PatternWidth = pw;
    item.PatternHeight = ph;
    return item;
}

TDIB blank(int w, int h) {
    return make8BitPicture(w, h, [](int, int) { return std::uint8_t{0}; });
}

TEST(PictureCollection, FindIgnoresCaseAndFollowsRenames) {
    TDXImageList list(nullptr);
    auto& star = addPicture(list.Items(), "Star", blank(4, 4));
    auto& boss = addPicture(list.Items(), "Enemy-boss", blank(4, 4));
    EXPECT_EQ(&list.Items().Find("star"), &star);
    EXPECT_EQ(&list.Items().Find("ENEMY-BOSS"), &boss);
    boss.SetName("Star");  // the most recently named wins
    EXPECT_EQ(&list.Items().Find("Star"), &boss);
    boss.SetName("Boss");
    EXPECT_EQ(&list.Items().Find("Star"), &star);
    EXPECT_EQ(&list.Items().Find("boss"), &boss);
    EXPECT_EQ(boss.PictureCollection(), &list.Items());
}

TEST(PictureCollection, FindRaisesImageNotFound) {
    TDXImageList list(nullptr);
    addPicture(list.Items(), "Star", blank(4, 4));
    try {
        list.Items().Find("Ghost");
        FAIL() << "a missing name must raise";
    } catch (const EPictureCollectionError& e) {
        EXPECT_STREQ(e.what(), "Image 'Ghost' not found");
        EXPECT_STREQ(e.className(), "EPictureCollectionError");
    }
}

TEST(PictureCollection, InitializeForADisplayThatIsNotInitializedRaises) {
    TDXImageList list(nullptr);
    TDXDraw display(nullptr);
    try {
        list.Items().Initialize(display);
        FAIL() << "must raise";
    } catch (const EPictureCollectionError& e) {
        EXPECT_STREQ(e.what(), "TPictureCollection cannot be initialized");
    }
}

TEST(PatternGeometry, CountsBeforeInitialisation) {
    TDXImageList list(nullptr);
    auto& star = addPicture(list.Items(), "Star", blank(128, 64), 16, 16);
    EXPECT_EQ(star.PatternCount(), 32);
    auto& boss = addPicture(list.Items(), "Enemy-boss", blank(179, 56));
    EXPECT_EQ(boss.Width(), 179);
    EXPECT_EQ(boss.PatternWidth, 0);
    EXPECT_EQ(boss.PatternCount(), 1);
    EXPECT_EQ(boss.PatternWidth, 179);  // the side effect
    EXPECT_EQ(boss.PatternHeight, 56);
    auto& odd = addPicture(list.Items(), "Odd", blank(37, 16), 16, 16);
    odd.SkipWidth = 4;
    EXPECT_EQ(odd.PatternCount(), 1);  // 37 = 20 + 17, and 17 is not 16
}

TEST(PatternGeometry, SlotsCountWholeStepsAndAnExactRemainder) {
    EXPECT_EQ(patternSlots(37, 16, 4), 1);
    EXPECT_EQ(patternSlots(36, 16, 4), 2);  // 36 = 20 + 16
    EXPECT_EQ(patternSlots(128, 16, 0), 8);
    EXPECT_EQ(patternSlots(15, 16, 0), 0);
    EXPECT_EQ(patternSlots(0, 0, 0), 0);  // an empty picture, not a division by zero
    EXPECT_EQ(patternSlots(40, 4, -4), 0);
}

TEST(PatternGeometry, TilesAreWholeStepsOfAtLeast2048) {
    EXPECT_EQ(pictureTileLength(100, 41), 2100);
    EXPECT_EQ(pictureTileLength(16, 8), 128);
    EXPECT_EQ(pictureTileLength(2048, 3), 2048);
    EXPECT_EQ(pictureTileLength(3000, 2), 3000);
    EXPECT_EQ(pictureTileLength(20, 0), 0);
}

TEST(PatternGeometry, EmptyPictureCountsNoPatterns) {
    TDXImageList list(nullptr);
    auto& item = list.Items().Add();
    EXPECT_EQ(item.PatternCount(), 0);
    EXPECT_EQ(item.PatternRects(0), TRect{});
    EXPECT_EQ(item.PatternSurfaces(0), nullptr);
}

TEST(PictureItem, DrawsOfAnItemThatIsNotInitializedDoNothing) {
    TDXImageList list(nullptr);
    auto& star = addPicture(list.Items(), "Star", blank(32, 16), 16, 16);
    TDirectDrawSurface dest(nullptr);
    star.Draw(&dest, 0, 0, 0);
    star.StretchDraw(&dest, TRect{0, 0, 16, 16}, 0);
    star.DrawWaveX(&dest, 0, 0, 16, 16, 0, 2, 32, 0);
    star.DrawRotate(nullptr, 0, 0, 16, 16, 0, 0.5, 0.5, 0);
    EXPECT_FALSE(star.Initialized());
    EXPECT_EQ(dest.IDDSurface(), nullptr);
}

TEST(PictureItem, AssignCopiesEverythingButTheName) {
    TDXImageList list(nullptr);
    auto& a = addPicture(list.Items(), "A", blank(48, 32), 16, 8);
    a.SkipWidth = 1, a.SkipHeight = 2, a.SystemMemory = true, a.Transparent = false;
    a.SetTransparentColor(clFuchsia);
    auto& b = list.Items().Add();
    b.SetName("B");
    b.Assign(a);
    EXPECT_EQ(b.Name(), "B");
    EXPECT_EQ(b.PatternWidth, 16);
    EXPECT_EQ(b.PatternHeight, 8);
    EXPECT_EQ(b.SkipWidth, 1);
    EXPECT_EQ(b.SkipHeight, 2);
    EXPECT_TRUE(b.SystemMemory);
    EXPECT_FALSE(b.Transparent);
    EXPECT_EQ(b.TransparentColor(), clFuchsia);
    EXPECT_EQ(b.Picture.Width(), 48);
}

TEST(PictureCollection, AssignCopiesItemsWithNamesButNotTheColourTable) {
    TDXImageList from(nullptr), to(nullptr);
    addPicture(from.Items(), "Star", blank(16, 16));
    addPicture(from.Items(), "Logo", blank(20, 10));
    addPicture(to.Items(), "Old", blank(2, 2));
    from.Items().ColorTable[9] = TRGBQuad{1, 2, 3, 0};
    to.Items().ColorTable[9] = TRGBQuad{4, 5, 6, 0};
    to.SetItems(from.Items());
    ASSERT_EQ(to.Items().Count(), 2);
    EXPECT_EQ(to.Items().Find("logo").Picture.Width(), 20);
    EXPECT_THROW(to.Items().Find("Old"), EPictureCollectionError);
    EXPECT_EQ(to.Items().ColorTable[9], (TRGBQuad{4, 5, 6, 0}));  // only the items are copied
}

TRGBQuad rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return TRGBQuad{b, g, r, 0};
}

TEST(ColorTable, FixedColoursFirst) {
    TColorTableBuilder builder;
    EXPECT_EQ(builder.Count(), 16);
    EXPECT_EQ(builder.Table()[1], rgb(128, 0, 0));
    EXPECT_EQ(builder.Table()[7], rgb(192, 192, 192));
    EXPECT_EQ(builder.Table()[248], rgb(128, 128, 128));
    EXPECT_EQ(builder.Table()[253], rgb(255, 0, 255));
    EXPECT_EQ(builder.Table()[255], rgb(255, 255, 255));
    EXPECT_EQ(builder.Table()[8], TRGBQuad{});
}

TEST(ColorTable, NoDuplicatesAndStopsAtTheLastFreeEntry) {
    TColorTableBuilder builder;
    builder.Add(rgb(255, 255, 255));
    builder.Add(rgb(1, 2, 3));
    builder.Add(rgb(1, 2, 3));
    EXPECT_EQ(builder.Count(), 17);
    EXPECT_EQ(builder.Table()[8], rgb(1, 2, 3));
    for (int i = 0; i < 300; ++i)
        builder.Add(rgb(10, static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8)));
    EXPECT_EQ(builder.Count(), 256);
    EXPECT_EQ(builder.Table()[247], rgb(10, 238, 0));  // 239 more fill 9 … 247
    EXPECT_EQ(builder.Table()[248], rgb(128, 128, 128));
}

TEST(ColorTable, MakeColorTableTakesColoursInOrderOfFirstAppearance) {
    TDXImageList list(nullptr);
    const auto pixel = [](int, int) { return std::uint8_t{0}; };
    // Black and white are fixed colours; the rest of both tables is black.
    addPicture(list.Items(), "One",
               make8BitPicture(2, 2, pixel, {rgb(0, 0, 0), rgb(255, 255, 255), rgb(9, 9, 9)}));
    addPicture(list.Items(), "Deep", make24BitPicture(2, 2, 0x123456));
    list.Items().Add();  // no picture
    addPicture(list.Items(), "Two", make8BitPicture(2, 2, pixel, {rgb(7, 7, 7), rgb(9, 9, 9), rgb(5, 5, 5)}));
    list.Items().MakeColorTable();
    const auto& t = list.Items().ColorTable;
    EXPECT_EQ(t[8], rgb(9, 9, 9));
    EXPECT_EQ(t[9], rgb(7, 7, 7));
    EXPECT_EQ(t[10], rgb(5, 5, 5));
    EXPECT_EQ(t[11], TRGBQuad{});
    EXPECT_EQ(t[255], rgb(255, 255, 255));
}

TEST(ColorTable, StoredPropertyIsExactly1024RawBytes) {
    TDXImageList list(nullptr);
    list.Items().ColorTable[3] = rgb(1, 2, 3);
    TMemoryStream out;
    list.Items().WriteColorTable(out);
    ASSERT_EQ(out.bytes().size(), 1024u);
    EXPECT_EQ(out.bytes()[12], 3);  // blue first
    TDXImageList back(nullptr);
    out.Seek(0, SeekOrigin::soBeginning);
    back.Items().ReadColorTable(out);
    EXPECT_EQ(back.Items().ColorTable[3], rgb(1, 2, 3));
    TMemoryStream shortStream(std::vector<std::uint8_t>(1000));
    EXPECT_THROW(back.Items().ReadColorTable(shortStream), EReadError);
}

}  // namespace
}  // namespace vek
