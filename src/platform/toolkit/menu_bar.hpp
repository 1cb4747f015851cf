// The menu bar that a top-level window shows above its client area, apart from its drawing:
// the navigation state machine (keyboard and mouse), the routing of key presses between key
// preview, shortcuts and menus, and the layout of the bar and its drop-downs.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/menu.hpp"
#include "platform/toolkit.hpp"
#include "runtime/types.hpp"

namespace vek::platform {

// What the menu made of an input: whether it took it, whether its look changed, and the
// item to click once the menu has closed.
struct MenuResult {
    bool consumed = false;
    bool changed = false;
    TMenuItem* click = nullptr;
};

// Keyboard and mouse navigation of a menu bar, as a desktop menu loop does it: F10 or a
// lone Alt selects the bar, Alt+letter opens a menu, arrows move (skipping separators),
// Enter or a letter chooses, Escape closes the menu and gives the keys back to the window.
// An item with items of its own opens them as a submenu beside it: Right, Enter or its
// letter opens it, Left or Escape closes it again; the mouse opens it by hovering over or
// clicking its item. Indices are child indices of the bar (top) and of each open menu
// (item); -1 for none. Level 0 is the menu below the bar, level 1 its open submenu, and
// so on.
class MenuNavigator {
public:
    enum class Mode { Closed, BarSelected, DropDown };

    void setBar(TMenuItem* bar);
    TMenuItem* bar() const { return bar_; }
    Mode mode() const { return mode_; }
    bool isOpen() const { return mode_ != Mode::Closed; }
    int topIndex() const { return top_; }
    // The highlighted item of the menu at level.
    int itemIndex(int level = 0) const;
    // The menu of the selected top item, or null.
    TMenuItem* openMenu() const { return menuAt(0); }
    // How many menus are open: the one below the bar and its open submenus.
    int depth() const { return static_cast<int>(items_.size()); }
    // The open menu at level, or null.
    TMenuItem* menuAt(int level) const;

    MenuResult keyDown(std::uint16_t key, TShiftState shift);
    MenuResult keyUp(std::uint16_t key);
    // Mouse: press on a bar caption, hover over a caption or an item, release on an item.
    MenuResult pressTop(int top);
    MenuResult hoverTop(int top);
    // The item of the open menu at level the mouse is over (-1: none); a submenu opens.
    MenuResult hoverItem(int item, int level = 0);
    MenuResult releaseItem(int item, int level = 0);
    // A mouse press outside the bar and the open menu.
    MenuResult pressOutside();
    void close();
    // Whether entering the menu loop happened since the last call (for OnEnterMenuLoop).
    bool takeEntered();

private:
    MenuResult keyClosed(std::uint16_t key, TShiftState shift);
    MenuResult keyBar(std::uint16_t key, TShiftState shift);
    MenuResult keyDropDown(std::uint16_t key, TShiftState shift);
    MenuResult openTop(int top, bool selectFirst);
    MenuResult choose(int level, int item);
    // Highlights item at level, closing the submenus below it, and opens its submenu if it
    // has one (with its first item highlighted when selectFirst).
    MenuResult select(int level, int item, bool selectFirst);
    MenuResult closeSubmenu();
    bool opensSubmenu(int level, int item) const;
    int topByLetter(std::uint16_t key) const;
    int nextTop(int from, int step) const;
    int nextItem(int level, int from, int step) const;
    void enter(Mode mode);

    TMenuItem* bar_ = nullptr;
    Mode mode_ = Mode::Closed;
    int top_ = -1;
    std::vector<int> items_;  // the highlighted item of each open menu, level by level
    bool altAlone_ = false;
    bool entered_ = false;
};

// Routes a key press of a top-level window: an open menu takes every key; otherwise key
// preview (which may set key to 0) comes first, then function-key shortcuts without
// modifiers, then the menu keys (F10, Alt+letter) when the bar is shown.
MenuResult routeKeyDown(MenuNavigator& menu, const std::function<void(std::uint16_t&, TShiftState)>& preview,
                        std::uint16_t key, TShiftState shift, bool barShown);

// The display name of a shortcut key ("F2"), empty for none.
std::string shortCutText(std::uint16_t key);
// A caption without its "&" marks, and the position of the access letter in the result.
std::string stripAccessMark(const std::string& caption, int* letterIndex = nullptr);

// Where the bar's captions and the open menus' items lie, in window pixels.
struct MenuLayout {
    static constexpr int kBarHeight = 20;
    static constexpr int kItemHeight = 22;
    static constexpr int kSeparatorHeight = 9;

    struct Box {
        int index = -1;
        TRect rect;
    };
    // One open menu: its box and its items' boxes.
    struct Panel {
        TRect rect;
        std::vector<Box> items;
    };
    // An item of an open menu: the menu's level and the item's index; -1 for none.
    struct Hit {
        int level = -1;
        int item = -1;
    };
    using Measure = std::function<int(const std::string&)>;

    std::vector<Box> tops;
    std::vector<Panel> menus;  // level by level; empty when no menu is open

    // Lays out the bar; measure answers a text's width in pixels.
    void layoutBar(const TMenuItem* bar, const Measure& measure);
    // Lays out the menus open in navigator: the first below its caption, each submenu
    // beside its item (on the left when the right has no room), all kept inside the window.
    void layoutMenus(const MenuNavigator& navigator, int windowWidth, int windowHeight,
                     const Measure& measure);
    int topAt(int x, int y) const;
    // The deepest open menu's item at (x, y).
    Hit itemAt(int x, int y) const;
    bool inMenu(int x, int y) const;
    // The lowest edge of the open menus, 0 when none is open.
    int menusBottom() const;
};

// Whether item opens a submenu: it has an item that is shown.
bool hasSubmenu(const TMenuItem& item);

}  // namespace vek::platform
