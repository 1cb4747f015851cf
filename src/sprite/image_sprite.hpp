// TImageSprite: a sprite that shows one pattern of a picture item, chosen by an animation
// position that advances with every move; it collides by rectangle or by opaque pixels,
// can wrap around the screen (Tile) and draws in four blend modes with an optional motion
// trail. TImageSpriteEx is the same sprite under another kind name.
#pragma once

#include "sprite/draw_options.hpp"
#include "sprite/sprite.hpp"

namespace vek {

class TImageSprite : public TSprite {
public:
    explicit TImageSprite(TSprite* parent);

    // AnimStart plus the whole part of AnimPos (truncated).
    int PatternIndex() const;
    // The bounds shifted so that the item's pattern is centred in the sprite's size; the
    // bounds themselves without an image.
    TRect GetDrawRect();

    // Binds an item lazily: OnGetImage first, else DXImageName in DXImageList (raising the
    // image list's not-found error). Nothing once an image is bound.
    virtual void ResolveImage();
    // Binds item (or none): Width, Height and DXImageName follow it.
    virtual void SetImage(TPictureCollectionItem* item);

    // The rounded world position, wrapped around the surface when Tile is set.
    TRect GetBoundsRect() override;
    // Against another image sprite: the unwrapped rectangles, or the opaque pixels of the
    // two patterns at their draw positions with PixelCheck. True against any other sprite.
    bool TestCollision(TSprite& sprite) override;
    void Assign(const TSprite& source) override;
    // Adds each of its own settings that differs from a new sprite's ("AnimStart" always).
    void WriteProperties(TPropertyWriter& writer) const override;
    bool ReadProperty(TPropertyReader& reader) override;

    int AnimCount = 0;
    bool AnimLooped = false;
    double AnimPos = 0;
    double AnimSpeed = 0;  // patterns per move unit
    int AnimStart = 0;
    bool PixelCheck = false;
    bool Tile = false;
    float Angle = 0;
    int Alpha = 255;  // the low byte reaches the draws
    TRenderType BlendMode = rtDraw;
    double CenterX = 0.5;
    double CenterY = 0.5;
    TBlurTrail BlurTrail{};
    bool BlurImage = false;
    TRenderMirrorFlipSet MirrorFlip;
    TD2DTextureFilter TextureFilter = D2D_POINT;

protected:
    void DoDraw() override;
    // OnMove when set, else Animate: a sprite without a handler animates twice per Move.
    void DoMove(int moveCount) override;
    // Advances AnimPos, wraps or stops it, and records a trail entry when BlurImage is set.
    void Animate(int moveCount) override;
    // The sprite's own draw settings.
    TDrawOptions DrawOptions() const;

private:
    void recordTrail();
};

class TImageSpriteEx : public TImageSprite {
public:
    using TImageSprite::TImageSprite;
};

}  // namespace vek
