// Name lookup of THashCollection: case, most recent name wins, renames and deletes.
#include "runtime/hash_collection.hpp"

#include <gtest/gtest.h>

namespace vek {
namespace {

class Named : public THashCollectionItem {
public:
    explicit Named(const std::string& name) { SetName(name); }
};

Named& add(THashCollection& c, const std::string& name) {
    return static_cast<Named&>(c.AddItem(std::make_unique<Named>(name)));
}

TEST(HashCollection, BucketsFollowLengthAndCharacters) {
    EXPECT_EQ(THashCollection::HashOf(""), 0);
    EXPECT_EQ(THashCollection::HashOf("a"), 16);
    // "Star" -> "star": 4*16 + 's' + 'a' = 64 + 115 + 97 = 276 mod 256 = 20.
    EXPECT_EQ(THashCollection::HashOf("Star"), 20);
    EXPECT_EQ(THashCollection::HashOf("STAR"), THashCollection::HashOf("star"));
}

TEST(HashCollection, FindIgnoresCaseAndTheLatestNameWins) {
    THashCollection c;
    auto& first = add(c, "Explosion");
    EXPECT_EQ(c.IndexOf("EXPLOSION"), &first);
    auto& second = add(c, "explosion");
    EXPECT_EQ(c.IndexOf("Explosion"), &second);
    EXPECT_EQ(c.IndexOf("missing"), nullptr);
}

TEST(HashCollection, RenamingRefilesTheItem) {
    THashCollection c;
    auto& a = add(c, "Logo");
    auto& b = add(c, "Star");
    a.SetName("Star");
    EXPECT_EQ(c.IndexOf("star"), &a);
    EXPECT_EQ(c.IndexOf("Logo"), nullptr);
    b.SetName("Star");
    EXPECT_EQ(c.IndexOf("star"), &b);
}

TEST(HashCollection, DeletingLowersLaterIndexesAndUnfilesTheItem) {
    THashCollection c;
    add(c, "A");
    add(c, "B");
    auto& third = add(c, "C");
    c.Delete(1);
    EXPECT_EQ(third.Index(), 1);
    EXPECT_EQ(c.IndexOf("B"), nullptr);
    EXPECT_EQ(c.IndexOf("c"), &third);
}

}  // namespace
}  // namespace vek
