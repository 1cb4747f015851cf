// The device, clipper, palette and surface wrappers with the surfaces' basic operations
// (size, fill, colour key, colour matching, pixels, locks, restore, pictures) and the
// text canvas. The drawing operations between surfaces live in surface_draw.cpp.
#include "graphics/direct_draw.hpp"

#include <array>
#include <cstddef>

#include "graphics/dib.hpp"
#include "platform/platform.hpp"

namespace vek {

namespace gfx = platform::gfx;

namespace {

// Reads or writes one pixel of 8, 16, 24 (low byte first) or 32 bits.
std::uint32_t readPixel(const std::uint8_t* p, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= std::uint32_t(p[i]) << (8 * i);
    return v;
}

void writePixel(std::uint8_t* p, int bytes, std::uint32_t v) {
    for (int i = 0; i < bytes; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint8_t* pixelAddress(const gfx::LockedRect& locked, int x, int y, int bytes) {
    return static_cast<std::uint8_t*>(locked.bits) + static_cast<std::ptrdiff_t>(y) * locked.pitch +
           static_cast<std::ptrdiff_t>(x) * bytes;
}

int bytesPerPixel(int bitCount) {
    return (bitCount + 7) / 8;
}

}  // namespace

TDirectDraw::TDirectDraw() {
    LastResult = platform::current().graphics().directDrawCreate(device_);
    if (!gfx::succeeded(LastResult) || !device_)
        throw EDirectDrawError(formatMessage(kCannotInitialize, "DirectDraw"));
    LastResult = device_->getCaps(caps_);
}

TDirectDraw::~TDirectDraw() = default;

TDirectDrawClipper::TDirectDrawClipper(TDirectDraw& draw) {
    LastResult = draw.IDraw().createClipper(clipper_);
    if (!gfx::succeeded(LastResult) || !clipper_)
        throw EDirectDrawClipperError(formatMessage(kCannotMake, "Clipper"));
}

void TDirectDrawClipper::SetHandle(platform::Window* window) {
    LastResult = clipper_->setWindow(window);
}

void TDirectDrawClipper::SetClipRects(const std::vector<TRect>& rects) {
    LastResult = clipper_->setClipList(rects);
}

bool TDirectDrawClipper::AttachTo(TDirectDrawSurface& surface) {
    LastResult = surface.ISurface().setClipper(clipper_);
    surface.RefreshDescription();
    return gfx::succeeded(LastResult);
}

TDirectDrawPalette::TDirectDrawPalette(TDirectDraw& draw, std::uint32_t caps,
                                       const gfx::PaletteEntries& entries) {
    LastResult = draw.IDraw().createPalette(caps, entries, palette_);
    if (!gfx::succeeded(LastResult) || !palette_)
        throw EDirectDrawPaletteError(formatMessage(kCannotMake, "Palette"));
}

bool TDirectDrawPalette::SetEntries(int start, int count, const gfx::PaletteEntry* entries) {
    LastResult = palette_->setEntries(start, count, entries);
    return gfx::succeeded(LastResult);
}

TDirectDrawSurfaceCanvas::TDirectDrawSurfaceCanvas(TDirectDrawSurface& surface) : surface_(&surface) {}

TDirectDrawSurfaceCanvas::~TDirectDrawSurfaceCanvas() {
    Release();
}

gfx::DrawingContext* TDirectDrawSurfaceCanvas::Context() {
    if (context_) return context_;
    gfx::DrawingContext* context = nullptr;
    surface_->LastResult = surface_->ISurface().getDC(context);
    if (gfx::succeeded(surface_->LastResult)) context_ = context;
    return context_;
}

void TDirectDrawSurfaceCanvas::TextOut(int x, int y, const std::string& text) {
    if (auto* context = Context()) {
        gfx::Font font = Font;
        font.color = colorToRGB(font.color);
        context->textOut(x, y, text, font, Brush.Style == TBrushStyle::bsClear, colorToRGB(Brush.Color));
    }
}

TPoint TDirectDrawSurfaceCanvas::TextExtent(const std::string& text) {
    auto* context = Context();
    return context ? context->textExtent(text, Font) : TPoint{};
}

void TDirectDrawSurfaceCanvas::StretchDraw(const TRect& dst, const TDIB& picture, const TRect& src) {
    if (picture.Empty()) return;
    StretchDraw(dst, picture.View(), src);
}

void TDirectDrawSurfaceCanvas::StretchDraw(const TRect& dst, const gfx::DibView& picture, const TRect& src) {
    if (auto* context = Context()) context->stretchDIB(dst, picture, src);
}

void TDirectDrawSurfaceCanvas::Release() {
    if (!context_) return;
    auto* context = context_;
    context_ = nullptr;
    if (auto* surface = surface_->IDDSurface()) surface_->LastResult = surface->releaseDC(context);
}

TDirectDrawSurface::TDirectDrawSurface(TDirectDraw* draw) : draw_(draw) {}

TDirectDrawSurface::~TDirectDrawSurface() {
    canvas_.reset();
    Unlock();
}

gfx::Surface& TDirectDrawSurface::ISurface() const {
    auto* surface = IDDSurface();
    if (!surface) throw EDirectDrawSurfaceError(formatMessage(kNotMade, "IDirectDrawSurface"));
    return *surface;
}

void TDirectDrawSurface::SetIDDSurface(std::unique_ptr<gfx::Surface> surface) {
    leaveSurface();
    wrapped_ = nullptr;
    surface_ = std::move(surface);
    RefreshDescription();
}

void TDirectDrawSurface::WrapIDDSurface(gfx::Surface* surface) {
    leaveSurface();
    surface_.reset();
    wrapped_ = surface;
    RefreshDescription();
}

void TDirectDrawSurface::leaveSurface() {
    if (canvas_) canvas_->Release();
    Unlock();
    stretchClipper_.reset();
}

bool TDirectDrawSurface::CreateSurface(const gfx::SurfaceDescription& description) {
    SetIDDSurface(nullptr);
    if (!draw_) {
        LastResult = gfx::HResult::NoDevice;
        return false;
    }
    std::unique_ptr<gfx::Surface> made;
    LastResult = draw_->IDraw().createSurface(description, made);
    if (!gfx::succeeded(LastResult) || !made) return false;
    SetIDDSurface(std::move(made));
    return true;
}

void TDirectDrawSurface::RefreshDescription() {
    desc_ = {};
    hasClipper_ = false;
    if (auto* surface = IDDSurface()) {
        LastResult = surface->getDescription(desc_);
        hasClipper_ = surface->clipper() != nullptr;
    }
}

void TDirectDrawSurface::SetSize(int width, int height) {
    if (width <= 0 || height <= 0) {
        SetIDDSurface(nullptr);
        return;
    }
    gfx::SurfaceDescription description;
    description.width = width;
    description.height = height;
    description.caps = gfx::capsOffscreenPlain | (SystemMemory ? gfx::capsSystemMemory : 0u);
    if (CreateSurface(description)) return;
    if (!SystemMemory) {
        description.caps = gfx::capsOffscreenPlain | gfx::capsSystemMemory;
        if (CreateSurface(description)) {
            SystemMemory = true;
            return;
        }
    }
    throw EDirectDrawSurfaceError(formatMessage(kCannotMake, "Surface"));
}

void TDirectDrawSurface::Fill(std::uint32_t devColor) {
    auto* surface = IDDSurface();
    if (!surface) return;
    gfx::BltFx fx;
    fx.fillColor = devColor;
    const TRect whole = ClientRect();
    LastResult = surface->blt(&whole, nullptr, nullptr, gfx::bltColorFill | gfx::bltWait, &fx);
}

std::uint32_t TDirectDrawSurface::MatchColor(TColor color) {
    if (!IDDSurface()) return 0;
    const std::uint32_t old = GetPixel(0, 0);
    const TColor rgb = colorToRGB(color);
    // A 1 × 1 8-bit picture: palette entry 0 is the colour, the pixel is index 0.
    std::array<TRGBQuad, 256> table{};
    table[0] = TRGBQuad{getBValue(rgb), getGValue(rgb), getRValue(rgb), 0};
    const std::array<std::uint8_t, 4> row{};
    gfx::DibView picture;
    picture.width = 1;
    picture.height = 1;
    picture.bitCount = 8;
    picture.bits = row.data();
    picture.colorTable = table.data();
    const TRect unit{0, 0, 1, 1};
    Canvas().StretchDraw(unit, picture, unit);
    Canvas().Release();
    const std::uint32_t result = GetPixel(0, 0);
    SetPixel(0, 0, old);
    return result;
}

void TDirectDrawSurface::SetColorKey(std::uint32_t raw) {
    auto* surface = IDDSurface();
    if (!surface) return;
    LastResult = surface->setColorKey(raw, raw);
    if (gfx::succeeded(LastResult)) {
        desc_.hasColorKey = true;
        desc_.colorKeyLow = raw;
        desc_.colorKeyHigh = raw;
    }
}

std::uint32_t TDirectDrawSurface::GetPixel(int x, int y) {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
    gfx::LockedRect locked;
    if (!Lock(nullptr, locked)) return 0;
    const int bytes = bytesPerPixel(BitCount());
    const std::uint32_t value = readPixel(pixelAddress(locked, x, y, bytes), bytes);
    Unlock();
    return value;
}

void TDirectDrawSurface::SetPixel(int x, int y, std::uint32_t value) {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
    gfx::LockedRect locked;
    if (!Lock(nullptr, locked)) return;
    const int bytes = bytesPerPixel(BitCount());
    writePixel(pixelAddress(locked, x, y, bytes), bytes, value);
    Unlock();
}

bool TDirectDrawSurface::Lock(const TRect* rect, gfx::LockedRect& locked) {
    auto* surface = IDDSurface();
    if (!surface || lockCount_ > 0) return false;
    const TRect* part = (rect && *rect != ClientRect()) ? rect : nullptr;
    gfx::LockedRect result;
    LastResult = surface->lock(part, result);
    if (!gfx::succeeded(LastResult)) return false;
    lockCount_ = 1;
    locked = result;
    return true;
}

void TDirectDrawSurface::Unlock() {
    if (lockCount_ != 1) return;
    lockCount_ = 0;
    if (auto* surface = IDDSurface()) LastResult = surface->unlock();
}

bool TDirectDrawSurface::Restore() {
    auto* surface = IDDSurface();
    if (!surface) return false;
    LastResult = surface->restore();
    return gfx::succeeded(LastResult);
}

bool TDirectDrawSurface::IsLost() {
    auto* surface = IDDSurface();
    if (!surface) return false;
    LastResult = surface->isLost();
    return LastResult == gfx::HResult::SurfaceLost;
}

void TDirectDrawSurface::LoadGraphic(const TDIB& picture, const TRect& srcRect, int width, int height) {
    if (width == 0) width = srcRect.width();
    if (height == 0) height = srcRect.height();
    SetSize(width, height);
    if (!IDDSurface()) return;
    Canvas().StretchDraw(ClientRect(), picture, srcRect);
    Canvas().Release();
}

TDirectDrawSurfaceCanvas& TDirectDrawSurface::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<TDirectDrawSurfaceCanvas>(*this);
    return *canvas_;
}

}  // namespace vek
