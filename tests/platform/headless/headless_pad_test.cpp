// A pad driving the headless window: moves through the menu bar, a dialog and a message box
// end where the same moves on the keyboard end; only Back and B reach a window with nothing
// open; what the window takes is claimed from the pad's readings.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/headless/headless_platform.hpp"
#include "platform/headless/headless_window.hpp"
#include "platform/toolkit/pad_navigation.hpp"

namespace vek::platform::headless {
namespace {

struct PadDrivenWindow : ::testing::Test {
    HeadlessPlatform backend;
    HeadlessApplication& app = backend.app();
    std::unique_ptr<Window> owned = app.createWindow(WindowSpec{"Main"});
    HeadlessWindow& window = static_cast<HeadlessWindow&>(*owned);
    TMenuItem bar{"MainMenu", ""};
    std::vector<std::string> log;

    void SetUp() override {
        backend.scriptedJoysticks().add(17, 3);
        TMenuItem& game = bar.Add(std::make_unique<TMenuItem>("GameMenu", "&Juego"));
        TMenuItem& options = bar.Add(std::make_unique<TMenuItem>("OptionMenu", "&Opciones"));
        for (const char* name : {"GameStart", "-", "GameRecords", "GameExit"}) item(game, name);
        TMenuItem& volume = item(options, "OptionVolume");
        for (const char* name : {"OptionFullScreen", "OptionSound"}) item(options, name);
        for (const char* name : {"Volume0", "Volume50", "Volume100"}) item(volume, name);
        window.setMenu(&bar);
        window.OnKeyDown = [this](std::uint16_t& key, TShiftState shift) {
            log.push_back("key " + std::to_string(key) + (shift & ssPad ? " pad" : ""));
        };
        window.show();
    }
    TMenuItem& item(TMenuItem& menu, const char* name) {
        TMenuItem& added = menu.Add(std::make_unique<TMenuItem>(name, name[0] == '-' ? "-" : name));
        added.OnClick = [this](TMenuItem& sender) { log.push_back(sender.Name); };
        return added;
    }
    // Where the menus stand: mode, top and the highlighted item of each open menu.
    std::vector<int> menuState() {
        std::vector<int> state{static_cast<int>(window.menu().mode()), window.menu().topIndex()};
        for (int level = 0; level < window.menu().depth(); ++level)
            state.push_back(window.menu().itemIndex(level));
        return state;
    }
};

// The same moves from the keyboard and from the pad: clicks and menus end alike.
TEST_F(PadDrivenWindow, MenuMovesEndWhereTheKeyboardsDo) {
    const std::vector<std::vector<int>> moves = {
        {pad::Back},
        {pad::Back, pad::Back},
        {pad::Back, pad::Down, pad::Down, pad::A},
        {pad::Back, pad::Right, pad::A, pad::Right, pad::Down, pad::A},
        {pad::Back, pad::Right, pad::Down, pad::Right, pad::B},
        {pad::Back, pad::StickDown, pad::Up, pad::A},
        {pad::Back, pad::Down, pad::B, pad::B},
    };
    for (const std::vector<int>& row : moves) {
        const auto run = [&, this](bool fromPad) {
            log.clear();
            window.menu().close();
            for (const int input : row) {
                if (!fromPad) {
                    app.postKeyPress(padNavigationKey(input));
                } else if (input >= pad::StickUp) {
                    app.postPadStick(1, 30000);
                    app.postPadStick(1, 0);
                } else {
                    app.postPadPress(input);
                }
            }
            app.processMessages();
            std::vector<std::string> seen;
            for (const std::string& line : log)
                if (line.rfind("key", 0) != 0) seen.push_back(line);  // the clicks, not the preview
            return std::make_pair(seen, menuState());
        };
        const auto keyboard = run(false);
        EXPECT_EQ(run(true), keyboard) << "moves starting " << row.size();
    }
    log.clear();
    app.postPadPress(pad::Back);
    app.postPadPress(pad::Down);
    app.postPadPress(pad::Down);
    app.postPadPress(pad::A);
    app.processMessages();
    EXPECT_EQ(log.back(), "GameRecords") << "the separator is passed over";
}

TEST_F(PadDrivenWindow, WithNothingOpenOnlyBackAndBReachTheWindow) {
    for (const int input : {pad::A, pad::X, pad::Y, pad::Start, pad::Up, pad::Left}) app.postPadPress(input);
    app.processMessages();
    EXPECT_TRUE(log.empty()) << log.front();
    EXPECT_FALSE(window.menu().isOpen());
    app.postPadPress(pad::B);
    app.postPadPress(pad::Back);
    app.processMessages();
    EXPECT_EQ(log, (std::vector<std::string>{"key 27 pad", "key 121 pad"}));
    EXPECT_TRUE(window.menu().isOpen());
    ASSERT_TRUE(app.padInUse());
    app.postKeyPress(vk::Escape);
    app.processMessages();
    EXPECT_FALSE(app.padInUse()) << "a key was the last input";
}

TEST_F(PadDrivenWindow, APressTheWindowTakesIsLeftOutOfThePadUntilLetGo) {
    JoystickService& pads = backend.joysticks();
    JoyInfoEx read;
    app.postPadPress(pad::Back);
    app.postPadPress(pad::Down);
    app.postPadButton(pad::A, true);  // chooses "GameStart" and is still held
    app.processMessages();
    ASSERT_EQ(log.back(), "GameStart");
    ASSERT_EQ(pads.joyGetPosEx(0, read), JOYERR_NOERROR);
    EXPECT_EQ(read.buttons, 0u) << "the A that chose the item is not the game's";
    app.postPadButton(pad::A, false);
    app.postPadButton(pad::A, true);
    app.processMessages();
    ASSERT_EQ(pads.joyGetPosEx(0, read), JOYERR_NOERROR);
    EXPECT_EQ(read.buttons, 1u << pad::A) << "pressed again with nothing open, it is the game's";

    app.postActivate(false);
    app.postPadPress(pad::Back);
    app.processMessages();
    EXPECT_FALSE(window.menu().isOpen()) << "another program is in front";
}

TEST_F(PadDrivenWindow, DialogsAndBoxesTakeThePadAsTheKeyboard) {
    const auto dialogRun = [this](const std::vector<int>& inputs, bool fromPad) {
        DialogSpec dialog;
        DialogControl list, ok;
        list.kind = DialogControl::Kind::List;
        list.items = {"1", "2", "3"};
        list.chosen = std::make_shared<int>(0);
        ok.kind = DialogControl::Kind::Button;
        ok.isDefault = true;
        ok.modalResult = IDOK;
        dialog.controls = {list, ok};
        bool posted = false;
        app.onModalWait = [&](HeadlessModal&) {
            if (std::exchange(posted, true)) return;
            for (const int input : inputs)
                fromPad ? app.postPadPress(input) : app.postKeyPress(padNavigationKey(input));
        };
        const int result = app.showModal(dialog, &window);
        return std::make_pair(result, *dialog.controls[0].chosen);
    };
    const std::vector<std::vector<int>> moves = {{pad::Down, pad::Down, pad::A},
                                                 {pad::Down, pad::B},
                                                 {pad::Down, pad::Up, pad::Down, pad::Back, pad::A}};
    for (const std::vector<int>& row : moves) EXPECT_EQ(dialogRun(row, true), dialogRun(row, false));
    EXPECT_EQ(dialogRun({pad::Down, pad::Down, pad::A}, true), std::make_pair(IDOK, 2));
    EXPECT_EQ(dialogRun({pad::B}, true).first, IDCANCEL);

    for (const int input : {pad::A, pad::B, pad::X}) {
        bool posted = false;
        app.onModalWait = [&](HeadlessModal&) {
            if (std::exchange(posted, true)) return;
            app.postPadPress(input);
            app.postKeyDown('Q');  // stays queued only if the pad closed the box
        };
        EXPECT_EQ(app.messageBox("t", "c", MB_OK), IDOK);
        EXPECT_EQ(!app.queueEmpty(), input != pad::X) << input;
        app.processMessages();
    }
}

TEST_F(PadDrivenWindow, ADialogMayTakeAPadButtonBeforeItsKey) {
    DialogSpec dialog;
    std::vector<std::string> seen;
    dialog.onPadButton = [&seen](int input) {
        seen.push_back("pad " + std::to_string(input));
        return input == pad::B;  // taken: no Escape follows
    };
    dialog.onKey = [&seen](std::uint16_t key, TShiftState shift) {
        seen.push_back("key " + std::to_string(key) + (shift & ssPad ? " pad" : ""));
        return false;
    };
    bool posted = false;
    app.onModalWait = [&](HeadlessModal&) {
        if (std::exchange(posted, true)) return;
        for (const int input : {pad::X, pad::B, pad::A}) app.postPadPress(input);
    };
    EXPECT_EQ(app.showModal(dialog, &window), IDCANCEL) << "A pressed no button; the dialog ran dry";
    // The last Enter is the headless loop's own, closing the dialog that ran dry.
    EXPECT_EQ(seen, (std::vector<std::string>{"pad 2", "pad 1", "pad 0", "key 13 pad", "key 13"}));
}

}  // namespace
}  // namespace vek::platform::headless
