// Text through SDL_ttf with faces chosen by fontconfig, rectangles and drawn icons.
#include "platform/sdl/toolkit_paint.hpp"

#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>

#include "platform/fonts/font_cache.hpp"
#include "platform/toolkit.hpp"

namespace vek::platform::sdl {

namespace {

SDL_Color toSdl(std::uint32_t rgb) {
    return SDL_Color{static_cast<Uint8>(rgb >> 16), static_cast<Uint8>(rgb >> 8), static_cast<Uint8>(rgb),
                     255};
}

void blitText(SDL_Surface* rendered, SDL_Surface* target, int x, int y) {
    if (!rendered) return;
    SDL_SetSurfaceBlendMode(rendered, SDL_BLENDMODE_BLEND);
    SDL_Rect dst{x, y, rendered->w, rendered->h};
    SDL_BlitSurface(rendered, nullptr, target, &dst);
    SDL_FreeSurface(rendered);
}

}  // namespace

TTF_Font* TextPainter::font(const std::string& face, int size) {
    return fonts::FontCache::shared().get(face, size);
}

int TextPainter::width(const std::string& text, int size, const std::string& face) {
    TTF_Font* f = font(face, size);
    int w = 0, h = 0;
    if (text.empty()) return 0;
    if (!f || TTF_SizeUTF8(f, text.c_str(), &w, &h) != 0) return static_cast<int>(text.size()) * size / 2;
    return w;
}

int TextPainter::lineHeight(int size, const std::string& face) {
    TTF_Font* f = font(face, size);
    return f ? TTF_FontHeight(f) : size + size / 4;
}

int TextPainter::ascent(int size, const std::string& face) {
    TTF_Font* f = font(face, size);
    return f ? TTF_FontAscent(f) : size;
}

void TextPainter::draw(SDL_Surface* target, int x, int y, const std::string& text, std::uint32_t color,
                       int size, const std::string& face, bool underline) {
    TTF_Font* f = font(face, size);
    if (!f || text.empty()) return;
    const int style = TTF_GetFontStyle(f);
    if (underline) TTF_SetFontStyle(f, style | TTF_STYLE_UNDERLINE);
    blitText(TTF_RenderUTF8_Blended(f, text.c_str(), toSdl(color)), target, x, y);
    if (underline) TTF_SetFontStyle(f, style);
}

void TextPainter::drawWrapped(SDL_Surface* target, const SDL_Rect& box, const std::string& text,
                              std::uint32_t color, int size, const std::string& face, bool underline) {
    TTF_Font* f = font(face, size);
    if (!f || text.empty() || box.w <= 0) return;
    const int style = TTF_GetFontStyle(f);
    if (underline) TTF_SetFontStyle(f, style | TTF_STYLE_UNDERLINE);
    SDL_Surface* rendered =
        TTF_RenderUTF8_Blended_Wrapped(f, text.c_str(), toSdl(color), static_cast<Uint32>(box.w));
    if (underline) TTF_SetFontStyle(f, style);
    if (!rendered) return;
    SDL_Rect clip{box.x, box.y, box.w, box.h};
    SDL_Rect old;
    SDL_GetClipRect(target, &old);
    SDL_SetClipRect(target, &clip);
    blitText(rendered, target, box.x, box.y);
    SDL_SetClipRect(target, &old);
}

void fillRect(SDL_Surface* target, const SDL_Rect& rect, std::uint32_t color) {
    SDL_FillRect(target, &rect,
                 SDL_MapRGB(target->format, color >> 16 & 0xFF, color >> 8 & 0xFF, color & 0xFF));
}

BoxIcon iconFromFlags(std::uint32_t flags) {
    switch (flags & 0xF0) {
        case MB_ICONERROR:
            return BoxIcon::Error;
        case MB_ICONWARNING:
            return BoxIcon::Warning;
        case MB_ICONINFORMATION:
            return BoxIcon::Information;
        default:
            return BoxIcon::None;
    }
}

namespace {

// Coverage of the icon's shape at a pixel centre: 1 inside, 0 outside, soft at the edge.
using Shape = float (*)(float x, float y);

float disc(float x, float y) {
    return std::clamp(15.5f - std::hypot(x - 16.f, y - 16.f), 0.f, 1.f);
}

float triangle(float x, float y) {
    // Apex at (16, 2), base from (1, 30) to (31, 30): inside when below both slanted edges.
    const float left = (x - 1.f) * 28.f - (30.f - y) * 15.f;
    const float right = (31.f - x) * 28.f - (30.f - y) * 15.f;
    const float base = 30.f - y;
    return std::clamp(std::min({left / 31.8f, right / 31.8f, base}) + 0.5f, 0.f, 1.f);
}

float cross(float x, float y) {
    const float u = std::fabs((x - 16.f) - (y - 16.f)) / 1.414f,
                v = std::fabs((x - 16.f) + (y - 16.f)) / 1.414f;
    const bool withinArm = std::fabs(x - 16.f) < 7.5f && std::fabs(y - 16.f) < 7.5f;
    return withinArm ? std::clamp(2.2f - std::min(u, v), 0.f, 1.f) : 0.f;
}

float infoMark(float x, float y) {
    const float dot = std::clamp(2.3f - std::hypot(x - 16.f, y - 9.f), 0.f, 1.f);
    const float stem = (y > 13.f && y < 25.f && std::fabs(x - 16.f) < 2.f) ? 1.f : 0.f;
    return std::max(dot, stem);
}

float bangMark(float x, float y) {
    const float dot = std::clamp(2.f - std::hypot(x - 16.f, y - 25.f), 0.f, 1.f);
    const float stem = (y > 10.f && y < 21.f && std::fabs(x - 16.f) < 1.8f - (y - 10.f) * 0.05f) ? 1.f : 0.f;
    return std::max(dot, stem);
}

Uint32 blend(SDL_PixelFormat* format, Uint32 under, std::uint32_t rgb, float coverage) {
    Uint8 r, g, b;
    SDL_GetRGB(under, format, &r, &g, &b);
    const auto mix = [coverage](Uint8 a, std::uint32_t c) {
        return static_cast<Uint8>(a + (static_cast<float>(c & 0xFF) - a) * coverage);
    };
    return SDL_MapRGB(format, mix(r, rgb >> 16), mix(g, rgb >> 8), mix(b, rgb));
}

void paintShape(SDL_Surface* target, int x0, int y0, Shape shape, std::uint32_t rgb) {
    SDL_LockSurface(target);
    for (int y = 0; y < 32; ++y) {
        if (y0 + y < 0 || y0 + y >= target->h) continue;
        auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(target->pixels) + (y0 + y) * target->pitch);
        for (int x = 0; x < 32; ++x) {
            if (x0 + x < 0 || x0 + x >= target->w) continue;
            const float coverage = shape(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
            if (coverage > 0.f) row[x0 + x] = blend(target->format, row[x0 + x], rgb, coverage);
        }
    }
    SDL_UnlockSurface(target);
}

}  // namespace

void drawIcon(SDL_Surface* target, int x, int y, BoxIcon icon) {
    if (target->format->BytesPerPixel != 4) return;
    switch (icon) {
        case BoxIcon::Error:
            paintShape(target, x, y, disc, 0xD9302C);
            paintShape(target, x, y, cross, 0xFFFFFF);
            break;
        case BoxIcon::Warning:
            paintShape(target, x, y, triangle, 0xF2C200);
            paintShape(target, x, y, bangMark, 0x202020);
            break;
        case BoxIcon::Information:
            paintShape(target, x, y, disc, 0x1C64C8);
            paintShape(target, x, y, infoMark, 0xFFFFFF);
            break;
        case BoxIcon::None:
            break;
    }
}

}  // namespace vek::platform::sdl
