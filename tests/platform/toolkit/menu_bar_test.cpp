// Menu bar navigation by keyboard and mouse, key routing between key preview, shortcuts
// and menus, and the layout of the bar.
#include "platform/toolkit/menu_bar.hpp"

#include <gtest/gtest.h>

#include <memory>

namespace vek::platform {
namespace {

struct GameMenu {
    TMenuItem bar{"MainMenu", ""};
    TMenuItem* game;
    TMenuItem* start;
    TMenuItem* pause;
    TMenuItem* exit;
    TMenuItem* options;
    TMenuItem* fullScreen;
    TMenuItem* sound;
    TMenuItem* help;
    std::vector<std::string> clicks;

    GameMenu() {
        game = &add(bar, "GameMenu", "&Juego");
        start = &add(*game, "GameStart", "Iniciar juego", vk::F2);
        pause = &add(*game, "GamePause", "Jugar / Pausar", vk::F3);
        add(*game, "N4", "-");
        exit = &add(*game, "GameExit", "&Salir");
        options = &add(bar, "OptionMenu", "&Opciones");
        fullScreen = &add(*options, "OptionFullScreen", "Pantalla completa", vk::F4);
        add(*options, "N3", "-");
        sound = &add(*options, "OptionSound", "Activar Sonido");
        help = &add(bar, "Ayuda1", "Ay&uda");
        add(*help, "Controles1", "Controles");
    }
    TMenuItem& add(TMenuItem& parent, const char* name, const char* caption, std::uint16_t key = 0) {
        TMenuItem& item = parent.Add(std::make_unique<TMenuItem>(name, caption, key));
        item.OnClick = [this](TMenuItem& sender) { clicks.push_back(sender.Name); };
        return item;
    }
};

TEST(ToolkitMenu, AltLetterOpensMenuAndArrowsSkipSeparators) {
    GameMenu m;
    MenuNavigator nav;
    nav.setBar(&m.bar);
    EXPECT_TRUE(nav.keyDown('J', ssAlt).consumed);
    EXPECT_EQ(nav.mode(), MenuNavigator::Mode::DropDown);
    EXPECT_EQ(nav.topIndex(), 0);
    EXPECT_EQ(nav.itemIndex(), 0);
    nav.keyDown(vk::Down, 0);
    EXPECT_EQ(nav.itemIndex(), 1);
    nav.keyDown(vk::Down, 0);
    EXPECT_EQ(nav.itemIndex(), 3) << "the separator at 2 is skipped";
    nav.keyDown(vk::Down, 0);
    EXPECT_EQ(nav.itemIndex(), 0) << "wraps round";
    nav.keyDown(vk::Up, 0);
    EXPECT_EQ(nav.itemIndex(), 3);
    nav.keyDown(vk::Right, 0);
    EXPECT_EQ(nav.topIndex(), 1);
    EXPECT_EQ(nav.itemIndex(), 0);
    nav.keyDown(vk::Left, 0);
    nav.keyDown(vk::Left, 0);
    EXPECT_EQ(nav.topIndex(), 2) << "left of the first menu is the last";
    EXPECT_TRUE(nav.takeEntered());
    EXPECT_FALSE(nav.takeEntered());
}

TEST(ToolkitMenu, EnterChoosesAndOneEscapeClosesTheMenu) {
    GameMenu m;
    MenuNavigator nav;
    nav.setBar(&m.bar);
    nav.keyDown('U', ssAlt);
    MenuResult r = nav.keyDown(vk::Return, 0);
    EXPECT_EQ(r.click, &m.help->Items(0));
    EXPECT_FALSE(nav.isOpen()) << "the menu closes before the item runs";

    nav.keyDown('O', ssAlt);
    EXPECT_TRUE(nav.keyDown(vk::Escape, 0).consumed);
    EXPECT_FALSE(nav.isOpen());
    EXPECT_EQ(routeKeyDown(nav, nullptr, vk::F3, 0, true).click, m.pause) << "a shortcut works again at once";
}

TEST(ToolkitMenu, F10AndLoneAltSelectTheBar) {
    GameMenu m;
    MenuNavigator nav;
    nav.setBar(&m.bar);
    EXPECT_TRUE(nav.keyDown(vk::F10, 0).consumed);
    EXPECT_EQ(nav.mode(), MenuNavigator::Mode::BarSelected);
    EXPECT_EQ(nav.topIndex(), 0);
    nav.keyDown(vk::Right, 0);
    nav.keyDown(vk::Down, 0);
    EXPECT_EQ(nav.openMenu(), m.options);
    nav.keyDown(vk::F10, 0);
    EXPECT_FALSE(nav.isOpen());

    nav.keyDown(vk::Menu, ssAlt);
    EXPECT_FALSE(nav.isOpen()) << "Alt down alone does nothing yet";
    nav.keyUp(vk::Menu);
    EXPECT_EQ(nav.mode(), MenuNavigator::Mode::BarSelected);
    nav.keyDown(vk::Menu, ssAlt);
    EXPECT_FALSE(nav.isOpen()) << "Alt again leaves the menu";

    nav.keyDown(vk::Menu, ssAlt);
    nav.keyDown(vk::Return, ssAlt);
    nav.keyUp(vk::Menu);
    EXPECT_FALSE(nav.isOpen()) << "Alt used with another key does not select the bar";
}

TEST(ToolkitMenu, LetterInOpenMenuChoosesAndDisabledItemsCannotBeChosen) {
    GameMenu m;
    MenuNavigator nav;
    nav.setBar(&m.bar);
    nav.keyDown('J', ssAlt);
    EXPECT_EQ(nav.keyDown('S', 0).click, m.exit);

    m.start->Enabled = false;
    nav.keyDown('J', ssAlt);
    const MenuResult r = nav.keyDown(vk::Return, 0);
    EXPECT_EQ(r.click, nullptr);
    EXPECT_TRUE(nav.isOpen());
}

TEST(ToolkitMenu, MouseOpensHoversChoosesAndClosesOutside) {
    GameMenu m;
    MenuNavigator nav;
    nav.setBar(&m.bar);
    nav.pressTop(1);
    EXPECT_EQ(nav.openMenu(), m.options);
    EXPECT_EQ(nav.itemIndex(), -1);
    nav.hoverTop(0);
    EXPECT_EQ(nav.openMenu(), m.game);
    nav.hoverItem(2);
    EXPECT_EQ(nav.itemIndex(), -1) << "a separator is not highlighted";
    nav.hoverItem(1);
    EXPECT_EQ(nav.itemIndex(), 1);
    EXPECT_EQ(nav.releaseItem(1).click, m.pause);
    nav.pressTop(0);
    nav.pressTop(0);
    EXPECT_FALSE(nav.isOpen()) << "a second press on the caption closes its menu";
    nav.pressTop(2);
    EXPECT_TRUE(nav.pressOutside().consumed);
    EXPECT_FALSE(nav.isOpen());
}

TEST(ToolkitMenu, RoutingPreviewFirstThenShortcutsThenMenuKeys) {
    GameMenu m;
    MenuNavigator nav;
    nav.setBar(&m.bar);
    std::vector<std::pair<std::uint16_t, TShiftState>> seen;
    auto preview = [&seen](std::uint16_t& key, TShiftState shift) { seen.emplace_back(key, shift); };

    MenuResult r = routeKeyDown(nav, preview, vk::F2, 0, true);
    EXPECT_EQ(r.click, m.start);
    ASSERT_EQ(seen.size(), 1u);

    r = routeKeyDown(nav, preview, vk::Return, ssAlt, true);
    EXPECT_EQ(r.click, nullptr);
    EXPECT_FALSE(nav.isOpen()) << "Alt+Enter opens no menu";
    EXPECT_EQ(seen.back(), std::make_pair(vk::Return, ssAlt));

    r = routeKeyDown(nav, preview, vk::F2, ssShift, true);
    EXPECT_EQ(r.click, nullptr) << "shortcuts are plain keys without modifiers";

    routeKeyDown(nav, preview, 'J', ssAlt, true);
    EXPECT_TRUE(nav.isOpen());
    const std::size_t before = seen.size();
    routeKeyDown(nav, preview, vk::Down, 0, true);
    EXPECT_EQ(seen.size(), before) << "an open menu takes the keys";
    nav.close();

    routeKeyDown(nav, preview, 'J', ssAlt, false);
    EXPECT_FALSE(nav.isOpen()) << "no bar shown, no menu";
    EXPECT_EQ(routeKeyDown(nav, preview, vk::F4, 0, false).click, m.fullScreen) << "shortcuts still work";

    auto swallow = [](std::uint16_t& key, TShiftState) { key = 0; };
    EXPECT_EQ(routeKeyDown(nav, swallow, vk::F2, 0, true).click, nullptr);
}

TEST(ToolkitMenu, CaptionsAndShortcutNames) {
    int letter = -2;
    EXPECT_EQ(stripAccessMark("Ay&uda", &letter), "Ayuda");
    EXPECT_EQ(letter, 2);
    EXPECT_EQ(stripAccessMark("A && B", &letter), "A & B");
    EXPECT_EQ(letter, -1);
    EXPECT_EQ(shortCutText(vk::F2), "F2");
    EXPECT_EQ(shortCutText(vk::F12), "F12");
    EXPECT_EQ(shortCutText(0), "");
}

TEST(ToolkitMenu, LayoutPlacesCaptionsInOrderAndMenuBelowItsCaption) {
    GameMenu m;
    m.options->Visible = false;
    MenuLayout layout;
    auto measure = [](const std::string& s) { return static_cast<int>(s.size()) * 7; };
    layout.layoutBar(&m.bar, measure);
    ASSERT_EQ(layout.tops.size(), 2u);
    EXPECT_EQ(layout.tops[1].index, 2);
    EXPECT_GT(layout.tops[1].rect.left, layout.tops[0].rect.left);
    EXPECT_EQ(layout.topAt(layout.tops[1].rect.left + 1, 5), 2);
    EXPECT_EQ(layout.topAt(600, 5), -1);

    layout.layoutMenu(m.game, 0, 640, measure);
    ASSERT_EQ(layout.items.size(), 4u);
    EXPECT_EQ(layout.menuRect.top, MenuLayout::kBarHeight);
    const TRect sep = layout.items[2].rect;
    EXPECT_EQ(sep.height(), MenuLayout::kSeparatorHeight);
    EXPECT_EQ(layout.itemAt(sep.left + 5, layout.items[3].rect.top + 1), 3);
    EXPECT_TRUE(layout.inMenu(layout.menuRect.left + 1, layout.menuRect.top + 1));
    layout.layoutMenu(m.help, 2, 150, measure);
    EXPECT_LE(layout.menuRect.right, 150) << "kept inside the window";
}

}  // namespace
}  // namespace vek::platform
