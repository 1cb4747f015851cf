// Menu bar navigation, key routing and layout of the toolkit's own menu bar.
#include "platform/toolkit/menu_bar.hpp"

#include <algorithm>
#include <utility>

namespace vek::platform {

namespace {

bool isShown(const TMenuItem& item) {
    return item.Visible;
}
bool isSelectable(const TMenuItem& item) {
    return item.Visible && !item.IsLine();
}
// The arrow keys pass over what cannot be chosen.
bool isReachable(const TMenuItem& item) {
    return isSelectable(item) && item.Enabled;
}
bool isLetterOrDigit(std::uint16_t key) {
    return (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9');
}

// The next index from from in the direction of step, round the end, that accept takes;
// from -1 (nothing selected) the first going forwards and the last going backwards.
int stepIndex(int count, int from, int step, const std::function<bool(int)>& accept) {
    if (count <= 0) return -1;
    int index = from < 0 && step < 0 ? count : from;
    for (int tries = 0; tries < count; ++tries) {
        index = ((index + step) % count + count) % count;
        if (accept(index)) return index;
    }
    return -1;
}

}  // namespace

void MenuNavigator::setBar(TMenuItem* bar) {
    bar_ = bar;
    close();
}

bool hasSubmenu(const TMenuItem& item) {
    for (std::size_t i = 0; i < item.Count(); ++i)
        if (isShown(item.Items(i))) return true;
    return false;
}

TMenuItem* MenuNavigator::menuAt(int level) const {
    if (!bar_ || mode_ != Mode::DropDown || top_ < 0 || level < 0 || level >= depth()) return nullptr;
    TMenuItem* menu = &bar_->Items(static_cast<std::size_t>(top_));
    for (int i = 0; i < level; ++i) menu = &menu->Items(static_cast<std::size_t>(items_[std::size_t(i)]));
    return menu;
}

int MenuNavigator::itemIndex(int level) const {
    return level >= 0 && level < depth() ? items_[std::size_t(level)] : -1;
}

void MenuNavigator::close() {
    mode_ = Mode::Closed;
    top_ = -1;
    items_.clear();
    altAlone_ = false;
}

bool MenuNavigator::takeEntered() {
    return std::exchange(entered_, false);
}

void MenuNavigator::enter(Mode mode) {
    if (mode_ == Mode::Closed && mode != Mode::Closed) entered_ = true;
    mode_ = mode;
}

int MenuNavigator::nextTop(int from, int step) const {
    if (!bar_) return -1;
    return stepIndex(static_cast<int>(bar_->Count()), from, step,
                     [this](int i) { return isShown(bar_->Items(static_cast<std::size_t>(i))); });
}

int MenuNavigator::nextItem(int level, int from, int step) const {
    const TMenuItem* menu = menuAt(level);
    if (!menu) return -1;
    return stepIndex(static_cast<int>(menu->Count()), from, step,
                     [menu](int i) { return isReachable(menu->Items(static_cast<std::size_t>(i))); });
}

int MenuNavigator::topByLetter(std::uint16_t key) const {
    if (!bar_ || !isLetterOrDigit(key)) return -1;
    for (std::size_t i = 0; i < bar_->Count(); ++i) {
        const TMenuItem& item = bar_->Items(i);
        if (isShown(item) && item.Enabled && static_cast<std::uint16_t>(accessLetter(item.Caption)) == key)
            return static_cast<int>(i);
    }
    return -1;
}

MenuResult MenuNavigator::openTop(int top, bool selectFirst) {
    if (!bar_ || top < 0) return {true, false, nullptr};
    enter(Mode::DropDown);
    top_ = top;
    items_.assign(1, -1);
    if (selectFirst) items_[0] = nextItem(0, -1, 1);
    return {true, true, nullptr};
}

bool MenuNavigator::opensSubmenu(int level, int item) const {
    const TMenuItem* menu = menuAt(level);
    if (!menu || item < 0 || item >= static_cast<int>(menu->Count())) return false;
    const TMenuItem& parent = menu->Items(static_cast<std::size_t>(item));
    return isSelectable(parent) && parent.Enabled && hasSubmenu(parent);
}

MenuResult MenuNavigator::select(int level, int item, bool selectFirst) {
    items_.resize(static_cast<std::size_t>(level) + 1);
    items_.back() = item;
    if (opensSubmenu(level, item)) {
        items_.push_back(-1);
        if (selectFirst) items_.back() = nextItem(level + 1, -1, 1);
    }
    return {true, true, nullptr};
}

MenuResult MenuNavigator::closeSubmenu() {
    items_.pop_back();
    return {true, true, nullptr};
}

// An item with a submenu opens it instead of being chosen.
MenuResult MenuNavigator::choose(int level, int item) {
    const TMenuItem* menu = menuAt(level);
    if (!menu || item < 0 || item >= static_cast<int>(menu->Count())) return {true, false, nullptr};
    if (opensSubmenu(level, item)) return select(level, item, true);
    TMenuItem& chosen = menu->Items(static_cast<std::size_t>(item));
    if (!isSelectable(chosen) || !chosen.Enabled) return {true, false, nullptr};
    close();
    return {true, true, &chosen};
}

MenuResult MenuNavigator::keyDown(std::uint16_t key, TShiftState shift) {
    if (!bar_) return {};
    switch (mode_) {
        case Mode::Closed:
            return keyClosed(key, shift);
        case Mode::BarSelected:
            return keyBar(key, shift);
        case Mode::DropDown:
            return keyDropDown(key, shift);
    }
    return {};
}

MenuResult MenuNavigator::keyClosed(std::uint16_t key, TShiftState shift) {
    if (key == vk::Menu) {
        altAlone_ = true;  // a lone Alt press and release selects the bar
        return {};
    }
    altAlone_ = false;
    if (key == vk::F10 && (shift & (ssAlt | ssCtrl)) == 0) {
        const int first = nextTop(-1, 1);
        if (first < 0) return {};
        enter(Mode::BarSelected);
        top_ = first;
        return {true, true, nullptr};
    }
    if ((shift & ssAlt) && !(shift & ssCtrl)) {
        const int top = topByLetter(key);
        if (top >= 0) return openTop(top, true);
    }
    return {};
}

MenuResult MenuNavigator::keyBar(std::uint16_t key, TShiftState shift) {
    switch (key) {
        case vk::Left:
        case vk::Right:
            top_ = nextTop(top_, key == vk::Left ? -1 : 1);
            return {true, true, nullptr};
        case vk::Down:
        case vk::Up:
        case vk::Return:
            return openTop(top_, true);
        case vk::Escape:
        case vk::F10:
        case vk::Menu:
            close();
            return {true, true, nullptr};
        default: {
            const int top = topByLetter(key);
            if (top >= 0) return openTop(top, true);
            (void)shift;
            return {true, false, nullptr};
        }
    }
}

// The keys act on the deepest open menu.
MenuResult MenuNavigator::keyDropDown(std::uint16_t key, TShiftState shift) {
    const int level = depth() - 1;
    const int item = itemIndex(level);
    switch (key) {
        case vk::Up:
        case vk::Down:
            items_.back() = nextItem(level, item, key == vk::Up ? -1 : 1);
            return {true, true, nullptr};
        case vk::Right:
            if (opensSubmenu(level, item)) return select(level, item, true);
            return openTop(nextTop(top_, 1), true);
        case vk::Left:
            if (level > 0) return closeSubmenu();
            return openTop(nextTop(top_, -1), true);
        case vk::Return:
        case vk::Space:
            return item >= 0 ? choose(level, item) : MenuResult{true, false, nullptr};
        case vk::Escape:  // closes a submenu; at the first level it gives the keyboard back
            if (level > 0) return closeSubmenu();
            close();
            return {true, true, nullptr};
        case vk::F10:
        case vk::Menu:
            close();
            return {true, true, nullptr};
        default:
            break;
    }
    const TMenuItem* menu = menuAt(level);
    for (std::size_t i = 0; menu && isLetterOrDigit(key) && i < menu->Count(); ++i) {
        const TMenuItem& entry = menu->Items(i);
        if (isSelectable(entry) && static_cast<std::uint16_t>(accessLetter(entry.Caption)) == key)
            return choose(level, static_cast<int>(i));
    }
    (void)shift;
    return {true, false, nullptr};
}

MenuResult MenuNavigator::keyUp(std::uint16_t key) {
    if (key != vk::Menu || !std::exchange(altAlone_, false) || mode_ != Mode::Closed) return {};
    const int first = nextTop(-1, 1);
    if (first < 0) return {};
    enter(Mode::BarSelected);
    top_ = first;
    return {true, true, nullptr};
}

MenuResult MenuNavigator::pressTop(int top) {
    if (!bar_ || top < 0) return {};
    if (mode_ == Mode::DropDown && top_ == top) {
        close();
        return {true, true, nullptr};
    }
    return openTop(top, false);
}

MenuResult MenuNavigator::hoverTop(int top) {
    if (mode_ != Mode::DropDown || top < 0 || top == top_) return {};
    return openTop(top, false);
}

// Over the item whose submenu is open, that submenu stays as it is.
MenuResult MenuNavigator::hoverItem(int item, int level) {
    const TMenuItem* menu = menuAt(level);
    if (!menu) return {};
    if (item >= 0 && !isSelectable(menu->Items(static_cast<std::size_t>(item)))) item = -1;
    const bool open = depth() > level + 1;
    if (item == itemIndex(level) && (open || !opensSubmenu(level, item))) return {};
    return select(level, item, false);
}

MenuResult MenuNavigator::releaseItem(int item, int level) {
    if (!menuAt(level) || item < 0) return {};
    if (opensSubmenu(level, item)) return select(level, item, false);
    return choose(level, item);
}

MenuResult MenuNavigator::pressOutside() {
    if (mode_ == Mode::Closed) return {};
    close();
    return {true, true, nullptr};
}

MenuResult routeKeyDown(MenuNavigator& menu, const std::function<void(std::uint16_t&, TShiftState)>& preview,
                        std::uint16_t key, TShiftState shift, bool barShown) {
    if (menu.isOpen()) return menu.keyDown(key, shift);
    if (preview) preview(key, shift);
    if (key == 0) {
        menu.keyDown(0, shift);  // a swallowed key still ends a lone Alt
        return {true, false, nullptr};
    }
    if (shift == 0 && menu.bar()) {
        if (TMenuItem* item = menu.bar()->FindShortCut(key)) return {true, false, item};
    }
    if (!barShown) return {};
    return menu.keyDown(key, shift);
}

std::string shortCutText(std::uint16_t key) {
    if (key >= vk::F1 && key <= vk::F1 + 23) return "F" + std::to_string(key - vk::F1 + 1);
    if (key >= 'A' && key <= 'Z') return std::string(1, static_cast<char>(key));
    if (key >= '0' && key <= '9') return std::string(1, static_cast<char>(key));
    return {};
}

std::string stripAccessMark(const std::string& caption, int* letterIndex) {
    std::string plain;
    if (letterIndex) *letterIndex = -1;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) {
            ++i;
            if (caption[i] != '&' && letterIndex && *letterIndex < 0)
                *letterIndex = static_cast<int>(plain.size());
        }
        plain += caption[i];
    }
    return plain;
}

void MenuLayout::layoutBar(const TMenuItem* bar, const Measure& measure) {
    tops.clear();
    int x = 2;
    for (std::size_t i = 0; bar && i < bar->Count(); ++i) {
        const TMenuItem& item = bar->Items(i);
        if (!isShown(item)) continue;
        const int width = measure(stripAccessMark(item.Caption)) + 14;
        tops.push_back({static_cast<int>(i), Bounds(x, 1, width, kBarHeight - 2)});
        x += width;
    }
}

namespace {

// A menu's items one below the other from (0, 0), and the width of its widest one.
MenuLayout::Panel stackItems(const TMenuItem& menu, const MenuLayout::Measure& measure) {
    MenuLayout::Panel panel;
    int textWidth = 0, keyWidth = 0, height = 0;
    for (std::size_t i = 0; i < menu.Count(); ++i) {
        const TMenuItem& item = menu.Items(i);
        if (!isShown(item)) continue;
        textWidth = std::max(textWidth, measure(stripAccessMark(item.Caption)));
        keyWidth = std::max(keyWidth, measure(shortCutText(item.ShortCut)));
        const int h = item.IsLine() ? MenuLayout::kSeparatorHeight : MenuLayout::kItemHeight;
        panel.items.push_back({static_cast<int>(i), Bounds(0, height, 0, h)});
        height += h;
    }
    const int width = std::max(120, 28 + textWidth + (keyWidth ? 32 + keyWidth : 0) + 24);
    panel.rect = Bounds(0, 0, width + 4, height + 4);
    return panel;
}

// Moves a stacked panel so that its box's top-left corner is at (left, top).
void placePanel(MenuLayout::Panel& panel, int left, int top) {
    const int width = panel.rect.width() - 4;
    panel.rect = Bounds(left, top, panel.rect.width(), panel.rect.height());
    for (MenuLayout::Box& box : panel.items)
        box.rect = Bounds(left + 2, top + 2 + box.rect.top, width, box.rect.height());
}

}  // namespace

void MenuLayout::layoutMenus(const MenuNavigator& navigator, int windowWidth, int windowHeight,
                             const Measure& measure) {
    menus.clear();
    const int top = navigator.topIndex();
    const auto caption =
        std::find_if(tops.begin(), tops.end(), [top](const Box& b) { return b.index == top; });
    if (!navigator.openMenu() || caption == tops.end()) return;
    Panel first = stackItems(*navigator.openMenu(), measure);
    placePanel(first, std::clamp(caption->rect.left, 0, std::max(0, windowWidth - first.rect.width())),
               kBarHeight);
    menus.push_back(std::move(first));
    for (int level = 1; level < navigator.depth(); ++level) {
        const Panel& parent = menus.back();
        const int parentItem = navigator.itemIndex(level - 1);
        const auto item = std::find_if(parent.items.begin(), parent.items.end(),
                                       [parentItem](const Box& b) { return b.index == parentItem; });
        if (item == parent.items.end()) return;
        Panel sub = stackItems(*navigator.menuAt(level), measure);
        const int width = sub.rect.width();
        int left = parent.rect.right - 3;
        if (left + width > windowWidth) left = std::max(0, parent.rect.left - width + 3);
        const int lowest = std::max(kBarHeight, windowHeight - sub.rect.height());
        placePanel(sub, left, std::clamp(item->rect.top - 2, kBarHeight, lowest));
        menus.push_back(std::move(sub));
    }
}

namespace {
bool inside(const TRect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}
}  // namespace

int MenuLayout::topAt(int x, int y) const {
    for (const Box& box : tops)
        if (inside(box.rect, x, y)) return box.index;
    return -1;
}

MenuLayout::Hit MenuLayout::itemAt(int x, int y) const {
    for (int level = static_cast<int>(menus.size()) - 1; level >= 0; --level) {
        const Panel& panel = menus[std::size_t(level)];
        if (!inside(panel.rect, x, y)) continue;
        for (const Box& box : panel.items)
            if (inside(box.rect, x, y)) return {level, box.index};
        return {level, -1};
    }
    return {};
}

bool MenuLayout::inMenu(int x, int y) const {
    return itemAt(x, y).level >= 0;
}

int MenuLayout::menusBottom() const {
    int bottom = 0;
    for (const Panel& panel : menus) bottom = std::max(bottom, panel.rect.bottom);
    return bottom;
}

}  // namespace vek::platform
