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
bool isLetterOrDigit(std::uint16_t key) {
    return (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9');
}

int stepIndex(int count, int from, int step, const std::function<bool(int)>& accept) {
    if (count <= 0) return -1;
    int index = from;
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

TMenuItem* MenuNavigator::openMenu() const {
    if (!bar_ || mode_ != Mode::DropDown || top_ < 0) return nullptr;
    return &bar_->Items(static_cast<std::size_t>(top_));
}

void MenuNavigator::close() {
    mode_ = Mode::Closed;
    top_ = item_ = -1;
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

int MenuNavigator::nextItem(int from, int step) const {
    const TMenuItem* menu = openMenu();
    if (!menu) return -1;
    return stepIndex(static_cast<int>(menu->Count()), from, step,
                     [menu](int i) { return isSelectable(menu->Items(static_cast<std::size_t>(i))); });
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
    item_ = -1;
    if (selectFirst) item_ = nextItem(-1, 1);
    return {true, true, nullptr};
}

MenuResult MenuNavigator::choose(int item) {
    const TMenuItem* menu = openMenu();
    if (!menu || item < 0 || item >= static_cast<int>(menu->Count())) return {true, false, nullptr};
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

MenuResult MenuNavigator::keyDropDown(std::uint16_t key, TShiftState shift) {
    switch (key) {
        case vk::Up:
        case vk::Down:
            item_ = nextItem(item_, key == vk::Up ? -1 : 1);
            return {true, true, nullptr};
        case vk::Left:
        case vk::Right:
            return openTop(nextTop(top_, key == vk::Left ? -1 : 1), true);
        case vk::Return:
        case vk::Space:
            return item_ >= 0 ? choose(item_) : MenuResult{true, false, nullptr};
        case vk::Escape:  // one Escape gives the keyboard back to the window
        case vk::F10:
        case vk::Menu:
            close();
            return {true, true, nullptr};
        default:
            break;
    }
    const TMenuItem* menu = openMenu();
    for (std::size_t i = 0; menu && isLetterOrDigit(key) && i < menu->Count(); ++i) {
        const TMenuItem& item = menu->Items(i);
        if (isSelectable(item) && static_cast<std::uint16_t>(accessLetter(item.Caption)) == key)
            return choose(static_cast<int>(i));
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

MenuResult MenuNavigator::hoverItem(int item) {
    if (mode_ != Mode::DropDown || item == item_) return {};
    const TMenuItem* menu = openMenu();
    if (item >= 0 && menu && !isSelectable(menu->Items(static_cast<std::size_t>(item)))) item = -1;
    item_ = item;
    return {true, true, nullptr};
}

MenuResult MenuNavigator::releaseItem(int item) {
    if (mode_ != Mode::DropDown || item < 0) return {};
    return choose(item);
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

void MenuLayout::layoutBar(const TMenuItem* bar, const std::function<int(const std::string&)>& measure) {
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

void MenuLayout::layoutMenu(const TMenuItem* menu, int top, int windowWidth,
                            const std::function<int(const std::string&)>& measure) {
    items.clear();
    menuRect = TRect{};
    const auto caption =
        std::find_if(tops.begin(), tops.end(), [top](const Box& b) { return b.index == top; });
    if (!menu || caption == tops.end()) return;
    int textWidth = 0, keyWidth = 0, height = 0;
    for (std::size_t i = 0; i < menu->Count(); ++i) {
        const TMenuItem& item = menu->Items(i);
        if (!isShown(item)) continue;
        textWidth = std::max(textWidth, measure(stripAccessMark(item.Caption)));
        keyWidth = std::max(keyWidth, measure(shortCutText(item.ShortCut)));
        const int h = item.IsLine() ? kSeparatorHeight : kItemHeight;
        items.push_back({static_cast<int>(i), Bounds(0, height, 0, h)});
        height += h;
    }
    const int width = std::max(120, 28 + textWidth + (keyWidth ? 32 + keyWidth : 0) + 24);
    const int left = std::clamp(caption->rect.left, 0, std::max(0, windowWidth - width - 4));
    menuRect = Bounds(left, kBarHeight, width + 4, height + 4);
    for (Box& box : items)
        box.rect = Bounds(left + 2, kBarHeight + 2 + box.rect.top, width, box.rect.height());
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

int MenuLayout::itemAt(int x, int y) const {
    for (const Box& box : items)
        if (inside(box.rect, x, y)) return box.index;
    return -1;
}

bool MenuLayout::inMenu(int x, int y) const {
    return inside(menuRect, x, y);
}

}  // namespace vek::platform
