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
    TMenuItem* volume;
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
        volume = &add(*options, "OptionVolume", "&Volumen");
        for (const char* step : {"OptionVolume0", "OptionVolume50", "OptionVolume100"})
            add(*volume, step, step);
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
    nav.pressTop(0);
    nav.hoverItem(0);
    ASSERT_EQ(nav.itemIndex(), 0) << "the mouse still shows a disabled item";
    const MenuResult r = nav.keyDown(vk::Return, 0);
    EXPECT_EQ(r.click, nullptr);
    EXPECT_TRUE(nav.isOpen());
}

// Juego holds Iniciar juego (0), Jugar / Pausar (1), a separator (2) and Salir (3).
TEST(ToolkitMenu, ArrowsFromNoSelectionLandOnTheFirstOrLastItemThatCanBeChosen) {
    const struct {
        std::uint16_t key;
        std::vector<int> disabled;
        int selected;
    } cases[] = {
        {vk::Down, {}, 0}, {vk::Up, {}, 3}, {vk::Down, {0}, 1}, {vk::Up, {3}, 1}, {vk::Up, {0, 1, 3}, -1},
    };
    for (const auto& c : cases) {
        GameMenu m;
        for (int item : c.disabled) m.game->Items(static_cast<std::size_t>(item)).Enabled = false;
        MenuNavigator nav;
        nav.setBar(&m.bar);
        nav.pressTop(0);
        ASSERT_EQ(nav.itemIndex(), -1);
        nav.keyDown(c.key, 0);
        EXPECT_EQ(nav.itemIndex(), c.selected)
            << (c.key == vk::Up ? "Up" : "Down") << " with " << c.disabled.size() << " disabled";
    }
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

    MenuNavigator nav;
    nav.setBar(&m.bar);
    nav.pressTop(0);
    layout.layoutMenus(nav, 640, 480, measure);
    ASSERT_EQ(layout.menus.size(), 1u);
    const MenuLayout::Panel& menu = layout.menus[0];
    ASSERT_EQ(menu.items.size(), 4u);
    EXPECT_EQ(menu.rect.top, MenuLayout::kBarHeight);
    const TRect sep = menu.items[2].rect;
    EXPECT_EQ(sep.height(), MenuLayout::kSeparatorHeight);
    EXPECT_EQ(layout.itemAt(sep.left + 5, menu.items[3].rect.top + 1).item, 3);
    EXPECT_TRUE(layout.inMenu(menu.rect.left + 1, menu.rect.top + 1));
    nav.pressTop(2);
    layout.layoutMenus(nav, 150, 480, measure);
    EXPECT_LE(layout.menus.at(0).rect.right, 150) << "kept inside the window";
}

// Each row: keys pressed from Alt+O (the options menu, its first item highlighted), then
// the open menus' depth, the highlighted item of the deepest one, and the item clicked.
TEST(ToolkitMenu, ASubmenuOpensAndClosesFromTheKeyboard) {
    struct Case {
        const char* what;
        std::vector<std::uint16_t> keys;
        int depth;
        int item;
        const char* clicked;
    };
    const Case cases[] = {
        {"Right on a plain item moves to the next menu", {vk::Right}, 1, 0, nullptr},
        {"Right on the parent opens its submenu at its first item", {vk::Up, vk::Right}, 2, 0, nullptr},
        {"Enter on the parent opens it too", {vk::Up, vk::Return}, 2, 0, nullptr},
        {"its letter opens it", {'V'}, 2, 0, nullptr},
        {"Left closes it, its parent still highlighted", {'V', vk::Left}, 1, 3, nullptr},
        {"Escape closes only the submenu", {'V', vk::Escape}, 1, 3, nullptr},
        {"a second Escape closes the menu", {'V', vk::Escape, vk::Escape}, 0, -1, nullptr},
        {"arrows move in the submenu, wrapping", {'V', vk::Up}, 2, 2, nullptr},
        {"Enter in the submenu chooses and closes all", {'V', vk::Down, vk::Return}, 0, -1, "OptionVolume50"},
        {"Right in the submenu moves to the next menu", {'V', vk::Right}, 1, 0, nullptr},
        {"F10 closes all", {'V', vk::F10}, 0, -1, nullptr},
    };
    for (const Case& c : cases) {
        GameMenu m;
        MenuNavigator nav;
        nav.setBar(&m.bar);
        nav.keyDown('O', ssAlt);
        MenuResult last;
        for (const std::uint16_t key : c.keys) last = nav.keyDown(key, 0);
        EXPECT_EQ(nav.depth(), c.depth) << c.what;
        EXPECT_EQ(nav.itemIndex(nav.depth() - 1), c.item) << c.what;
        EXPECT_EQ(last.click ? last.click->Name : "", c.clicked ? c.clicked : "") << c.what;
    }
    GameMenu m;
    MenuNavigator nav;
    nav.setBar(&m.bar);
    nav.keyDown('O', ssAlt);
    nav.keyDown('V', 0);
    EXPECT_EQ(nav.menuAt(1), m.volume);
    nav.close();
    m.volume->Items(0).Visible = m.volume->Items(1).Visible = m.volume->Items(2).Visible = false;
    nav.keyDown('O', ssAlt);
    EXPECT_EQ(nav.keyDown('V', 0).click, m.volume) << "an item whose items are all hidden is chosen";
}

TEST(ToolkitMenu, TheMouseOpensASubmenuByHoveringOrClickingAndChoosesInIt) {
    GameMenu m;
    MenuNavigator nav;
    nav.setBar(&m.bar);
    nav.pressTop(1);
    nav.hoverItem(3);
    EXPECT_EQ(nav.menuAt(1), m.volume) << "hovering opens it";
    EXPECT_EQ(nav.itemIndex(1), -1);
    EXPECT_FALSE(nav.hoverItem(3).changed) << "the submenu stays while the mouse is on its parent";
    nav.hoverItem(1, 1);
    EXPECT_EQ(nav.itemIndex(1), 1);
    nav.hoverItem(-1, 1);
    EXPECT_EQ(nav.depth(), 2) << "leaving the submenu for nowhere keeps it open";
    nav.hoverItem(0);
    EXPECT_EQ(nav.depth(), 1) << "another item of the parent menu closes it";
    EXPECT_EQ(nav.releaseItem(3).click, nullptr) << "a click on the parent opens the submenu";
    EXPECT_EQ(nav.depth(), 2);
    EXPECT_EQ(nav.releaseItem(2, 1).click, &m.volume->Items(2));
    EXPECT_FALSE(nav.isOpen());
}

TEST(ToolkitMenu, ASubmenuLiesBesideItsItemOrOnItsLeftWithoutRoom) {
    GameMenu m;
    MenuNavigator nav;
    nav.setBar(&m.bar);
    auto measure = [](const std::string& s) { return static_cast<int>(s.size()) * 7; };
    m.game->Caption = "&Juego de naves espaciales";  // the options menu lies further right
    MenuLayout layout;
    layout.layoutBar(&m.bar, measure);
    nav.keyDown('O', ssAlt);
    nav.keyDown('V', 0);
    for (const int width : {640, 400}) {
        layout.layoutMenus(nav, width, 480, measure);
        ASSERT_EQ(layout.menus.size(), 2u);
        const MenuLayout::Panel& menu = layout.menus[0];
        const MenuLayout::Panel& sub = layout.menus[1];
        EXPECT_EQ(sub.items.size(), 3u);
        EXPECT_EQ(sub.rect.top, menu.items[3].rect.top - 2) << "level with its parent item";
        if (width == 640)
            EXPECT_GE(sub.rect.left, menu.rect.right - 3);
        else
            EXPECT_LE(sub.rect.right, menu.rect.left + 3);
        EXPECT_LE(sub.rect.right, width);
        const MenuLayout::Hit hit = layout.itemAt(sub.items[1].rect.left + 1, sub.items[1].rect.top + 1);
        EXPECT_EQ(hit.level, 1);
        EXPECT_EQ(hit.item, 1);
        EXPECT_EQ(layout.menusBottom(), std::max(menu.rect.bottom, sub.rect.bottom));
    }
}

}  // namespace
}  // namespace vek::platform
