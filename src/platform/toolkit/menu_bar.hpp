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
// Enter or a letter chooses, Escape closes the menu and gives the keys back to the window. Indices are child
// indices of the bar (top) and of the open menu (item); -1 for none.
class MenuNavigator {
public:
    enum class Mode { Closed, BarSelected, DropDown };

    void setBar(TMenuItem* bar);
    TMenuItem* bar() const { return bar_; }
    Mode mode() const { return mode_; }
    bool isOpen() const { return mode_ != Mode::Closed; }
    int topIndex() const { return top_; }
    int itemIndex() const { return item_; }
    // The menu of the selected top item, or null.
    TMenuItem* openMenu() const;

    MenuResult keyDown(std::uint16_t key, TShiftState shift);
    MenuResult keyUp(std::uint16_t key);
    // Mouse: press on a bar caption, hover over a caption or an item, release on an item.
    MenuResult pressTop(int top);
    MenuResult hoverTop(int top);
    MenuResult hoverItem(int item);
    MenuResult releaseItem(int item);
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
    MenuResult choose(int item);
    int topByLetter(std::uint16_t key) const;
    int nextTop(int from, int step) const;
    int nextItem(int from, int step) const;
    void enter(Mode mode);

    TMenuItem* bar_ = nullptr;
    Mode mode_ = Mode::Closed;
    int top_ = -1;
    int item_ = -1;
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

// Where the bar's captions and an open menu's items lie, in window pixels.
struct MenuLayout {
    static constexpr int kBarHeight = 20;
    static constexpr int kItemHeight = 22;
    static constexpr int kSeparatorHeight = 9;

    struct Box {
        int index = -1;
        TRect rect;
    };
    std::vector<Box> tops;
    std::vector<Box> items;
    TRect menuRect;  // the open menu's box (empty when closed)

    // Lays out the bar; measure answers a text's width in pixels.
    void layoutBar(const TMenuItem* bar, const std::function<int(const std::string&)>& measure);
    // Lays out the open menu below its caption, kept inside windowWidth.
    void layoutMenu(const TMenuItem* menu, int top, int windowWidth,
                    const std::function<int(const std::string&)>& measure);
    int topAt(int x, int y) const;
    int itemAt(int x, int y) const;
    bool inMenu(int x, int y) const;
};

}  // namespace vek::platform
