// vektrion-about-icon OUT.cpp [OUT.bmp]: draws the About box's icon, a small ship flying
// right, as a 32 × 32 bitmap file with 16 colours (4 bits per pixel), and writes it as the
// C++ source src/app/window/about_icon_data.cpp (and, when asked, as a .bmp file to look at). It
// is run by hand when the icon changes, and is not installed.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/arguments.hpp"
#include "runtime/byte_order.hpp"
#include "runtime/stream.hpp"

namespace {

constexpr int kSize = 32;

// The sixteen standard colours, as 0xRRGGBB, in their usual order.
constexpr std::array<std::uint32_t, 16> kPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
enum Index : std::uint8_t {
    kBlack = 0,
    kNavy = 4,
    kSilver = 7,
    kGray = 8,
    kRed = 9,
    kYellow = 11,
    kBlue = 12,
    kBackground = 13,  // fuchsia: the bottom-left pixel's colour, shown transparent
    kAqua = 14,
    kWhite = 15,
};

using Canvas = std::array<std::array<std::uint8_t, kSize>, kSize>;  // [y][x]

struct Point {
    float x, y;
};

bool insidePolygon(const std::vector<Point>& polygon, float x, float y) {
    bool inside = false;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const Point& a = polygon[i];
        const Point& b = polygon[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) inside = !inside;
    }
    return inside;
}

// Half the hull's height at x: straight at the back, tapering to the nose at x = 31.
float hullHalfHeight(float x) {
    if (x < 5.f || x > 31.f) return 0.f;
    return x < 20.f ? 4.5f : 4.5f * (31.f - x) / 11.f;
}

std::uint8_t shipPixel(float x, float y) {
    const float half = hullHalfHeight(x);
    const float dy = y - 16.f;
    // The canopy bulges out of the hull's top.
    if (std::hypot((x - 19.5f) / 5.f, (y - 12.8f) / 2.6f) < 1.f && y < 14.f)
        return (x < 18.f && y < 12.f) ? kWhite : kAqua;
    if (std::fabs(dy) < half) {
        if (dy > 0.f && dy < 1.f && x > 6.f && x < 25.f) return kRed;
        return dy < -1.5f ? kWhite : (dy < 2.f ? kSilver : kGray);
    }
    const std::vector<Point> topWing = {{9.f, 12.f}, {19.f, 12.f}, {11.f, 3.f}, {6.f, 3.f}};
    const std::vector<Point> bottomWing = {{9.f, 20.f}, {19.f, 20.f}, {11.f, 29.f}, {6.f, 29.f}};
    if (insidePolygon(topWing, x, y) || insidePolygon(bottomWing, x, y))
        return (std::fabs(dy) > 9.f || x < 9.f) ? kNavy : kBlue;
    // The engine's flame behind the hull.
    if (x >= 1.f && x < 5.f && std::fabs(dy) < 3.f - (5.f - x) * 0.5f)
        return (std::fabs(dy) < 1.2f && x >= 2.f) ? kYellow : kRed;
    return kBackground;
}

Canvas drawShip() {
    Canvas canvas{};
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) canvas[y][x] = shipPixel(float(x) + 0.5f, float(y) + 0.5f);
    // A black outline around everything but the flame.
    Canvas outlined = canvas;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            if (canvas[y][x] != kBackground) continue;
            const int dx[] = {1, -1, 0, 0}, dy[] = {0, 0, 1, -1};
            for (int k = 0; k < 4; ++k) {
                const int nx = x + dx[k], ny = y + dy[k];
                if (nx < 0 || ny < 0 || nx >= kSize || ny >= kSize) continue;
                const std::uint8_t n = canvas[ny][nx];
                if (n != kBackground && n != kYellow && n != kRed) outlined[y][x] = kBlack;
            }
        }
    }
    return outlined;
}

// The bitmap file: file header, 40-byte information header, 16 colour-table entries, and
// the rows bottom-up with two pixels a byte, the left one in the high nibble.
std::vector<std::uint8_t> bitmapFile(const Canvas& canvas) {
    constexpr int kRowBytes = kSize / 2;
    constexpr int kPixelOffset = 14 + 40 + 16 * 4;
    std::vector<std::uint8_t> bytes(kPixelOffset + kRowBytes * kSize, 0);
    std::uint8_t* p = bytes.data();
    p[0] = 'B';
    p[1] = 'M';
    vek::writeLe32(p + 2, static_cast<std::uint32_t>(bytes.size()));
    vek::writeLe32(p + 10, kPixelOffset);
    vek::writeLe32(p + 14, 40);
    vek::writeLe32(p + 18, kSize);
    vek::writeLe32(p + 22, kSize);
    vek::writeLe16(p + 26, 1);  // planes
    vek::writeLe16(p + 28, 4);  // bits per pixel
    vek::writeLe32(p + 34, kRowBytes * kSize);
    vek::writeLe32(p + 46, 16);  // colours used
    for (std::size_t i = 0; i < kPalette.size(); ++i) {
        std::uint8_t* entry = p + 54 + i * 4;
        entry[0] = static_cast<std::uint8_t>(kPalette[i]);
        entry[1] = static_cast<std::uint8_t>(kPalette[i] >> 8);
        entry[2] = static_cast<std::uint8_t>(kPalette[i] >> 16);
    }
    for (int y = 0; y < kSize; ++y) {
        std::uint8_t* row = p + kPixelOffset + (kSize - 1 - y) * kRowBytes;
        for (int x = 0; x < kSize; x += 2) row[x / 2] = std::uint8_t(canvas[y][x] << 4 | canvas[y][x + 1]);
    }
    return bytes;
}

std::string cppSource(const std::vector<std::uint8_t>& bytes) {
    std::string out =
        "// The About box's icon: a 32 x 32 bitmap file with 16 colours (4 bits per pixel).\n"
        "// generated by tools/about_icon.cpp, do not edit\n"
        "#include \"app/window/about_icon.hpp\"\n\n"
        "namespace vek {\n\nnamespace {\n\n// clang-format off\n"
        "constexpr std::uint8_t kAboutIcon[] = {\n";
    char hex[8];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i % 16 == 0) out += "    ";
        std::snprintf(hex, sizeof hex, "0x%02X,", bytes[i]);
        out += hex;
        out += (i % 16 == 15 || i + 1 == bytes.size()) ? "\n" : " ";
    }
    out +=
        "};\n// clang-format on\n\n}  // namespace\n\n"
        "std::span<const std::uint8_t> AboutIconBitmap() {\n    return kAboutIcon;\n}\n\n"
        "}  // namespace vek\n";
    return out;
}

constexpr const char* kUsage =
    "usage: vektrion-about-icon OUT.cpp [OUT.bmp]\n"
    "Draws the About box's icon and writes it as OUT.cpp, the C++ source that carries it,\n"
    "and as the bitmap file OUT.bmp when asked.\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n";

constexpr std::string_view kOperands[] = {"OUT.cpp", "OUT.bmp"};
constexpr vek::TProgramSpec kProgram{"vektrion-about-icon", kUsage, {}, kOperands, 1};

int writeIcon(const vek::TArguments& arguments) {
    const std::vector<std::uint8_t> bitmap = bitmapFile(drawShip());
    const std::string source = cppSource(bitmap);
    vek::writeFileBytes(std::string(arguments.Operands[0]),
                        std::span(reinterpret_cast<const std::uint8_t*>(source.data()), source.size()));
    if (arguments.Operands.size() == 2) vek::writeFileBytes(std::string(arguments.Operands[1]), bitmap);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    vek::TArguments arguments;
    if (const auto exit = vek::ReadArguments(kProgram, argc, argv, arguments)) return *exit;
    return vek::RunGuarded(kProgram.Name, [&] { return writeIcon(arguments); });
}
