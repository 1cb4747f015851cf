// The drawing of the toolkit's menu bar: the bar strip with its captions, and the open
// menus with check marks, separators, submenu arrows and shortcut names, on 32-bit surfaces.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>

#include "platform/toolkit/menu_bar.hpp"

namespace vek::platform::sdl {

class TextPainter;

// Draws a caption without its "&" marks with its top-left corner at (x, y) and the access
// letter underlined. Colours are 0xRRGGBB.
void drawAccessCaption(SDL_Surface* target, TextPainter& text, int x, int y, const std::string& caption,
                       std::uint32_t color, int size, const std::string& face = {});

// Draws the bar strip and, when one is open, its menu and open submenus (an item with a
// submenu shows an arrow) onto a 32-bit surface.
void drawMenuBar(SDL_Surface* target, const MenuLayout& layout, const MenuNavigator& menu, TextPainter& text);
void drawOpenMenus(SDL_Surface* target, const MenuLayout& layout, const MenuNavigator& menu,
                   TextPainter& text);

}  // namespace vek::platform::sdl
