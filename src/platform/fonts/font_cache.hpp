// Fonts for drawing text in software, shared by both backends so that a headless frame
// shows the same text as the screen: fontconfig finds the file of a face (the desktop's
// default "sans-serif" when no name is given), opened SDL_ttf fonts are kept by (face,
// pixel size, bold) so each is opened once, and text is rendered into SDL surfaces.
#pragma once

#include <SDL.h>

#include <map>
#include <string>
#include <tuple>

typedef struct _TTF_Font TTF_Font;

namespace vek::platform::fonts {

// An opened font at one pixel size.
using Font = TTF_Font;

// Character height in pixels of a font size in points on a 96 dpi screen (12 pt = 16 px).
int pointsToPixels(int points);

// The font file fontconfig chooses for a face name (empty: "sans-serif"); empty when
// fontconfig knows no font at all.
struct FontFile {
    std::string path;
    int index = 0;          // face index inside a font collection
    bool embolden = false;  // no bold file was found: let the renderer embolden it
};
FontFile findFontFile(const std::string& face, bool bold);

// Opened fonts by face, pixel size and weight. The cache owns the fonts; a returned
// pointer stays valid until the cache is cleared or destroyed.
class FontCache {
public:
    FontCache();
    ~FontCache();
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    // The font for a face name (empty: the default face) with characters pixelSize pixels
    // high; null when no font can be opened.
    TTF_Font* get(const std::string& face, int pixelSize, bool bold = false);
    // The same, with the size in points at 96 dpi.
    TTF_Font* getPoints(const std::string& face, int points, bool bold = false) {
        return get(face, pointsToPixels(points), bold);
    }
    void clear();
    bool ready() const { return ttfReady_; }

    // One cache for the whole process, made on first use.
    static FontCache& shared();

private:
    using Key = std::tuple<std::string, int, bool>;
    bool ttfReady_ = false;
    std::map<Key, TTF_Font*> fonts_;
};

// Text in one colour, one byte per pixel (0 background, 1 ink), without smoothing; null
// when nothing can be rendered. The caller frees the surface.
SDL_Surface* renderSolid(TTF_Font* font, const std::string& text);
// Smoothed text in color over a transparent background, 32-bit with alpha.
SDL_Surface* renderBlended(TTF_Font* font, const std::string& text, SDL_Color color);
// The width of text and the font's line height, in pixels.
int textWidth(TTF_Font* font, const std::string& text);
int lineHeight(TTF_Font* font);

}  // namespace vek::platform::fonts
