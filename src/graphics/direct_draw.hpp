// Wrappers of the 2-D graphics service: the device, surfaces with their drawing
// operations and text canvas, clipper and palette. Every platform call records its
// result; operations report success through a Boolean or the last result.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics.hpp"
#include "runtime/exception.hpp"
#include "runtime/types.hpp"

namespace vek {

VEK_DECLARE_ERROR(EDirectDrawError, Exception);
VEK_DECLARE_ERROR(EDirectDrawSurfaceError, Exception);
VEK_DECLARE_ERROR(EDirectDrawClipperError, Exception);
VEK_DECLARE_ERROR(EDirectDrawPaletteError, Exception);

inline constexpr const char* kCannotMake = "%s cannot be made";
inline constexpr const char* kCannotInitialize = "%s cannot be initialized";
inline constexpr const char* kNotMade = "%s not made";

class TDIB;
class TDirectDrawSurface;

// The device: opened on the default display adapter.
class TDirectDraw {
public:
    TDirectDraw();  // raises EDirectDrawError "%s cannot be initialized" with "DirectDraw"
    ~TDirectDraw();
    platform::gfx::Device& IDraw() const { return *device_; }
    const platform::gfx::DeviceCaps& DriverCaps() const { return caps_; }
    platform::gfx::HResult LastResult = platform::gfx::HResult::Ok;

private:
    std::unique_ptr<platform::gfx::Device> device_;
    platform::gfx::DeviceCaps caps_;
};

class TDirectDrawClipper {
public:
    explicit TDirectDrawClipper(TDirectDraw& draw);  // raises EDirectDrawClipperError
    const std::shared_ptr<platform::gfx::Clipper>& IDDClipper() const { return clipper_; }
    void SetHandle(platform::Window* window);
    void SetClipRects(const std::vector<TRect>& rects);
    // Attaches the clipper to a surface so blits onto it are clipped.
    bool AttachTo(TDirectDrawSurface& surface);
    platform::gfx::HResult LastResult = platform::gfx::HResult::Ok;

private:
    std::shared_ptr<platform::gfx::Clipper> clipper_;
};

class TDirectDrawPalette {
public:
    TDirectDrawPalette(TDirectDraw& draw, std::uint32_t caps, const platform::gfx::PaletteEntries& entries);
    const std::shared_ptr<platform::gfx::Palette>& IDDPalette() const { return palette_; }
    bool SetEntries(int start, int count, const platform::gfx::PaletteEntry* entries);
    platform::gfx::HResult LastResult = platform::gfx::HResult::Ok;

private:
    std::shared_ptr<platform::gfx::Palette> palette_;
};

enum class TBrushStyle { bsSolid, bsClear };

// A text canvas borrowing the surface's drawing context until Release.
class TDirectDrawSurfaceCanvas {
public:
    explicit TDirectDrawSurfaceCanvas(TDirectDrawSurface& surface);
    ~TDirectDrawSurfaceCanvas();
    TDirectDrawSurfaceCanvas(const TDirectDrawSurfaceCanvas&) = delete;
    TDirectDrawSurfaceCanvas& operator=(const TDirectDrawSurfaceCanvas&) = delete;

    struct TBrush {
        TBrushStyle Style = TBrushStyle::bsSolid;
        TColor Color = clWhite;
    } Brush;
    platform::gfx::Font Font;

    void TextOut(int x, int y, const std::string& text);
    TPoint TextExtent(const std::string& text);
    // Copies a rectangle of a picture scaled into a rectangle of the surface.
    void StretchDraw(const TRect& dst, const TDIB& picture, const TRect& src);
    void StretchDraw(const TRect& dst, const platform::gfx::DibView& picture, const TRect& src);
    // Gives the drawing context back to the surface, if it was obtained.
    void Release();
    bool HasContext() const { return context_ != nullptr; }

private:
    platform::gfx::DrawingContext* Context();
    TDirectDrawSurface* surface_;
    platform::gfx::DrawingContext* context_ = nullptr;
};

class TDirectDrawSurface {
public:
    explicit TDirectDrawSurface(TDirectDraw* draw);
    ~TDirectDrawSurface();
    TDirectDrawSurface(const TDirectDrawSurface&) = delete;
    TDirectDrawSurface& operator=(const TDirectDrawSurface&) = delete;

    TDirectDraw* DirectDraw() const { return draw_; }
    platform::gfx::Surface* IDDSurface() const { return wrapped_ ? wrapped_ : surface_.get(); }
    // Takes a platform surface made elsewhere (the primary, a flipping chain's buffer).
    void SetIDDSurface(std::unique_ptr<platform::gfx::Surface> surface);
    // Wraps a platform surface owned elsewhere (a flipping chain's back buffer).
    void WrapIDDSurface(platform::gfx::Surface* surface);
    // The platform surface; raises EDirectDrawSurfaceError "IDirectDrawSurface not made"
    // when there is none.
    platform::gfx::Surface& ISurface() const;
    // Makes a platform surface from a description, dropping the previous one; answers
    // whether the device made it (the result is in LastResult).
    bool CreateSurface(const platform::gfx::SurfaceDescription& description);

    bool SystemMemory = false;
    platform::gfx::HResult LastResult = platform::gfx::HResult::Ok;

    int Width() const { return desc_.width; }
    int Height() const { return desc_.height; }
    int BitCount() const { return desc_.format.bitCount; }
    TRect ClientRect() const { return TRect{0, 0, Width(), Height()}; }
    const platform::gfx::SurfaceDescription& SurfaceDesc() const { return desc_; }
    bool HasClipper() const { return hasClipper_; }

    // Basic operations.
    void SetSize(int width, int height);  // raises EDirectDrawSurfaceError "%s cannot be made"
    void Fill(std::uint32_t devColor);
    std::uint32_t MatchColor(TColor color);
    void SetColorKey(std::uint32_t raw);
    std::uint32_t ColorKey() const { return desc_.colorKeyLow; }
    std::uint32_t GetPixel(int x, int y);
    void SetPixel(int x, int y, std::uint32_t value);
    bool Lock(const TRect* rect, platform::gfx::LockedRect& locked);
    void Unlock();
    int LockCount() const { return lockCount_; }
    bool Restore();
    bool IsLost();
    void LoadGraphic(const TDIB& picture, const TRect& srcRect, int width = 0, int height = 0);
    TDirectDrawSurfaceCanvas& Canvas();
    // Re-reads the description after the platform surface changed.
    void RefreshDescription();

    // Drawing operations between surfaces.
    void Draw(int x, int y, const TRect& srcRect, TDirectDrawSurface* source, bool transparent);
    void StretchDraw(const TRect& destRect, const TRect& srcRect, TDirectDrawSurface* source,
                     bool transparent);
    void DrawAlpha(const TRect& destRect, const TRect& srcRect, TDirectDrawSurface* source, bool transparent,
                   int alpha);
    void DrawAdd(const TRect& destRect, const TRect& srcRect, TDirectDrawSurface* source, bool transparent,
                 int alpha);
    void DrawSub(const TRect& destRect, const TRect& srcRect, TDirectDrawSurface* source, bool transparent,
                 int alpha);
    void DrawRotate(int x, int y, int width, int height, const TRect& srcRect, TDirectDrawSurface* source,
                    bool transparent, double centerX, double centerY, double angle);
    void DrawRotateAlpha(int x, int y, int width, int height, const TRect& srcRect,
                         TDirectDrawSurface* source, bool transparent, double centerX, double centerY,
                         double angle, int alpha);
    void DrawRotateAdd(int x, int y, int width, int height, const TRect& srcRect, TDirectDrawSurface* source,
                       bool transparent, double centerX, double centerY, double angle, int alpha);
    void DrawRotateSub(int x, int y, int width, int height, const TRect& srcRect, TDirectDrawSurface* source,
                       bool transparent, double centerX, double centerY, double angle, int alpha);
    void DrawWaveX(int x, int y, int width, int height, const TRect& srcRect, TDirectDrawSurface* source,
                   bool transparent, int amplitude, int waveLength, int phase);
    void DrawWaveXAlpha(int x, int y, int width, int height, const TRect& srcRect, TDirectDrawSurface* source,
                        bool transparent, int amplitude, int waveLength, int phase, int alpha);
    void DrawWaveXAdd(int x, int y, int width, int height, const TRect& srcRect, TDirectDrawSurface* source,
                      bool transparent, int amplitude, int waveLength, int phase, int alpha);
    void DrawWaveXSub(int x, int y, int width, int height, const TRect& srcRect, TDirectDrawSurface* source,
                      bool transparent, int amplitude, int waveLength, int phase, int alpha);

private:
    friend class TDirectDrawSurfaceCanvas;
    // Lets go of the current platform surface: its context, its lock, its private clipper.
    void leaveSurface();
    TDirectDraw* draw_;
    std::unique_ptr<platform::gfx::Surface> surface_;
    platform::gfx::Surface* wrapped_ = nullptr;  // not owned
    platform::gfx::SurfaceDescription desc_;
    int lockCount_ = 0;
    bool hasClipper_ = false;
    std::unique_ptr<TDirectDrawClipper> stretchClipper_;  // StretchDraw's, clipped to this platform surface
    std::unique_ptr<TDirectDrawSurfaceCanvas> canvas_;
};

}  // namespace vek
