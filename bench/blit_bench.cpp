// Throughput of the drawing operations between surfaces on headless device surfaces: the
// keyed point and scaled copies of a 32 × 32 pattern against a bare SDL_BlitSurface of the
// same pixels, and the wave copy of a 600 × 89 picture onto a 640 × 480 surface.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <stdexcept>

#include "graphics/direct_draw.hpp"
#include "platform/headless/headless_platform.hpp"
#include "platform/platform.hpp"

namespace vek {
namespace {

namespace gfx = platform::gfx;

// Pattern texels: a keyed diagonal every fifth pixel, other values non-zero.
std::uint32_t patternTexel(int x, int y) {
    return (x + y) % 5 == 0 ? 0u : 1u + std::uint32_t(x * 3 + y * 11) % 250;
}

struct Scene {
    explicit Scene(int bits) {
        back = make(640, 480, bits);
        pattern = make(32, 32, bits);
        logo = make(600, 89, bits);
        fillPattern(*pattern);
        fillPattern(*logo);
    }

    static platform::headless::HeadlessPlatform& installed() {
        static platform::headless::HeadlessPlatform backend;  // installs itself
        return backend;
    }
    std::unique_ptr<TDirectDrawSurface> make(int w, int h, int bits) {
        auto s = std::make_unique<TDirectDrawSurface>(&draw);
        gfx::SurfaceDescription d;
        d.width = w, d.height = h, d.caps = gfx::capsOffscreenPlain, d.format.bitCount = bits;
        if (!s->CreateSurface(d)) throw std::runtime_error("surface cannot be made");
        return s;
    }
    static void fillPattern(TDirectDrawSurface& s) {
        gfx::LockedRect locked;
        if (!s.Lock(nullptr, locked)) throw std::runtime_error("lock");
        const int bytes = s.BitCount() / 8;
        for (int y = 0; y < s.Height(); ++y)
            for (int x = 0; x < s.Width(); ++x) {
                const std::uint32_t v = patternTexel(x, y);
                auto* p = static_cast<std::uint8_t*>(locked.bits) + y * locked.pitch + x * bytes;
                for (int i = 0; i < bytes; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
            }
        s.Unlock();
        s.SetColorKey(0);
    }

    platform::headless::HeadlessPlatform& backend = installed();  // before the device opens
    TDirectDraw draw;
    std::unique_ptr<TDirectDrawSurface> back, pattern, logo;
};

Scene& scene(int bits) {
    static Scene eight(8), thirtyTwo(32);
    return bits == 8 ? eight : thirtyTwo;
}

void BM_Draw(benchmark::State& state) {
    Scene& s = scene(static_cast<int>(state.range(0)));
    const TRect src{0, 0, 32, 32};
    for (auto _ : state) s.back->Draw(100, 100, src, s.pattern.get(), true);
}
BENCHMARK(BM_Draw)->Arg(8)->Arg(32);

void BM_StretchDraw(benchmark::State& state) {
    Scene& s = scene(static_cast<int>(state.range(0)));
    const TRect src{0, 0, 32, 32}, dst{100, 100, 132, 132};
    for (auto _ : state) s.back->StretchDraw(dst, src, s.pattern.get(), true);
}
BENCHMARK(BM_StretchDraw)->Arg(8)->Arg(32);

// The same keyed 32 × 32 copy done by SDL directly between two of its own surfaces.
void BM_SdlBlitSurface(benchmark::State& state) {
    const bool eight = state.range(0) == 8;
    const Uint32 format = eight ? SDL_PIXELFORMAT_INDEX8 : SDL_PIXELFORMAT_RGB888;
    SDL_Surface* dst = SDL_CreateRGBSurfaceWithFormat(0, 640, 480, eight ? 8 : 32, format);
    SDL_Surface* src = SDL_CreateRGBSurfaceWithFormat(0, 32, 32, eight ? 8 : 32, format);
    if (eight) SDL_SetSurfacePalette(src, dst->format->palette);
    SDL_LockSurface(src);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            auto* p =
                static_cast<std::uint8_t*>(src->pixels) + y * src->pitch + x * src->format->BytesPerPixel;
            const std::uint32_t v = patternTexel(x, y);
            if (eight)
                *p = static_cast<std::uint8_t>(v);
            else
                std::memcpy(p, &v, 4);
        }
    SDL_UnlockSurface(src);
    SDL_SetColorKey(src, SDL_TRUE, 0);
    SDL_Rect at{100, 100, 32, 32};
    for (auto _ : state) {
        SDL_Rect r = at;
        SDL_BlitSurface(src, nullptr, dst, &r);
    }
    SDL_FreeSurface(src);
    SDL_FreeSurface(dst);
}
BENCHMARK(BM_SdlBlitSurface)->Arg(8)->Arg(32);

void BM_DrawWaveX(benchmark::State& state) {
    Scene& s = scene(static_cast<int>(state.range(0)));
    const TRect src{0, 0, 600, 89};
    int phase = 0;
    for (auto _ : state) s.back->DrawWaveX(20, 80, 600, 89, src, s.logo.get(), true, 2, 32, phase++);
}
BENCHMARK(BM_DrawWaveX)->Arg(8)->Arg(32)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vek
