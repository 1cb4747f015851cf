// Drawing primitives of the toolkit's own windows (menu bar, message box, dialogs):
// text in a desktop face, filled rectangles and the message-box icons, on 32-bit surfaces.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>

typedef struct _TTF_Font TTF_Font;

namespace vek::platform::sdl {

// Pixel size of menu and message-box text.
inline constexpr int kMenuFontSize = 12;
// The face of message boxes and dialogs.
inline constexpr std::uint32_t kFaceColour = 0xF0F0F0;

// Text in a face found by name through the desktop's font configuration (the shared font
// cache); an empty name is the default sans-serif face. Sizes are pixel heights of the
// characters. Colours are 0xRRGGBB.
class TextPainter {
public:
    int width(const std::string& text, int size, const std::string& face = {});
    int lineHeight(int size, const std::string& face = {});
    int ascent(int size, const std::string& face = {});
    void draw(SDL_Surface* target, int x, int y, const std::string& text, std::uint32_t color, int size,
              const std::string& face = {}, bool underline = false);
    // Breaks text into lines no wider than box.w and draws them from the box's top.
    void drawWrapped(SDL_Surface* target, const SDL_Rect& box, const std::string& text, std::uint32_t color,
                     int size, const std::string& face = {}, bool underline = false);

private:
    static TTF_Font* font(const std::string& face, int size);
};

void fillRect(SDL_Surface* target, const SDL_Rect& rect, std::uint32_t color);

enum class BoxIcon { None, Error, Warning, Information };
BoxIcon iconFromFlags(std::uint32_t flags);
// Draws a 32 × 32 icon with its top-left corner at (x, y).
void drawIcon(SDL_Surface* target, int x, int y, BoxIcon icon);

}  // namespace vek::platform::sdl
