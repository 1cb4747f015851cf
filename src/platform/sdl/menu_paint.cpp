// Drawing of the menu bar strip and the open menu.
#include "platform/sdl/menu_paint.hpp"

#include <algorithm>

#include "platform/sdl/toolkit_paint.hpp"
#include "platform/soft/format.hpp"

namespace vek::platform::sdl {

void drawAccessCaption(SDL_Surface* target, TextPainter& text, int x, int y, const std::string& caption,
                       std::uint32_t color, int size, const std::string& face) {
    int letter = -1;
    const std::string plain = stripAccessMark(caption, &letter);
    text.draw(target, x, y, plain, color, size, face);
    if (letter < 0) return;
    const auto at = static_cast<std::size_t>(letter);
    const int from = text.width(plain.substr(0, at), size, face);
    const int to = text.width(plain.substr(0, at + 1), size, face);
    fillRect(target, SDL_Rect{x + from, y + text.ascent(size, face) + 2, std::max(1, to - from), 1}, color);
}

namespace {

constexpr std::uint32_t kBarColor = 0xF0F0F0;
constexpr std::uint32_t kTextColor = 0x000000;
constexpr std::uint32_t kGreyText = 0x8C8C8C;
constexpr std::uint32_t kHotBar = 0xCCE8FF;
constexpr std::uint32_t kHotBarFrame = 0x99D1FF;
constexpr std::uint32_t kMenuBack = 0xF2F2F2;
constexpr std::uint32_t kMenuFrame = 0x979797;
constexpr std::uint32_t kHotItem = 0x91C9F7;
constexpr std::uint32_t kSeparator = 0xD7D7D7;

void drawCheckMark(SDL_Surface* target, int x, int y, std::uint32_t color) {
    // A tick of two strokes, two pixels thick.
    for (int i = 0; i < 3; ++i) fillRect(target, SDL_Rect{x + i, y + 3 + i, 1, 3}, color);
    for (int i = 0; i < 5; ++i) fillRect(target, SDL_Rect{x + 3 + i, y + 4 - i, 1, 3}, color);
}

// A small triangle pointing right: the item opens a submenu.
void drawSubmenuArrow(SDL_Surface* target, int x, int y, std::uint32_t color) {
    for (int i = 0; i < 4; ++i) fillRect(target, SDL_Rect{x + i, y + i, 1, 9 - 2 * i}, color);
}

void drawItem(SDL_Surface* target, TextPainter& text, const TMenuItem& item, const SDL_Rect& r, bool hot) {
    if (item.IsLine()) {
        fillRect(target, SDL_Rect{r.x + 28, r.y + r.h / 2, r.w - 30, 1}, kSeparator);
        return;
    }
    if (hot) {
        fillRect(target, r, item.Enabled ? kHotItem : kSeparator);
    }
    const std::uint32_t color = item.Enabled ? kTextColor : kGreyText;
    const int textY = r.y + (r.h - text.lineHeight(kMenuFontSize)) / 2;
    if (item.Checked) drawCheckMark(target, r.x + 8, r.y + r.h / 2 - 5, color);
    drawAccessCaption(target, text, r.x + 28, textY, item.Caption, color, kMenuFontSize);
    if (hasSubmenu(item)) drawSubmenuArrow(target, r.x + r.w - 16, r.y + r.h / 2 - 4, color);
    const std::string key = shortCutText(item.ShortCut);
    if (!key.empty())
        text.draw(target, r.x + r.w - 24 - text.width(key, kMenuFontSize), textY, key, color, kMenuFontSize);
}

}  // namespace

void drawMenuBar(SDL_Surface* target, const MenuLayout& layout, const MenuNavigator& menu,
                 TextPainter& text) {
    fillRect(target, SDL_Rect{0, 0, target->w, MenuLayout::kBarHeight}, kBarColor);
    for (const MenuLayout::Box& top : layout.tops) {
        const SDL_Rect box = soft::toSdl(top.rect);
        const TMenuItem& item = menu.bar()->Items(static_cast<std::size_t>(top.index));
        if (menu.isOpen() && top.index == menu.topIndex()) {
            fillRect(target, box, kHotBarFrame);
            fillRect(target, SDL_Rect{box.x + 1, box.y + 1, box.w - 2, box.h - 2}, kHotBar);
        }
        const int textY = box.y + (box.h - text.lineHeight(kMenuFontSize)) / 2;
        drawAccessCaption(target, text, box.x + 7, textY, item.Caption, item.Enabled ? kTextColor : kGreyText,
                          kMenuFontSize);
    }
}

void drawOpenMenus(SDL_Surface* target, const MenuLayout& layout, const MenuNavigator& menu,
                   TextPainter& text) {
    for (std::size_t level = 0; level < layout.menus.size(); ++level) {
        const TMenuItem* open = menu.menuAt(static_cast<int>(level));
        const MenuLayout::Panel& panel = layout.menus[level];
        if (!open || panel.rect.empty()) return;
        const SDL_Rect r = soft::toSdl(panel.rect);
        fillRect(target, SDL_Rect{r.x + 3, r.y + 3, r.w, r.h}, 0xA0A0A0);  // drop shadow
        fillRect(target, r, kMenuFrame);
        fillRect(target, SDL_Rect{r.x + 1, r.y + 1, r.w - 2, r.h - 2}, kMenuBack);
        // A parent item stays highlighted while its submenu is open.
        for (const MenuLayout::Box& box : panel.items)
            drawItem(target, text, open->Items(static_cast<std::size_t>(box.index)), soft::toSdl(box.rect),
                     box.index == menu.itemIndex(static_cast<int>(level)));
    }
}

}  // namespace vek::platform::sdl
