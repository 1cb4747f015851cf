// Sprite engine costs on the headless device: one frame (Move(16), Dead, Draw onto the
// 640 × 480 back surface) with 1,000 and 10,000 image sprites, one Collision call among
// 1,000 and 10,000 siblings, the tiled star map drawn at 8 and 32 bits with 200 and 20
// columns, and the pixel-exact overlap test. Warm frames and map draws must not allocate.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "alloc_counter.hpp"
#include "graphics/dib.hpp"
#include "graphics/dib_format.hpp"
#include "graphics/direct_draw.hpp"
#include "graphics/dxdraw.hpp"
#include "graphics/image_list.hpp"
#include "platform/headless/headless_platform.hpp"
#include "platform/toolkit/form.hpp"
#include "runtime/stream.hpp"
#include "sprite/background_sprite.hpp"
#include "sprite/image_sprite.hpp"
#include "sprite/pixel_overlap.hpp"
#include "sprite/sprite_engine.hpp"

namespace vek {
namespace {

namespace gfx = platform::gfx;

// The program-wide generator of the game: the same sequence on every run.
class Random {
public:
    std::uint32_t operator()(std::uint32_t n) {
        seed_ = seed_ * 134775813u + 1;
        return static_cast<std::uint32_t>((std::uint64_t{seed_} * n) >> 32);
    }

private:
    std::uint32_t seed_ = 0;
};

// An 8-bit picture whose colour i is a grey of level i; index(x, y) gives each pixel.
TDIB greyPicture(int width, int height, const std::function<std::uint8_t(int, int)>& index) {
    DibHeader header;
    header.width = width, header.height = height, header.bitCount = 8;
    const auto rowBytes = static_cast<std::size_t>(dibRowBytes(8, width));
    header.imageSize = static_cast<std::uint32_t>(rowBytes * static_cast<std::size_t>(height));
    const auto head = encodeInfoHeader(header);
    std::vector<std::uint8_t> bytes(head.begin(), head.end());
    for (int i = 0; i < 256; ++i)
        bytes.insert(bytes.end(), {std::uint8_t(i), std::uint8_t(i), std::uint8_t(i), 0});
    for (int y = height - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(rowBytes, 0);
        for (int x = 0; x < width; ++x) row[static_cast<std::size_t>(x)] = index(x, y);
        bytes.insert(bytes.end(), row.begin(), row.end());
    }
    TMemoryStream stream(bytes);
    TDIB picture;
    picture.LoadFromStream(stream);
    return picture;
}

// A disk of radius r about the centre of a size × size cell; black (keyed) outside.
std::uint8_t disk(int x, int y, int size, int r, std::uint8_t level) {
    const int dx = x % size - size / 2, dy = y % size - size / 2;
    return dx * dx + dy * dy < r * r ? level : 0;
}

// A display on a window of the headless device (full screen at 8 bits, windowed at 32),
// its image list with the game's shapes of picture, and the sprite engine.
struct Rig {
    explicit Rig(int bits) {
        platform::WindowSpec spec;
        spec.clientWidth = 640, spec.clientHeight = 480;
        form.CreateWindowHandle(spec);
        display.SetBounds(0, 0, 640, 480);
        display.AutoSize = false;
        if (bits == 8) {
            display.SetOptions(display.Options() + TDXDrawOptions{doFullScreen});
            display.Display().FixedBitCount = true;
            display.Display().SetBitCount(8);
        }
        list.SetDXDraw(&display);
        component.SetDXDraw(&display);
        add("Disk",
            greyPicture(128, 32, [](int x, int y) { return disk(x, y, 32, 14, std::uint8_t(60 + x / 32)); }),
            32, 32);
        add("Star",
            greyPicture(128, 64, [](int x, int y) { return disk(x, y, 16, 3, std::uint8_t(100 + x / 16)); }),
            16, 16);
        display.Initialize();
        if (display.Surface()->BitCount() != bits) throw std::runtime_error("display depth");
    }
    TPictureCollectionItem& add(const char* name, const TDIB& picture, int pw, int ph) {
        auto& item = list.Items().Add();
        item.SetName(name);
        item.Picture.Assign(picture);
        item.PatternWidth = pw, item.PatternHeight = ph;
        return item;
    }
    TSpriteEngine& engine() { return component.Engine(); }

    platform::headless::HeadlessPlatform backend;
    platform::TCustomForm form{nullptr};
    TDXDraw display{&form};
    TDXImageList list{&form};
    TDXSpriteEngine component{&form};
};

// Counts allocations around each measured step; a warm step that allocates fails the run.
template <typename Step>
void measureWarm(benchmark::State& state, Step&& step) {
    for (int i = 0; i < 3; ++i) step();
    std::uint64_t allocations = 0;
    for (auto _ : state) {
        const auto before = bench::allocationCount();
        step();
        allocations += bench::allocationCount() - before;
    }
    state.counters["allocs_per_step"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
    if (allocations > 0) state.SkipWithError("a warm step allocated");
}

// An enemy drifting left through a field three screens wide and high, wrapping around.
class Drifter : public TImageSprite {
public:
    Drifter(TSprite* parent, double speed) : TImageSprite(parent), speed_(speed) {}

protected:
    void DoMove(int moveCount) override {
        TImageSprite::DoMove(moveCount);
        X -= speed_ * moveCount;
        if (X < -640) X += 1920;
    }

private:
    double speed_;
};

void spreadSprites(Rig& rig, int count) {
    Random random;
    auto& item = rig.list.Items().Find("Disk");
    for (int i = 0; i < count; ++i) {
        auto& s = TSprite::Create<Drifter>(rig.engine(), 0.02 + random(100) / 1000.0);
        s.SetImage(&item);
        s.X = static_cast<double>(random(1920)) - 640;
        s.Y = static_cast<double>(random(1440)) - 480;
        s.AnimCount = item.PatternCount(), s.AnimLooped = true, s.AnimSpeed = 0.015;
        s.SetZ(static_cast<int>(random(4)));
    }
}

void BM_SpriteFrame(benchmark::State& state) {
    Rig rig(32);
    const auto count = static_cast<int>(state.range(0));
    spreadSprites(rig, count);
    measureWarm(state, [&] {
        rig.component.Move(16);
        rig.component.Dead();
        rig.component.Draw();
    });
    state.counters["drawn_per_frame"] = rig.engine().DrawCount();
    state.counters["per_sprite"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * count,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SpriteFrame)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_SpriteCollision(benchmark::State& state) {
    TSpriteEngine engine;
    Random random;
    for (int i = 0; i < state.range(0); ++i) {
        auto& s = TSprite::Create<TImageSprite>(engine);
        s.Width = s.Height = 32;
        s.X = random(1920), s.Y = random(1440);
    }
    auto& shot = TSprite::Create<TImageSprite>(engine);
    shot.Width = 16, shot.Height = 8, shot.X = 960, shot.Y = 720;
    int hits = 0;
    measureWarm(state, [&] { hits = shot.Collision(); });
    state.counters["hits"] = hits;
}
BENCHMARK(BM_SpriteCollision)->Arg(1000)->Arg(10000);

// The game's star layer: 10 rows, 95 % of the cells empty, the others chips 29 … 32. The
// 200-column map repeats the 20-column one, so both put the same cells on screen.
void BM_StarMapDraw(benchmark::State& state) {
    const auto bits = static_cast<int>(state.range(0));
    const auto columns = static_cast<int>(state.range(1));
    Rig rig(bits);
    auto& layer = TSprite::Create<TBackgroundSprite>(rig.engine());
    layer.SetMapSize(columns, 10);
    layer.SetImage(&rig.list.Items().Find("Star"));
    layer.Tile = true;
    Random random;
    int pattern[10][20];
    for (auto& row : pattern)
        for (int& chip : row) {
            chip = 32 - static_cast<int>(random(32 / 8));
            if (random(100) < 95) chip = -1;
        }
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < columns; ++x) layer.SetChips(x, y, pattern[y][x % 20]);
    measureWarm(state, [&] {
        layer.X -= 0.96;
        rig.engine().Draw();
    });
}
BENCHMARK(BM_StarMapDraw)->Args({8, 200})->Args({8, 20})->Args({32, 200})->Args({32, 20});

// A 48 × 32 pattern inside a 179 × 56 picture. Without a hit the whole window is scanned
// (their opaque parts interleave by columns); with one, the scan stops at the window's centre.
void BM_PixelOverlapTest(benchmark::State& state) {
    const auto bits = static_cast<int>(state.range(0));
    const bool hit = state.range(1) != 0;
    platform::headless::HeadlessPlatform backend;
    TDirectDraw draw;
    auto make = [&](int w, int h, const std::function<std::uint32_t(int, int)>& value) {
        auto s = std::make_unique<TDirectDrawSurface>(&draw);
        gfx::SurfaceDescription d;
        d.width = w, d.height = h, d.caps = gfx::capsOffscreenPlain, d.format.bitCount = bits;
        if (!s->CreateSurface(d)) throw std::runtime_error("surface cannot be made");
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) s->SetPixel(x, y, value(x, y));
        s->SetColorKey(0);
        return s;
    };
    auto attacker =
        make(48, 32, [&](int x, int y) { return x % 2 == 0 || (hit && x == 25 && y == 16) ? 5u : 0u; });
    auto boss = make(179, 56, [](int x, int) { return x % 2 == 1 ? 9u : 0u; });
    const TRect pr1{0, 0, 48, 32}, pr2{0, 0, 179, 56};
    bool result = false;
    for (auto _ : state) {
        result = PixelOverlapTest(attacker.get(), boss.get(), pr1, pr2, 60, 12, 0, 0);
        benchmark::DoNotOptimize(result);
    }
    if (result != hit) state.SkipWithError("wrong answer");
}
BENCHMARK(BM_PixelOverlapTest)->Args({8, 0})->Args({8, 1})->Args({32, 0})->Args({32, 1});

}  // namespace
}  // namespace vek
