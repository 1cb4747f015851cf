// The sprite tree and engine: draw order, the move, draw and collision walks, deferred
// freeing, counters, groups and selection.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "graphics/direct_draw.hpp"
#include "platform/headless/headless_platform.hpp"
#include "runtime/rounding.hpp"
#include "sprite/sprite.hpp"

namespace vek {
namespace {

using Log = std::vector<std::string>;

// A sprite that notes its destruction.
class Noted : public TSprite {
public:
    Noted(TSprite* parent, std::string name, Log* log) : TSprite(parent), log_(log) {
        Caption = std::move(name);
    }
    ~Noted() override { log_->push_back("free " + Caption); }

private:
    Log* log_;
};

TSprite& add(TSprite& parent, const std::string& name, double x = 0, double y = 0, int w = 10, int h = 10) {
    TSprite& s = TSprite::Create<TSprite>(parent);
    s.Caption = name, s.X = x, s.Y = y, s.Width = w, s.Height = h;
    return s;
}

std::string captions(const TSpriteList& list) {
    std::string out;
    for (const TSprite* s : list) out += s->Caption;
    return out;
}

std::string children(const TSprite& parent) {
    std::string out;
    for (int i = 0; i < parent.ChildCount(); ++i) out += parent.Children(i).Caption;
    return out;
}

TEST(SpriteTree, DrawListKeepsZOrderAndPutsNewcomersBeneathEqualZ) {
    TSpriteEngine engine;
    TSprite& a = add(engine, "A");
    TSprite& b = add(engine, "B");
    TSprite& c = add(engine, "C");
    EXPECT_EQ(captions(engine.DrawList()), "CBA");
    struct Step {
        TSprite* sprite;
        int z;
        const char* order;
    };
    const Step steps[] = {
        {&a, 0, "CBA"},   // same value: the sprite keeps its place
        {&c, 2, "BAC"},   //
        {&b, 2, "ABC"},   // before the sibling that already has 2
        {&a, -1, "ABC"},  //
        {&c, 2, "ABC"},   //
        {&c, 0, "ACB"},
    };
    for (const Step& step : steps) {
        step.sprite->SetZ(step.z);
        EXPECT_EQ(captions(engine.DrawList()), step.order) << step.sprite->Caption << " to " << step.z;
    }
    add(engine, "D");
    EXPECT_EQ(captions(engine.DrawList()), "ADCB");
    EXPECT_EQ(children(engine), "ABCD");  // attach order never changes
}

TEST(SpriteTree, MoveWalksParentsFirstAndLeavesSpritesMadeDuringTheWalkForTheNextMove) {
    TSpriteEngine engine;
    Log log;
    auto note = [&](TSprite& s, int& count) { log.push_back(s.Caption + std::to_string(count)); };
    TSprite& player = add(engine, "P");
    TSprite& wing = add(player, "W");
    TSprite& enemy = add(engine, "E");
    for (TSprite* s : {&player, &wing, &enemy}) s->OnMove = note;
    player.OnMove = [&](TSprite& s, int& count) {
        note(s, count);
        count = 99;  // a handler's change stays with the handler
        if (engine.ChildCount() < 3) add(engine, "S").OnMove = note;
    };
    engine.Move(16);
    EXPECT_EQ(log, (Log{"P16", "W16", "E16"}));
    log.clear();
    engine.Move(16);
    EXPECT_EQ(log, (Log{"P16", "W16", "E16", "S16"}));
    log.clear();
    player.Moved = false;  // the whole subtree stands still
    engine.Move(16);
    EXPECT_EQ(log, (Log{"E16", "S16"}));
}

// A surface of the headless device for the engine to cull against.
class EngineWithSurface : public ::testing::Test {
protected:
    void SetUp() override {
        surface.SetSize(640, 480);
        engine.SetSurface(&surface);
    }
    platform::headless::HeadlessPlatform backend;
    TDirectDraw draw;
    TDirectDrawSurface surface{&draw};
    TSpriteEngine engine;
};

TEST_F(EngineWithSurface, DrawCullsBySurfaceRectAndSkipsHiddenSubtrees) {
    EXPECT_EQ(engine.SurfaceRect(), (TRect{0, 0, 640, 480}));
    EXPECT_EQ(engine.Width, 640);
    Log drawn;
    auto note = [&](TSprite& s) { drawn.push_back(s.Caption); };
    TSprite& back = add(engine, "back", 0, 0);
    back.SetZ(-1);
    TSprite& ship = add(engine, "ship", 100, 100);
    TSprite& flame = add(ship, "flame", -10, 0);  // world position 90, 100
    TSprite& edge = add(engine, "edge", 640, 0);  // touches the right edge only
    TSprite& hidden = add(engine, "hidden", 5, 5);
    add(hidden, "under", 0, 0).OnDraw = note;
    hidden.Visible = false;
    for (TSprite* s : {&back, &ship, &flame, &edge, &hidden}) s->OnDraw = note;
    engine.Draw();
    EXPECT_EQ(drawn, (Log{"back", "ship", "flame"}));
    EXPECT_EQ(engine.DrawCount(), 3);
    EXPECT_EQ(flame.GetBoundsRect(), (TRect{90, 100, 100, 110}));
    engine.SetSurface(nullptr);  // the rectangle stays
    EXPECT_EQ(engine.Surface(), nullptr);
    EXPECT_EQ(engine.SurfaceRect(), (TRect{0, 0, 640, 480}));
}

TEST(SpriteTree, WorldPositionsAddUpToTheRootAndRoundTiesToEven) {
    TSpriteEngine engine;
    engine.X = 1.25;
    TSprite& parent = add(engine, "P", 10.25);
    TSprite& child = add(parent, "C", 0.5, -2.5);
    EXPECT_DOUBLE_EQ(child.WorldX(), 12.0);
    EXPECT_EQ(child.GetBoundsRect(), (TRect{12, -2, 22, 8}));
    child.X = 1.0;  // 12.5
    EXPECT_EQ(child.GetBoundsRect().left, 12);
    child.X = 2.0;  // 13.5
    EXPECT_EQ(child.GetBoundsRect().left, 14);
}

// The collision walk: a shot overlapping two enemies, each maybe with a child.
class CollisionWalk : public ::testing::Test {
protected:
    void SetUp() override {
        shot.OnCollision = [this](TSprite& other, bool& done) {
            hits.push_back(other.Caption);
            if (markShotDead) shot.Dead();
            if (setDone) done = true;
        };
    }
    TSpriteEngine engine;
    TSprite& shot = add(engine, "shot", 0, 0);
    TSprite& e1 = add(engine, "e1", 5, 0);
    TSprite& e1child = add(e1, "e1child", 0, 0);
    TSprite& e2 = add(engine, "e2", 0, 5);
    Log hits;
    bool markShotDead = false;
    bool setDone = false;
};

TEST_F(CollisionWalk, OneShotHitsBothEnemiesEvenAfterMarkingItselfDead) {
    markShotDead = true;
    EXPECT_EQ(shot.Collision(), 2);
    EXPECT_EQ(hits, (Log{"e1", "e2"}));  // e1's child is not visited once the shot is dead
    EXPECT_EQ(engine.CollisionCount(), 2);
    EXPECT_EQ(engine.CollisionSprite(), &shot);
    EXPECT_EQ(engine.CollisionRect(), (TRect{0, 0, 10, 10}));
    hits.clear();
    EXPECT_EQ(shot.Collision(), 0);  // a dead sprite tests nothing
    EXPECT_TRUE(hits.empty());
}

TEST_F(CollisionWalk, DoneStopsOnlyTheDescentIntoChildren) {
    setDone = true;
    EXPECT_EQ(shot.Collision(), 2);
    EXPECT_EQ(hits, (Log{"e1", "e2"}));
    hits.clear();
    setDone = false;
    EXPECT_EQ(shot.Collision(), 3);
    EXPECT_EQ(hits, (Log{"e1", "e1child", "e2"}));
}

TEST_F(CollisionWalk, DeadSpritesAreStillHitAndUncollisionedSubtreesAreSkipped) {
    e2.Dead();
    e1.Collisioned = false;
    EXPECT_EQ(shot.Collision(), 1);
    EXPECT_EQ(hits, (Log{"e2"}));
    shot.Collisioned = false;
    EXPECT_EQ(shot.Collision(), 0);
}

TEST_F(CollisionWalk, ASpriteIsNotTestedAgainstItselfButItsChildrenAre) {
    TSprite& own = add(shot, "own", 0, 0);
    own.Collisioned = true;
    EXPECT_EQ(shot.Collision(), 4);
    EXPECT_EQ(hits, (Log{"own", "e1", "e1child", "e2"}));
    TSprite lonely(nullptr);
    lonely.Width = lonely.Height = 10;
    EXPECT_EQ(lonely.Collision(), 0);  // no engine
}

TEST(SpriteTree, EngineFreesTheLastMarkedFirstAndChildrenLeaveTheDeadList) {
    Log log;
    TSpriteEngine engine;
    auto& a = TSprite::Create<Noted>(engine, "A", &log);
    auto& b = TSprite::Create<Noted>(engine, "B", &log);
    auto& c = TSprite::Create<Noted>(a, "C", &log);
    auto& d = TSprite::Create<Noted>(engine, "D", &log);
    c.Dead();
    b.Dead();
    a.Dead();
    b.Dead();  // listed once
    EXPECT_EQ(captions(engine.DeadList()), "CBA");
    EXPECT_TRUE(a.IsDead());
    EXPECT_EQ(engine.AllCount(), 4);
    engine.Dead();
    EXPECT_EQ(log, (Log{"free A", "free C", "free B"}));
    EXPECT_TRUE(engine.DeadList().empty());
    EXPECT_EQ(engine.AllCount(), 1);
    EXPECT_EQ(&engine.Children(0), &d);
}

TEST(SpriteTree, DestroyingTheEngineWhileSpritesAreMarkedFreesEachOnce) {
    Log log;
    auto engine = std::make_unique<TSpriteEngine>();
    auto& a = TSprite::Create<Noted>(*engine, "A", &log);
    auto& b = TSprite::Create<Noted>(a, "B", &log);
    TSprite::Create<Noted>(*engine, "C", &log).Dead();
    b.Dead();
    a.SetSelected(true);
    b.SetGroupNumber(3);
    engine.reset();
    EXPECT_EQ(log, (Log{"free C", "free A", "free B"}));
}

TEST(SpriteTree, AllCountFollowsAttachAndDestroyAnywhereInTheTree) {
    TSpriteEngine engine;
    TSprite& a = add(engine, "A");
    TSprite& b = add(a, "B");
    add(b, "C");
    add(engine, "D");
    EXPECT_EQ(engine.AllCount(), 4);
    EXPECT_EQ(b.Engine(), &engine);
    a.Clear();
    EXPECT_EQ(engine.AllCount(), 2);
    EXPECT_EQ(a.ChildCount(), 0);
    TSprite loose(nullptr);  // outside any tree: counts nowhere
    add(loose, "E");
    EXPECT_EQ(engine.AllCount(), 2);
    EXPECT_EQ(loose.Children(0).Engine(), nullptr);
    engine.Clear();
    EXPECT_EQ(engine.AllCount(), 0);
}

TEST(SpriteTree, ChildIndexErrors) {
    TSpriteEngine engine;
    try {
        engine.Children(0);
        FAIL();
    } catch (const ESpriteError& e) {
        EXPECT_STREQ(e.what(), "Index of the list exceeds the range. (0)");
    }
    add(engine, "A");
    for (int index : {-1, 1}) {
        try {
            engine.Children(index);
            FAIL();
        } catch (const EListError& e) {
            EXPECT_EQ(std::string(e.what()), "List index out of bounds (" + std::to_string(index) + ")");
        }
    }
}

TEST(SpriteTree, GroupsAndSelection) {
    TSpriteEngine engine;
    EXPECT_EQ(engine.GroupCount(), 10);
    TSprite& a = add(engine, "A");
    TSprite& b = add(engine, "B");
    a.SetGroupNumber(2);
    b.SetGroupNumber(2);
    a.SetGroupNumber(5);
    EXPECT_EQ(captions(*engine.GetGroup(2)), "B");
    EXPECT_EQ(captions(*engine.GetGroup(5)), "A");
    EXPECT_EQ(engine.GetGroup(10), nullptr);
    a.SetSelected(true);
    b.SetSelected(true);
    EXPECT_TRUE(engine.AnySelected());
    engine.DeselectGroup(2);
    EXPECT_EQ(captions(engine.SelectedList()), "A");
    engine.SetGroupCount(3);  // group 5 goes, its members deselected
    EXPECT_FALSE(a.Selected());
    EXPECT_FALSE(engine.AnySelected());
    a.SetGroupNumber(-1);  // names a missing group: nothing to leave
    EXPECT_EQ(a.GroupNumber(), -1);
    b.SetSelected(true);
    engine.DeselectAll();
    EXPECT_TRUE(engine.SelectedList().empty());
}

// Assign copies Selected and GroupNumber as plain values; the lists still let go of a
// sprite whose flags disagree with them when it is destroyed.
TEST(SpriteTree, AssignCopiesPlainFieldsAndLeavesNoDanglingListEntry) {
    TSpriteEngine engine;
    TSprite& source = add(engine, "S", 3, 4, 7, 8);
    source.SetZ(9);
    source.Visible = false;
    TSprite& target = add(engine, "T");
    target.SetSelected(true);
    target.SetGroupNumber(1);
    target.Assign(source);
    EXPECT_EQ(target.Z(), 9);
    EXPECT_EQ(captions(engine.DrawList()), "TS");  // no re-ordering
    EXPECT_FALSE(target.Visible);
    EXPECT_EQ(target.Width, 7);
    EXPECT_FALSE(target.Selected());
    EXPECT_EQ(target.GroupNumber(), -1);
    delete &target;  // a collection item's way of freeing its sprite
    EXPECT_TRUE(engine.SelectedList().empty());
    EXPECT_TRUE(engine.GetGroup(1)->empty());
    EXPECT_EQ(captions(engine.DrawList()), "S");
}

class Enemy : public TSprite {
public:
    using TSprite::TSprite;
};

TEST(SpriteTree, ClassReferencesMakeSpritesOfTheirClass) {
    TSpriteEngine engine;
    const TSpriteClass kind = TSpriteClass::Of<Enemy>();
    TSprite& made = kind.Create(engine);
    EXPECT_NE(dynamic_cast<Enemy*>(&made), nullptr);
    EXPECT_EQ(made.Parent(), &engine);
    EXPECT_EQ(engine.AllCount(), 1);
    EXPECT_TRUE(kind == TSpriteClass::Of<Enemy>());
    EXPECT_FALSE(kind == TSpriteClass::Of<TSprite>());
}

}  // namespace
}  // namespace vek
