// The controls dialog's edits of the five actions' keys and the pad button, the key names
// a person reads, and the dialog itself driven by keys on the headless backend.
#include "app/controls/bindings.hpp"

#include <gtest/gtest.h>

#include "app/program.hpp"
#include "app/window/main_form.hpp"
#include "media/dxinput.hpp"
#include "media/dxtimer.hpp"
#include "platform/headless/headless_platform.hpp"
#include "platform/headless/headless_window.hpp"
#include "platform/joystick.hpp"
#include "runtime/version.hpp"

namespace vek {
namespace {

namespace vk = platform::vk;

constexpr int kUp = 0, kLeft = 2, kFire = kFireAction;

TBindings Defaults() {
    return bindingsFromTable(defaultKeyAssigns(), 0);
}

bool MenuKey(std::uint16_t key, platform::TShiftState shift) {
    return (shift & platform::ssAlt) || key == vk::F2 || key == vk::F3 || key == vk::F10;
}

TEST(BindingEditor, EditsGiveTheTableAndRefuseMenuKeys) {
    struct Edit {
        const char* what;
        int action, slot;
        std::uint16_t key;  // 0: clear the slot
        platform::TShiftState shift;
        TBindOutcome outcome;
        TKeyAssign fire, left;  // the fire and left rows after the edit
    };
    const Edit edits[] = {
        {"bind X to fire", kFire, 0, 'X', 0, TBindOutcome::Bound, {'X', vk::Space, 0}, {'H', vk::Left, 0x64}},
        {"H moves from left",
         kFire,
         2,
         'H',
         0,
         TBindOutcome::Moved,
         {'X', vk::Space, 'H'},
         {0, vk::Left, 0x64}},
        {"within one action",
         kFire,
         0,
         vk::Space,
         0,
         TBindOutcome::Bound,
         {vk::Space, 0, 'H'},
         {0, vk::Left, 0x64}},
        {"clear", kFire, 2, 0, 0, TBindOutcome::Cleared, {vk::Space, 0, 0}, {0, vk::Left, 0x64}},
        {"F3 refused", kFire, 1, vk::F3, 0, TBindOutcome::MenuKey, {vk::Space, 0, 0}, {0, vk::Left, 0x64}},
        {"Alt+J refused",
         kFire,
         1,
         'J',
         platform::ssAlt,
         TBindOutcome::MenuKey,
         {vk::Space, 0, 0},
         {0, vk::Left, 0x64}},
        {"a key without a name",
         kFire,
         1,
         0xFF,
         0,
         TBindOutcome::Unnamed,
         {vk::Space, 0, 0},
         {0, vk::Left, 0x64}},
    };
    TBindingEditor editor(Defaults(), Defaults(), MenuKey);
    for (const Edit& edit : edits) {
        const TBindResult result = edit.key ? editor.Bind(edit.action, edit.slot, edit.key, edit.shift)
                                            : editor.Clear(edit.action, edit.slot);
        EXPECT_EQ(result.outcome, edit.outcome) << edit.what;
        EXPECT_EQ(editor.Bindings().keys[kFire], edit.fire) << edit.what;
        EXPECT_EQ(editor.Bindings().keys[kLeft], edit.left) << edit.what;
        EXPECT_EQ(result.movedFrom, edit.outcome == TBindOutcome::Moved ? kLeft : -1) << edit.what;
    }
    EXPECT_EQ(bindStatus({TBindOutcome::Moved, kLeft}, kFire, 'H'), "H pasa de Izquierda a Disparo");
    EXPECT_TRUE(editor.BindPad(3));
    EXPECT_FALSE(editor.BindPad(platform::kPadStartButton)) << "Start pauses the game";
    EXPECT_EQ(editor.Bindings().padFire, 3);
    editor.Reset();
    EXPECT_EQ(editor.Bindings(), Defaults());
}

TEST(KeyNames, EveryNamedKeyReadsBackAndTheSourcesSpellingsAreKnown) {
    int named = 0;
    for (std::int32_t code = 1; code <= 255; ++code) {
        const std::string name = keyName(code);
        if (name.empty()) continue;
        ++named;
        EXPECT_EQ(virtualKeyFromName(name), code) << name;
    }
    EXPECT_GT(named, 100);
    EXPECT_EQ(virtualKeyFromName("keypad8"), 0x68);
    EXPECT_EQ(virtualKeyFromName("Numpad8"), 0x68);
    EXPECT_EQ(virtualKeyFromName("Return"), vk::Return);
    EXPECT_EQ(virtualKeyFromName("Keypad 10"), std::nullopt);
    EXPECT_EQ(keyName(0), "");
}

class ControlsDialogTest : public ::testing::Test {
protected:
    ControlsDialogTest() {
        app().setTitle(kApplicationTitle);
        form = std::make_unique<TMainForm>();
        form->Handle()->show();
    }
    platform::headless::HeadlessApplication& app() { return backend.app(); }
    // Opens the dialog and presses keys in it, then leaves it open for the headless loop to close.
    void Press(std::vector<std::pair<std::uint16_t, platform::TShiftState>> keys) {
        app().onModalWait = [keys](platform::headless::HeadlessModal& modal) {
            for (auto [key, shift] : keys)
                if (!modal.closed()) modal.keyDown(key, shift);
            if (!modal.closed()) modal.closeBox();
        };
        form->OptionControlsClick();
        app().onModalWait = nullptr;
    }

    platform::headless::HeadlessPlatform backend;
    platform::headless::ScopedPlatform installed{backend};
    std::unique_ptr<TMainForm> form;
};

TEST_F(ControlsDialogTest, TheKeyboardAloneBindsFireToXAndOnlyAceptarKeepsIt) {
    int told = 0;
    form->Options.OnChanged = [&] { ++told; };
    const std::vector<std::pair<std::uint16_t, platform::TShiftState>> bindX{
        {vk::Down, 0}, {vk::Down, 0}, {vk::Down, 0}, {vk::Down, 0}, {vk::Return, 0}, {vk::F3, 0}, {'X', 0}};
    auto cancelled = bindX;
    cancelled.push_back({vk::Escape, 0});
    Press(cancelled);
    EXPECT_EQ(form->Options.Value().bindings, form->Options.StoredBindings());
    auto accepted = bindX;
    accepted.push_back({'A', platform::ssAlt});
    Press(accepted);
    EXPECT_EQ(form->Options.Value().bindings.keys[kFire], (TKeyAssign{'X', vk::Space, 0}));
    EXPECT_EQ(form->DXInput->Keyboard().KeyAssigns()[stButton1], (TKeyAssign{'X', vk::Space, 0}));
    EXPECT_EQ(told, 1);
    EXPECT_TRUE(form->DXTimer->Enabled()) << "the game goes on after the dialog";
}

}  // namespace
}  // namespace vek
