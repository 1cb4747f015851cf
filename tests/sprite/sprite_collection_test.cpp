// Sprite definitions: unique names, kind changes, sprites freed by the tree first, and the
// stored form.
#include "sprite/sprite_collection.hpp"

#include <gtest/gtest.h>

#include "runtime/property_stream.hpp"
#include "sprite/background_sprite.hpp"
#include "sprite/sprite_engine.hpp"

namespace vek {
namespace {

class SpriteCollection : public ::testing::Test {
protected:
    TDXSpriteEngine component{nullptr};
    TSpriteCollection& items = component.Items();
};

TEST_F(SpriteCollection, RenamingToANameInUseRaisesAndKeepsTheName) {
    auto& a = items.Add();
    auto& b = items.Add();
    a.SetName("Ship");
    b.SetName("Rock");
    try {
        b.SetName("SHIP");
        FAIL();
    } catch (const ESpriteError& e) {
        EXPECT_STREQ(e.what(), "Item duplicate name \"SHIP\" error");
    }
    EXPECT_EQ(b.Name(), "Rock");
    a.SetName("ship");  // its own name in another case
    EXPECT_EQ(items.Find("SHIP"), &a);
}

TEST_F(SpriteCollection, KindChangesReplaceTheSpriteKeepingItsSettings) {
    auto& item = items.Add();
    EXPECT_EQ(component.Engine().AllCount(), 1);
    item.Sprite()->X = 12;
    item.SetOnMove([](TSprite& s, int&) { s.Tag = 7; });
    item.SetKindSprite(stBackgroundSprite);
    auto* background = dynamic_cast<TBackgroundSprite*>(item.Sprite());
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->X, 12);
    EXPECT_EQ(component.Engine().AllCount(), 1);
    component.Move(16);
    EXPECT_EQ(background->Tag, 7);
}

TEST_F(SpriteCollection, ASpriteFreedByTheTreeIsForgottenByItsItem) {
    auto& item = items.Add();
    item.SetKindSprite(stImageSprite);
    component.Engine().Clear();
    EXPECT_EQ(item.Sprite(), nullptr);
    items.Clear();  // nothing left to free twice
    EXPECT_EQ(component.Engine().AllCount(), 0);
}

TEST_F(SpriteCollection, StoredItemsReadBackAndUnknownPropertiesAreRefused) {
    auto& item = items.Add();
    item.SetName("Wall");
    item.SetKindSprite(stBackgroundSprite);
    static_cast<TBackgroundSprite*>(item.Sprite())->SetMapSize(2, 1);
    TPropertyWriter writer;
    items.WriteItems(writer);
    writer.WriteEnd();

    TDXSpriteEngine other(nullptr);
    TPropertyReader reader(writer.Bytes());
    ASSERT_TRUE(reader.NextProperty());
    other.Items().ReadItems(reader);
    ASSERT_EQ(other.Items().Count(), 1);
    auto* copy = dynamic_cast<TBackgroundSprite*>(other.Items().Items(0).Sprite());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->MapWidth(), 2);
    EXPECT_EQ(other.Items().Items(0).Name(), "Wall");

    TPropertyWriter bad;
    bad.WriteCollection("Items", 1);
    bad.WriteInteger("Speed", 3);
    bad.WriteEnd();
    bad.WriteEnd();
    TPropertyReader badReader(bad.Bytes());
    ASSERT_TRUE(badReader.NextProperty());
    EXPECT_THROW(other.Items().ReadItems(badReader), EPropertyError);
}

}  // namespace
}  // namespace vek
