// The 2-D graphics service with the shape of a DirectDraw device: device, cooperative
// level, display modes, surfaces, clipper, palette, blits, locks and drawing contexts.
// Results are recorded, never thrown.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/types.hpp"

namespace vek::platform {
class Window;
}

namespace vek::platform::gfx {

enum class HResult : std::int32_t {
    Ok = 0,
    Generic,  // unspecified failure
    InvalidParams,
    OutOfMemory,       // not even system memory
    OutOfVideoMemory,  // video memory refused; system memory may still work
    SurfaceLost,       // the surface's memory was taken away; Restore it
    SurfaceBusy,       // already locked
    NotLocked,
    NoClipperAttached,
    CannotClip,  // BltFast found a clipper attached
    Unsupported,
    InvalidMode,  // display mode not available
    NoExclusiveMode,
    NoDevice,  // no display
};

constexpr bool succeeded(HResult r) {
    return r == HResult::Ok;
}

struct PixelFormat {
    int bitCount = 0;  // 8: palette-indexed; 16, 24, 32: packed channels
    std::uint32_t redMask = 0;
    std::uint32_t greenMask = 0;
    std::uint32_t blueMask = 0;
    std::uint32_t alphaMask = 0;
    bool indexed() const { return bitCount <= 8; }
    friend bool operator==(const PixelFormat&, const PixelFormat&) = default;
};

// Surface capabilities.
inline constexpr std::uint32_t capsPrimarySurface = 0x1;
inline constexpr std::uint32_t capsOffscreenPlain = 0x2;
inline constexpr std::uint32_t capsSystemMemory = 0x4;
inline constexpr std::uint32_t capsVideoMemory = 0x8;
inline constexpr std::uint32_t capsFlip = 0x10;
inline constexpr std::uint32_t capsComplex = 0x20;
inline constexpr std::uint32_t capsBackBuffer = 0x40;

struct SurfaceDescription {
    int width = 0;
    int height = 0;
    int pitch = 0;
    std::uint32_t caps = 0;
    int backBufferCount = 0;
    PixelFormat format;  // left zero when asking: the display's format
    bool hasColorKey = false;
    std::uint32_t colorKeyLow = 0;
    std::uint32_t colorKeyHigh = 0;
};

struct LockedRect {
    void* bits = nullptr;
    int pitch = 0;
    SurfaceDescription description;
};

// A palette entry in the hardware's order: red, green, blue, flags.
struct PaletteEntry {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t flags = 0;
    friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};
using PaletteEntries = std::array<PaletteEntry, 256>;

inline constexpr std::uint32_t paletteCaps8Bit = 0x4;
inline constexpr std::uint32_t paletteCapsInitialize = 0x8;
inline constexpr std::uint32_t paletteCapsAllow256 = 0x2;

class Palette {
public:
    virtual ~Palette() = default;
    virtual HResult setEntries(int first, int count, const PaletteEntry* entries) = 0;
    virtual HResult getEntries(int first, int count, PaletteEntry* entries) const = 0;
};

class Clipper {
public:
    virtual ~Clipper() = default;
    // Clips to the visible client area of a window (screen coordinates).
    virtual HResult setWindow(Window* window) = 0;
    // Clips to a list of rectangles in the surface's own coordinates.
    virtual HResult setClipList(const std::vector<TRect>& rects) = 0;
};

// Blit flags.
inline constexpr std::uint32_t bltWait = 0x1;
inline constexpr std::uint32_t bltKeySrc = 0x2;
inline constexpr std::uint32_t bltDdfx = 0x4;
inline constexpr std::uint32_t bltColorFill = 0x8;

struct BltFx {
    bool mirrorLeftRight = false;
    bool mirrorUpDown = false;
    std::uint32_t fillColor = 0;  // raw pixel value for bltColorFill
};

// A picture in memory as a drawing context can copy it: bottom-up rows of
// ((bitCount * width + 31) / 32) * 4 bytes, with a 256-entry colour table for 1, 4 and
// 8 bits and channel masks for 16 and 32 bits.
struct DibView {
    int width = 0;
    int height = 0;
    int bitCount = 0;
    const std::uint8_t* bits = nullptr;
    const TRGBQuad* colorTable = nullptr;
    std::uint32_t redMask = 0;
    std::uint32_t greenMask = 0;
    std::uint32_t blueMask = 0;
};

struct Font {
    std::string name;  // empty: the desktop's default sans-serif face
    int size = 8;      // points
    TColor color = clBlack;
    bool bold = false;
};

// A GDI-style drawing context borrowed from a surface until it is released.
class DrawingContext {
public:
    virtual ~DrawingContext() = default;
    // Text with its top-left corner at (x, y); with a clear brush there is no background box.
    virtual void textOut(int x, int y, const std::string& text, const Font& font, bool clearBrush,
                         TColor brushColor) = 0;
    // Width and height of text in the given font.
    virtual TPoint textExtent(const std::string& text, const Font& font) = 0;
    // Copies src (a rectangle of a picture) scaled into dst, converting colours to the
    // surface's format (in 8 bits: nearest entry of the palette in force).
    virtual void stretchDIB(const TRect& dst, const DibView& picture, const TRect& src) = 0;
};

class Surface {
public:
    virtual ~Surface() = default;
    virtual HResult getDescription(SurfaceDescription& description) const = 0;
    // Locks rect (or the whole surface when null); only one lock at a time.
    virtual HResult lock(const TRect* rect, LockedRect& locked) = 0;
    virtual HResult unlock() = 0;
    // Copies srcRect of src into dstRect (scaled), clipped by an attached clipper.
    // With bltColorFill, fills dstRect with fx->fillColor and src is null.
    virtual HResult blt(const TRect* dstRect, Surface* src, const TRect* srcRect, std::uint32_t flags,
                        const BltFx* fx) = 0;
    // Unscaled copy to (x, y) without clipping; CannotClip when a clipper is attached.
    virtual HResult bltFast(int x, int y, Surface* src, const TRect* srcRect, std::uint32_t flags) = 0;
    virtual HResult setColorKey(std::uint32_t low, std::uint32_t high) = 0;
    virtual HResult setPalette(std::shared_ptr<Palette> palette) = 0;
    virtual HResult setClipper(std::shared_ptr<Clipper> clipper) = 0;
    virtual std::shared_ptr<Clipper> clipper() const = 0;
    virtual HResult isLost() const = 0;
    virtual HResult restore() = 0;
    virtual HResult getDC(DrawingContext*& context) = 0;
    virtual HResult releaseDC(DrawingContext* context) = 0;
    // Flipping chain: shows the back buffer.
    virtual HResult flip(std::uint32_t flags) = 0;
    virtual HResult getAttachedSurface(std::uint32_t caps, Surface*& attached) = 0;
};

struct DisplayMode {
    int width = 0;
    int height = 0;
    int bitCount = 0;
    friend bool operator==(const DisplayMode&, const DisplayMode&) = default;
};

struct DeviceCaps {
    bool paletteChangesInVBlank = false;
};

// Cooperative-level flags.
inline constexpr std::uint32_t coopNormal = 0x8;
inline constexpr std::uint32_t coopExclusive = 0x10;
inline constexpr std::uint32_t coopFullScreen = 0x1;
inline constexpr std::uint32_t coopAllowModeX = 0x40;
inline constexpr std::uint32_t coopFpuPreserve = 0x1000;
inline constexpr std::uint32_t coopNoWindowChanges = 0x4;
inline constexpr std::uint32_t coopAllowReboot = 0x2;

class Device {
public:
    virtual ~Device() = default;
    virtual HResult getCaps(DeviceCaps& caps) = 0;
    virtual HResult setCooperativeLevel(Window* window, std::uint32_t flags) = 0;
    virtual HResult enumDisplayModes(const std::function<void(const DisplayMode&)>& visit) = 0;
    virtual HResult setDisplayMode(int width, int height, int bitCount) = 0;
    virtual HResult restoreDisplayMode() = 0;
    virtual HResult getDisplayMode(DisplayMode& mode) = 0;
    virtual HResult createSurface(const SurfaceDescription& description,
                                  std::unique_ptr<Surface>& surface) = 0;
    virtual HResult createClipper(std::shared_ptr<Clipper>& clipper) = 0;
    virtual HResult createPalette(std::uint32_t caps, const PaletteEntries& entries,
                                  std::shared_ptr<Palette>& palette) = 0;
    virtual HResult waitForVerticalBlank() = 0;
    virtual HResult flipToGDISurface() = 0;
};

class GraphicsSystem {
public:
    virtual ~GraphicsSystem() = default;
    // Opens the device on the default display adapter.
    virtual HResult directDrawCreate(std::unique_ptr<Device>& device) = 0;
    // The desktop's 256 system palette entries (static colours at 0-9 and 246-255).
    virtual void getSystemPaletteEntries(PaletteEntries& entries) = 0;
};

}  // namespace vek::platform::gfx
