// The image sprite: binding, animation, bounds, collision tests, drawing and its stored
// properties.
#include "sprite/image_sprite.hpp"

#include <array>
#include <cstdint>

#include "graphics/image_list.hpp"
#include "runtime/property_stream.hpp"
#include "runtime/rounding.hpp"
#include "sprite/pixel_overlap.hpp"
#include "sprite/sprite_math.hpp"
#include "sprite/stored_fields.hpp"

namespace vek {

namespace {

constexpr std::array<const char*, 4> kRenderTypeNames = {"rtDraw", "rtBlend", "rtAdd", "rtSub"};
constexpr std::array<const char*, 2> kMirrorFlipNames = {"rmfMirror", "rmfFlip"};

// The unwrapped rectangle at the rounded world position.
TRect placedRect(const TSprite& sprite) {
    return Bounds(roundHalfEven(sprite.WorldX()), roundHalfEven(sprite.WorldY()), sprite.Width,
                  sprite.Height);
}

std::string mirrorFlipText(TRenderMirrorFlipSet set) {
    std::string text = "[";
    for (std::size_t i = 0; i < kMirrorFlipNames.size(); ++i) {
        if (!set.Contains(static_cast<TRenderMirrorFlip>(i))) continue;
        if (text.size() > 1) text += ", ";
        text += kMirrorFlipNames[i];
    }
    return text + "]";
}

TRenderMirrorFlipSet mirrorFlipFrom(const std::string& text) {
    TRenderMirrorFlipSet set;
    for (std::size_t i = 0; i < kMirrorFlipNames.size(); ++i)
        if (text.find(kMirrorFlipNames[i]) != std::string::npos)
            set.Include(static_cast<TRenderMirrorFlip>(i));
    return set;
}

TRenderType renderTypeFrom(TPropertyReader& reader) {
    const std::string name = reader.Kind() == TValueKind::vaString ? reader.ReadString() : reader.ReadIdent();
    for (std::size_t i = 0; i < kRenderTypeNames.size(); ++i)
        if (name == kRenderTypeNames[i]) return static_cast<TRenderType>(i);
    reader.Fail("Unknown blend mode " + shownName(name));
}

}  // namespace

TImageSprite::TImageSprite(TSprite* parent) : TSprite(parent) {}

int TImageSprite::PatternIndex() const {
    return AnimStart + static_cast<int>(AnimPos);
}

// ---- Binding

void TImageSprite::SetImage(TPictureCollectionItem* item) {
    image_ = item;
    DXImageName.clear();
    Width = item ? item->Width() : 0;
    Height = item ? item->Height() : 0;
    if (item) DXImageName = item->Name();
}

void TImageSprite::ResolveImage() {
    if (image_) return;
    if (OnGetImage) {
        TPictureCollectionItem* item = nullptr;
        OnGetImage(*this, item);
        if (item) SetImage(item);
    } else if (!DXImageName.empty() && DXImageList) {
        SetImage(&DXImageList->Items().Find(DXImageName));
    }
}

// ---- Moving

void TImageSprite::DoMove(int moveCount) {
    if (OnMove)
        OnMove(*this, moveCount);
    else
        Animate(moveCount);
}

void TImageSprite::Animate(int moveCount) {
    AnimPos += AnimSpeed * moveCount;
    if (AnimLooped) {
        AnimPos = AnimCount >= 1 ? Mod2f(AnimPos, AnimCount) : 0;
    } else {
        if (roundHalfEven(AnimPos) >= AnimCount) {
            AnimPos = AnimCount - 1;
            AnimSpeed = 0;
        }
        if (AnimPos < 0) {
            AnimPos = 0;
            AnimSpeed = 0;
        }
    }
    if (BlurImage) recordTrail();
}

// Shifts the trail by one when the sprite stands elsewhere than at the newest entry; the
// alphas then rise from the oldest entry to the newest in steps of Alpha / 8.
void TImageSprite::recordTrail() {
    const int x = roundHalfEven(WorldX()), y = roundHalfEven(WorldY());
    TTrailEntry& newest = BlurTrail.back();
    if (x == newest.X && y == newest.Y) return;
    const int step = roundHalfEven(Alpha / 8.0);
    for (std::size_t k = 0; k + 1 < BlurTrail.size(); ++k) {
        BlurTrail[k] = BlurTrail[k + 1];
        BlurTrail[k].Alpha = static_cast<std::uint8_t>(static_cast<int>(k) * step);
    }
    newest = TTrailEntry{true, x, y, PatternIndex(), static_cast<std::uint8_t>(7 * step)};
}

// ---- Geometry and collision

TRect TImageSprite::GetBoundsRect() {
    int x0 = roundHalfEven(WorldX()), y0 = roundHalfEven(WorldY());
    if (Tile && Engine()) {
        const TRect& surface = Engine()->SurfaceRect();
        x0 = WrapTiled(x0, surface.right, Width);
        y0 = WrapTiled(y0, surface.bottom, Height);
    }
    return Bounds(x0, y0, Width, Height);
}

TRect TImageSprite::GetDrawRect() {
    TRect r = GetBoundsRect();
    if (!image_) return r;
    const int dx = (Width - image_->Width()) / 2, dy = (Height - image_->Height()) / 2;
    return TRect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

bool TImageSprite::TestCollision(TSprite& sprite) {
    auto* other = dynamic_cast<TImageSprite*>(&sprite);
    if (!other) return true;
    if (!PixelCheck) return OverlapRect(placedRect(*this), placedRect(sprite));
    const TRect d1 = GetDrawRect(), d2 = other->GetDrawRect();
    const int p1 = PatternIndex(), p2 = other->PatternIndex();
    TPictureCollectionItem* i1 = image_;
    TPictureCollectionItem* i2 = other->image_;
    return PixelOverlapTest(i1 ? i1->PatternSurfaces(p1) : nullptr, i2 ? i2->PatternSurfaces(p2) : nullptr,
                            i1 ? i1->PatternRects(p1) : TRect{}, i2 ? i2->PatternRects(p2) : TRect{}, d1.left,
                            d1.top, d2.left, d2.top);
}

// ---- Drawing

TDrawOptions TImageSprite::DrawOptions() const {
    return TDrawOptions{TextureFilter, MirrorFlip, BlendMode, Angle, static_cast<std::uint8_t>(Alpha),
                        CenterX,       CenterY};
}

void TImageSprite::DoDraw() {
    ResolveImage();
    if (!image_) return;
    if (OnDraw) {
        OnDraw(*this);
        return;
    }
    TCustomDXDraw* display = EngineDisplay();
    if (!display) return;
    DrawWithOptions(*display, image_, placedRect(*this), PatternIndex(), BlurTrail, BlurImage, DrawOptions());
}

// ---- Copies and stored properties

void TImageSprite::Assign(const TSprite& source) {
    if (auto* s = dynamic_cast<const TImageSprite*>(&source); s && s != this) {
        CenterX = s->CenterX, CenterY = s->CenterY;
        AnimCount = s->AnimCount, AnimLooped = s->AnimLooped, AnimPos = s->AnimPos;
        AnimSpeed = s->AnimSpeed, AnimStart = s->AnimStart;
        image_ = s->image_;
        PixelCheck = s->PixelCheck, Tile = s->Tile;
        Angle = s->Angle, Alpha = s->Alpha, BlendMode = s->BlendMode, BlurImage = s->BlurImage;
    }
    TSprite::Assign(source);
}

void TImageSprite::WriteProperties(TPropertyWriter& w) const {
    TSprite::WriteProperties(w);
    if (BlendMode != rtDraw && BlendMode <= rtSub) w.WriteIdent("BlendMode", kRenderTypeNames[BlendMode]);
    if (Angle != 0) w.WriteReal("Angle", Angle);
    if (CenterX != 0.5) w.WriteReal("CenterX", CenterX);
    if (CenterY != 0.5) w.WriteReal("CenterY", CenterY);
    if (Alpha != 255) w.WriteInteger("Alpha", Alpha);
    if (AnimCount != 0) w.WriteInteger("AnimCount", AnimCount);
    if (AnimLooped) w.WriteBoolean("AnimLooped", true);
    if (AnimPos != 0) w.WriteReal("AnimPos", AnimPos);
    if (AnimSpeed != 0) w.WriteReal("AnimSpeed", AnimSpeed);
    w.WriteInteger("AnimStart", AnimStart);
    if (PixelCheck) w.WriteBoolean("PixelCheck", true);
    if (Tile) w.WriteBoolean("Tile", true);
    if (BlurImage) w.WriteBoolean("BlurImage", true);
    if (!MirrorFlip.Empty()) w.WriteString("MirrorFlip", mirrorFlipText(MirrorFlip));
    if (TextureFilter != D2D_POINT) w.WriteInteger("TextureFilter", TextureFilter);
}

namespace {

using Field = TStoredField<TImageSprite>;
constexpr Field kImageFields[] = {
    {"BlendMode", [](TImageSprite& s, TPropertyReader& r) { s.BlendMode = renderTypeFrom(r); }},
    {"Angle", [](TImageSprite& s, TPropertyReader& r) { s.Angle = static_cast<float>(r.ReadReal()); }},
    {"CenterX", [](TImageSprite& s, TPropertyReader& r) { s.CenterX = r.ReadReal(); }},
    {"CenterY", [](TImageSprite& s, TPropertyReader& r) { s.CenterY = r.ReadReal(); }},
    {"Alpha", [](TImageSprite& s, TPropertyReader& r) { s.Alpha = readInt32(r); }},
    {"AnimCount", [](TImageSprite& s, TPropertyReader& r) { s.AnimCount = readInt32(r); }},
    {"AnimLooped", [](TImageSprite& s, TPropertyReader& r) { s.AnimLooped = r.ReadBoolean(); }},
    {"AnimPos", [](TImageSprite& s, TPropertyReader& r) { s.AnimPos = r.ReadReal(); }},
    {"AnimSpeed", [](TImageSprite& s, TPropertyReader& r) { s.AnimSpeed = r.ReadReal(); }},
    {"AnimStart", [](TImageSprite& s, TPropertyReader& r) { s.AnimStart = readInt32(r); }},
    {"PixelCheck", [](TImageSprite& s, TPropertyReader& r) { s.PixelCheck = r.ReadBoolean(); }},
    {"Tile", [](TImageSprite& s, TPropertyReader& r) { s.Tile = r.ReadBoolean(); }},
    {"BlurImage", [](TImageSprite& s, TPropertyReader& r) { s.BlurImage = r.ReadBoolean(); }},
    {"MirrorFlip",
     [](TImageSprite& s, TPropertyReader& r) { s.MirrorFlip = mirrorFlipFrom(r.ReadString()); }},
    {"TextureFilter",
     [](TImageSprite& s, TPropertyReader& r) {
         s.TextureFilter = static_cast<TD2DTextureFilter>(readInt32(r));
     }},
};

}  // namespace

bool TImageSprite::ReadProperty(TPropertyReader& reader) {
    return readStoredField<TImageSprite>(kImageFields, *this, reader) || TSprite::ReadProperty(reader);
}

}  // namespace vek
