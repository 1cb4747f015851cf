// Fontconfig lookup of font files and the cache of opened SDL_ttf fonts.
#include "platform/fonts/font_cache.hpp"

#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <memory>

namespace vek::platform::fonts {

namespace {

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

PatternPtr matchFace(const std::string& face, bool bold) {
    const std::string name = face.empty() ? std::string("sans-serif") : face;
    PatternPtr pattern(FcNameParse(reinterpret_cast<const FcChar8*>(name.c_str())));
    if (!pattern) return nullptr;
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    return PatternPtr(FcFontMatch(nullptr, pattern.get(), &result));
}

}  // namespace

int pointsToPixels(int points) {
    const int scaled = points * 96;
    return scaled >= 0 ? (scaled + 36) / 72 : -((-scaled + 36) / 72);
}

FontFile findFontFile(const std::string& face, bool bold) {
    FontFile file;
    if (!FcInit()) return file;
    PatternPtr match = matchFace(face, bold);
    if (!match) return file;
    FcChar8* path = nullptr;
    if (FcPatternGetString(match.get(), FC_FILE, 0, &path) != FcResultMatch || !path) return file;
    file.path = reinterpret_cast<const char*>(path);
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &file.index);
    int weight = FC_WEIGHT_REGULAR;
    FcPatternGetInteger(match.get(), FC_WEIGHT, 0, &weight);
    file.embolden = bold && weight < FC_WEIGHT_DEMIBOLD;
    return file;
}

FontCache::FontCache() : ttfReady_(TTF_Init() == 0) {}

FontCache::~FontCache() {
    clear();
    if (ttfReady_) TTF_Quit();
}

TTF_Font* FontCache::get(const std::string& face, int pixelSize, bool bold) {
    if (!ttfReady_ || pixelSize <= 0) return nullptr;
    const Key key{face, pixelSize, bold};
    if (auto it = fonts_.find(key); it != fonts_.end()) return it->second;
    const FontFile file = findFontFile(face, bold);
    TTF_Font* font = nullptr;
    if (!file.path.empty()) font = TTF_OpenFontIndex(file.path.c_str(), pixelSize, file.index);
    if (font && file.embolden) TTF_SetFontStyle(font, TTF_STYLE_BOLD);
    if (font) fonts_.emplace(key, font);
    return font;
}

void FontCache::clear() {
    for (auto& entry : fonts_) TTF_CloseFont(entry.second);
    fonts_.clear();
}

FontCache& FontCache::shared() {
    static FontCache cache;
    return cache;
}

SDL_Surface* renderSolid(TTF_Font* font, const std::string& text) {
    return TTF_RenderUTF8_Solid(font, text.c_str(), SDL_Color{255, 255, 255, 255});
}

SDL_Surface* renderBlended(TTF_Font* font, const std::string& text, SDL_Color color) {
    return TTF_RenderUTF8_Blended(font, text.c_str(), color);
}

int textWidth(TTF_Font* font, const std::string& text) {
    int width = 0, height = 0;
    if (!text.empty()) TTF_SizeUTF8(font, text.c_str(), &width, &height);
    return width;
}

int lineHeight(TTF_Font* font) {
    return TTF_FontHeight(font);
}

}  // namespace vek::platform::fonts
