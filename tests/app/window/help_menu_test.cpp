// The "Ayuda" menu on the headless backend: the controls help message box, and the About
// box with its controls, its link and the three ways to close it while the game goes on.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/window/about_form.hpp"
#include "app/headless_main_window.hpp"
#include "app/window/main_form.hpp"
#include "platform/headless/headless_platform.hpp"
#include "platform/headless/headless_window.hpp"
#include "platform/toolkit/dialog_logic.hpp"
#include "runtime/version.hpp"

namespace vek {
namespace {

using platform::DialogControl;
using platform::DialogSpec;
using platform::headless::HeadlessApplication;
using platform::headless::HeadlessModal;
using platform::headless::HeadlessPlatform;
using platform::headless::HeadlessWindow;
using platform::headless::ScopedPlatform;

class HelpMenuTest : public HeadlessMainWindow {
protected:
    // Chooses "Acerca de.." and runs the loop until the box has closed; whileUp runs at
    // every wait of the box's loop.
    void ShowAbout(std::function<void(HeadlessModal&)> whileUp) {
        app().onModalWait = std::move(whileUp);
        app().postMenuClick(*form->Acercade1);
        app().runFor(10, form->Handle());
        app().onModalWait = nullptr;
    }
};

TEST_F(HelpMenuTest, ControlsHelpListsTheKeysBoundNowWithTheInformationIconAndTheGameStandsStill) {
    app().runFor(100, form->Handle());
    int presentsAtOpen = -1, idleAtOpen = -1, waits = 0;
    app().onModalWait = [&](HeadlessModal& box) {
        if (presentsAtOpen < 0) {
            presentsAtOpen = Presents();
            idleAtOpen = app().idleCalls();
        }
        EXPECT_FALSE(box.isDialog());
        if (++waits > 5) return;  // then the box is answered with OK
        backend.virtualClock().advance(100);
        app().post([] {});
    };
    TBindings bindings = form->Options.Value().bindings;
    bindings.keys[kFireAction][0] = 'X';
    form->Options.SetBindings(bindings);
    app().postMenuClick(*form->Controles1);
    app().runFor(0, form->Handle());
    EXPECT_EQ(waits, 6);
    EXPECT_EQ(Presents(), presentsAtOpen) << "no tick while the message box is up";
    EXPECT_EQ(app().idleCalls(), idleAtOpen);
    ASSERT_EQ(app().messageBoxes().size(), 1u);
    const HeadlessApplication::MessageBoxRecord& box = app().messageBoxes()[0];
    EXPECT_EQ(box.caption, "Controles");
    EXPECT_EQ(box.flags, platform::MB_OK | platform::MB_ICONINFORMATION);
    // The keys as they are bound now, the pad, the menu keys and how to quit.
    const std::vector<std::string> lines = platform::splitLines(box.text);
    ASSERT_GE(lines.size(), 12u);
    EXPECT_EQ(lines[1], "Arriba: K, Up, Keypad 8");
    EXPECT_EQ(lines[5], "Disparo: X, Space");
    EXPECT_NE(box.text.find("F3: jugar / pausar"), std::string::npos);
    EXPECT_NE(box.text.find("F10"), std::string::npos);
    EXPECT_NE(box.text.find("F12 o Impr Pant: guardar la imagen"), std::string::npos);
    EXPECT_NE(box.text.find("Opciones > Demostración en el título"), std::string::npos);
    EXPECT_NE(box.text.find("Juego > Salir"), std::string::npos);
    EXPECT_NE(box.text.find("Start pausa"), std::string::npos);
    app().runFor(100, form->Handle());
    EXPECT_GT(Presents(), presentsAtOpen) << "the game goes on once the box is closed";
}

TEST_F(HelpMenuTest, AboutBoxClosesEachWayIsFreedAndTheGameTicksMeanwhile) {
    struct Way {
        const char* name;
        std::function<void(HeadlessApplication&, HeadlessModal&)> close;
        int result;
    };
    const Way ways[] = {
        {"Enter", [](HeadlessApplication& a, HeadlessModal&) { a.postKeyPress(platform::vk::Return); },
         platform::mrOk},
        {"Aceptar", [](HeadlessApplication&, HeadlessModal& m) { m.click("btnAceptar"); }, platform::mrOk},
        {"close box", [](HeadlessApplication&, HeadlessModal& m) { m.closeBox(); }, platform::mrCancel},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        const int components = form->ComponentCount();
        int presentsAtOpen = -1, presentsAtClose = -1;
        ShowAbout([&](HeadlessModal& box) {
            if (presentsAtClose >= 0) {
                ADD_FAILURE() << "the box stayed open";
                box.closeBox();
                return;
            }
            if (presentsAtOpen < 0) {
                presentsAtOpen = Presents();
                ASSERT_NE(frmAcercaDe, nullptr);
                EXPECT_EQ(frmAcercaDe->Owner(), form.get());
                EXPECT_EQ(form->ComponentCount(), components + 1);
            }
            if (box.idleCalls < 300) return;  // 300 ms of the virtual clock
            presentsAtClose = Presents();
            way.close(app(), box);
        });
        EXPECT_GE(presentsAtClose - presentsAtOpen, 8) << "the game ticks behind the box";
        EXPECT_EQ(frmAcercaDe, nullptr);
        EXPECT_EQ(form->ComponentCount(), components) << "the box was freed";
        ASSERT_FALSE(app().dialogs().empty());
        EXPECT_EQ(app().dialogs().back().answer, way.result);
    }
    EXPECT_EQ(app().dialogs().size(), 3u);
    EXPECT_EQ(app().foregroundWindow(), form->Handle());
}

TEST_F(HelpMenuTest, AboutBoxControlsAreAtTheirPlacesInTheirFonts) {
    DialogSpec shown;
    platform::Window* owner = nullptr;
    platform::TCursor overLink = platform::crDefault, overText = platform::crHandPoint;
    ShowAbout([&](HeadlessModal& box) {
        shown = *box.dialog();
        owner = box.owner();
        overLink = box.cursorAt(160, 52);
        overText = box.cursorAt(100, 35);
        box.closeBox();
    });
    EXPECT_EQ(shown.caption, "Acerca de");
    EXPECT_EQ(shown.clientWidth, 436);
    EXPECT_EQ(shown.clientHeight, 168);
    EXPECT_EQ(owner, form->Handle()) << "centred on the main window";
    EXPECT_EQ(overLink, platform::crHandPoint);
    EXPECT_EQ(overText, platform::crDefault);

    using Kind = DialogControl::Kind;
    struct Expected {
        const char* name;
        Kind kind;
        TRect bounds;
        const char* font;
        int height;
    };
    const Expected table[] = {
        {"Image1", Kind::Image, Bounds(24, 13, 32, 32), "", 0},
        {"Label1", Kind::Label, Bounds(84, 12, 206, 13), "Tahoma", -11},
        {"Label3", Kind::Label, Bounds(84, 30, 110, 13), "Tahoma", -11},
        {"Label4", Kind::Label, Bounds(84, 48, 63, 13), "Tahoma", -11},
        {"Label8", Kind::Link, Bounds(153, 47, 141, 17), "Arial", -11},
        {"Label6", Kind::Label, Bounds(84, 67, 181, 13), "Tahoma", -11},
        {"Label7", Kind::Label, Bounds(84, 85, 57, 13), "Tahoma", -11},
        {"Bevel1", Kind::Bevel, Bounds(8, 104, 418, 4), "", 0},
        {"Label2", Kind::Label, Bounds(10, 110, 417, 53), "Garamond", -11},
        {"btnAceptar", Kind::Button, Bounds(344, 16, 75, 25), "Tahoma", -12},
    };
    ASSERT_EQ(shown.controls.size(), std::size(table));
    for (std::size_t i = 0; i < std::size(table); ++i) {
        const Expected& want = table[i];
        const DialogControl& got = shown.controls[i];
        SCOPED_TRACE(want.name);
        EXPECT_EQ(got.name, want.name);
        EXPECT_EQ(got.kind, want.kind);
        EXPECT_EQ(got.bounds, want.bounds);
        if (want.height == 0) continue;
        EXPECT_EQ(got.fontName, want.font);
        EXPECT_EQ(got.fontHeight, want.height);
        EXPECT_FALSE(got.text.empty());
    }
    const DialogControl& link = shown.controls[4];
    EXPECT_EQ(link.text, kWebAddress);
    EXPECT_EQ(link.color, clBlue);
    EXPECT_TRUE(link.underline);
    EXPECT_TRUE(link.clipText);
    EXPECT_EQ(shown.controls[2].text, "Version " VEK_VERSION " Build 160");
    EXPECT_TRUE(shown.controls[8].wordWrap);
    const DialogControl& button = shown.controls[9];
    EXPECT_EQ(button.text, "&Aceptar");
    EXPECT_TRUE(button.isDefault);

    const DialogControl& icon = shown.controls[0];
    ASSERT_EQ(icon.imageWidth, 32);
    ASSERT_EQ(icon.pixels.size(), 32u * 32u);
    EXPECT_EQ(icon.pixels[31 * 32] >> 24, 0u) << "the bottom-left colour is transparent";
    EXPECT_EQ(icon.pixels[16 * 32 + 16] >> 24, 0xFFu) << "the ship is opaque";
}

TEST_F(HelpMenuTest, LinkOpensTheWebAddressAndAFailureLeavesTheBoxOpen) {
    app().openUrlResult = false;
    bool openAfterClick = false;
    ShowAbout([&](HeadlessModal& box) {
        box.click("Label8");
        openAfterClick = !box.closed();
        box.closeBox();
    });
    EXPECT_TRUE(openAfterClick);
    EXPECT_EQ(app().openedUrls(), (std::vector<std::string>{"https://vektrion.example/"}));
    EXPECT_TRUE(app().messageBoxes().empty()) << "the failure is not reported";
}

}  // namespace
}  // namespace vek
