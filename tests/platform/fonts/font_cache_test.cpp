// Font lookup and the cache of opened fonts.
#include "platform/fonts/font_cache.hpp"

#include <SDL_ttf.h>
#include <gtest/gtest.h>

// Fontconfig loses a few bytes while it parses its configuration files, out of our reach;
// the leak checker of sanitizer builds is told to let them be.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

namespace vek::platform::fonts {
namespace {

TEST(GfxFontCache, PointsConvertAt96Dpi) {
    EXPECT_EQ(pointsToPixels(12), 16);
    EXPECT_EQ(pointsToPixels(9), 12);
    EXPECT_EQ(pointsToPixels(8), 11);
    EXPECT_EQ(pointsToPixels(0), 0);
}

TEST(GfxFontCache, FindsDefaultFace) {
    const FontFile file = findFontFile("", false);
    ASSERT_FALSE(file.path.empty());
    EXPECT_FALSE(file.embolden);
}

TEST(GfxFontCache, OpensEachFontOnce) {
    FontCache cache;
    ASSERT_TRUE(cache.ready());
    TTF_Font* a = cache.get("", 16);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(cache.get("", 16), a);
    EXPECT_EQ(cache.getPoints("", 12), a);
    TTF_Font* b = cache.get("", 20);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(b, a);
    EXPECT_EQ(cache.get("", 0), nullptr);
}

TEST(GfxFontCache, BoldIsHeavierThanRegular) {
    FontCache cache;
    TTF_Font* regular = cache.get("", 16, false);
    TTF_Font* bold = cache.get("", 16, true);
    ASSERT_NE(regular, nullptr);
    ASSERT_NE(bold, nullptr);
    int wRegular = 0, wBold = 0, h = 0;
    TTF_SizeUTF8(regular, "Iniciar juego", &wRegular, &h);
    TTF_SizeUTF8(bold, "Iniciar juego", &wBold, &h);
    EXPECT_GT(wBold, wRegular);
}

}  // namespace
}  // namespace vek::platform::fonts
