// The sprite engine component on a display of the headless device: the display's notices
// give and take the surface, the per-frame calls, and the stored properties.
#include "sprite/sprite_engine.hpp"

#include <gtest/gtest.h>

#include "graphics/dxdraw.hpp"
#include "platform/headless/headless_platform.hpp"
#include "platform/toolkit/form.hpp"
#include "runtime/property_stream.hpp"
#include "sprite/sprite_collection.hpp"

namespace vek {
namespace {

// Finds the form's components by name, as the description reader does once all are read.
class FormNames : public TNameResolver {
public:
    explicit FormNames(TComponent& form) : form_(form) {}
    TComponent* FindComponent(std::string_view name) const override { return form_.FindComponent(name); }
    const THandlerTable& Handlers() const override { return handlers_; }

private:
    TComponent& form_;
    THandlerTable handlers_;
};

class SpriteEngineComponent : public ::testing::Test {
protected:
    void SetUp() override {
        display.SetName("DXDraw");
        display.SetBounds(0, 0, 640, 480);
        display.AutoSize = false;  // as the game stores it: resizes stick
        component.SetDXDraw(&display);
    }
    TSpriteEngine& engine() { return component.Engine(); }

    platform::headless::HeadlessPlatform backend;
    platform::TCustomForm form{nullptr};
    TDXDraw display{&form};
    TDXSpriteEngine component{&form};
};

TEST_F(SpriteEngineComponent, DisplayNoticesGiveAndTakeTheSurface) {
    EXPECT_EQ(engine().DXSpriteEngine(), &component);
    EXPECT_EQ(engine().Surface(), nullptr);
    display.Initialize();
    ASSERT_NE(display.Surface(), nullptr);
    EXPECT_EQ(engine().Surface(), display.Surface());
    EXPECT_EQ(engine().SurfaceRect(), (TRect{0, 0, 640, 480}));
    display.SetSurfaceSize(320, 240);  // a new size does not reach the rectangle
    EXPECT_EQ(engine().SurfaceRect(), (TRect{0, 0, 640, 480}));
    display.Finalize();
    EXPECT_EQ(engine().Surface(), nullptr);
    EXPECT_EQ(engine().SurfaceRect(), (TRect{0, 0, 640, 480}));
    display.Initialize();
    component.SetDXDraw(nullptr);  // leaving an initialised display lets the surface go
    EXPECT_EQ(engine().Surface(), nullptr);
    component.SetDXDraw(&display);  // joining one takes its surface at once
    EXPECT_EQ(engine().Surface(), display.Surface());
    EXPECT_EQ(engine().SurfaceRect(), (TRect{0, 0, 320, 240}));
}

TEST_F(SpriteEngineComponent, DestroyingTheDisplayUnbindsTheEngine) {
    auto other = std::make_unique<TDXDraw>(&form);
    component.SetDXDraw(other.get());
    other->Initialize();
    EXPECT_NE(engine().Surface(), nullptr);
    other.reset();
    EXPECT_EQ(component.DXDraw(), nullptr);
    EXPECT_EQ(engine().Surface(), nullptr);
}

TEST_F(SpriteEngineComponent, FrameCallsReachTheTreeAndDrawWaitsForTheDisplay) {
    TSprite& sprite = TSprite::Create<TSprite>(engine());
    sprite.Width = sprite.Height = 10;
    int moves = 0, draws = 0;
    sprite.OnMove = [&](TSprite&, int& count) { moves += count; };
    sprite.OnDraw = [&](TSprite&) { ++draws; };
    component.Move(16);
    EXPECT_EQ(moves, 16);
    display.Initialize();
    display.Finalize();  // the rectangle is known, but the display cannot draw
    component.Draw();
    EXPECT_EQ(draws, 0);
    display.Initialize();
    component.Draw();
    EXPECT_EQ(draws, 1);
    sprite.Dead();
    component.Dead();
    EXPECT_EQ(engine().AllCount(), 0);
}

TEST_F(SpriteEngineComponent, StoredPropertiesNameTheDisplayAndHoldTheDefinitions) {
    component.Items().Add().SetName("Spare");
    TPropertyWriter writer;
    component.WriteProperties(writer);
    writer.WriteInteger("Unknown", 1);
    writer.WriteEnd();

    TDXSpriteEngine copy(&form);
    TPropertyReader reader(writer.Bytes());
    std::vector<std::string> unknown;
    while (reader.NextProperty())
        if (!copy.ReadProperty(reader)) unknown.push_back(reader.Name());
    EXPECT_EQ(unknown, std::vector<std::string>{"Unknown"});
    const FormNames names(form);
    copy.ResolveFixups(names);
    EXPECT_EQ(copy.DXDraw(), &display);
    ASSERT_EQ(copy.Items().Count(), 1);
    EXPECT_EQ(copy.Items().Items(0).Name(), "Spare");

    TPropertyWriter wrong;
    wrong.WriteIdent("DXDraw", "ImageList");
    wrong.WriteEnd();
    TPropertyReader wrongReader(wrong.Bytes());
    ASSERT_TRUE(wrongReader.NextProperty());
    ASSERT_TRUE(copy.ReadProperty(wrongReader));
    EXPECT_THROW(copy.ResolveFixups(names), EPropertyError);
    EXPECT_EQ(copy.DXDraw(), &display);
}

}  // namespace
}  // namespace vek
