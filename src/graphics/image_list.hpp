// The image list: a component holding named pictures, each cut into equal patterns and
// kept on surfaces of the display while it is initialised, with the draw operations that
// copy one pattern onto a destination surface, and the shared 256-colour table.
#pragma once

#include <array>
#include <memory>
#include <string_view>
#include <vector>

#include "graphics/direct_draw.hpp"
#include "graphics/dxdraw.hpp"
#include "graphics/picture.hpp"
#include "runtime/component.hpp"
#include "runtime/exception.hpp"
#include "runtime/hash_collection.hpp"
#include "runtime/property_stream.hpp"
#include "runtime/stream.hpp"
#include "runtime/types.hpp"

namespace vek {

VEK_DECLARE_ERROR(EPictureCollectionError, Exception);

inline constexpr const char* kImageNotFound = "Image '%s' not found";

class TCustomDXDraw;
class TCustomDXImageList;
class TPictureCollection;

// Pictures are cut into tiles of at most this many pixels in each direction.
inline constexpr int kPictureTileSize = 2048;

// One pattern: its rectangle on the surface that holds it.
struct TPictureCollectionItemPattern {
    TRect Rect;
    TDirectDrawSurface* Surface = nullptr;  // owned by the item
};

class TPictureCollectionItem : public THashCollectionItem {
public:
    TPictureCollectionItem();
    ~TPictureCollectionItem() override;

    // The stored properties, in their published order.
    int PatternHeight = 0;  // 0 or less: the whole picture
    int PatternWidth = 0;
    TPicture Picture;
    int SkipHeight = 0;
    int SkipWidth = 0;
    bool SystemMemory = false;
    bool Transparent = true;
    TColor TransparentColor() const { return transparentColor_; }
    // Re-keys every surface of the item at once.
    void SetTransparentColor(TColor value);

    int Width() const;
    int Height() const;
    // The patterns made; before the surfaces exist, the count computed from the picture
    // (setting a pattern size of 0 to the picture's size on the way).
    int PatternCount();
    TRect PatternRects(int index) const;
    TDirectDrawSurface* PatternSurfaces(int index) const;
    bool Initialized() const { return initialized_; }
    TPictureCollection* PictureCollection() const;

    // The stored properties: Name, PatternHeight, PatternWidth, Picture.Data,
    // SkipHeight, SkipWidth, SystemMemory, Transparent, TransparentColor.
    bool ReadProperty(TPropertyReader& reader);

    // Builds the surfaces for the collection's display, releases them, rebuilds them.
    void Initialize();
    void Finalize();
    void Restore();
    // Copies everything but the name, rebuilding the surfaces if they existed.
    void Assign(const TPictureCollectionItem& source);

    // Draw operations: nothing for a missing destination, an item that is not
    // initialised or a pattern index outside 0 … count − 1.
    void Draw(TDirectDrawSurface* dest, int x, int y, int patternIndex);
    void StretchDraw(TDirectDrawSurface* dest, const TRect& destRect, int patternIndex);
    void DrawAlpha(TDirectDrawSurface* dest, const TRect& destRect, int patternIndex, int alpha);
    void DrawAdd(TDirectDrawSurface* dest, const TRect& destRect, int patternIndex, int alpha);
    void DrawSub(TDirectDrawSurface* dest, const TRect& destRect, int patternIndex, int alpha);
    void DrawRotate(TDirectDrawSurface* dest, int x, int y, int width, int height, int patternIndex,
                    double centerX, double centerY, double angle);
    void DrawRotateAlpha(TDirectDrawSurface* dest, int x, int y, int width, int height, int patternIndex,
                         double centerX, double centerY, double angle, int alpha);
    void DrawRotateAdd(TDirectDrawSurface* dest, int x, int y, int width, int height, int patternIndex,
                       double centerX, double centerY, double angle, int alpha);
    void DrawRotateSub(TDirectDrawSurface* dest, int x, int y, int width, int height, int patternIndex,
                       double centerX, double centerY, double angle, int alpha);
    void DrawWaveX(TDirectDrawSurface* dest, int x, int y, int width, int height, int patternIndex,
                   int amplitude, int waveLength, int phase);
    void DrawWaveXAlpha(TDirectDrawSurface* dest, int x, int y, int width, int height, int patternIndex,
                        int amplitude, int waveLength, int phase, int alpha);
    void DrawWaveXAdd(TDirectDrawSurface* dest, int x, int y, int width, int height, int patternIndex,
                      int amplitude, int waveLength, int phase, int alpha);
    void DrawWaveXSub(TDirectDrawSurface* dest, int x, int y, int width, int height, int patternIndex,
                      int amplitude, int waveLength, int phase, int alpha);

private:
    const TPictureCollectionItemPattern* pattern(int index) const;
    // The pattern to draw onto dest, or null when nothing is drawn.
    const TPictureCollectionItemPattern* drawable(const TDirectDrawSurface* dest, int index) const;
    void build();
    void releaseSurfaces();
    TDirectDrawSurface& makeSurface(const TRect& part);
    void buildTiles(int columns, int rows);
    void addGrid(int columns, int rows, int tileWidth, int tileHeight, int tilesAcross);

    TColor transparentColor_ = clBlack;
    bool initialized_ = false;
    std::vector<std::unique_ptr<TDirectDrawSurface>> surfaces_;
    std::vector<TPictureCollectionItemPattern> patterns_;
};

// The rows and columns of patterns a picture holds: whole steps of pattern + skip, plus
// one more when the remainder is exactly one pattern. 0 for a step of 0 or less.
int patternSlots(int pictureSize, int patternSize, int skip);

// The length of a tile along one direction: whole pattern steps reaching at least the
// tile size, but no more than the steps the picture holds. 0 when there are none.
int pictureTileLength(int step, int slots);

// Adds colours to a colour table: an entry equal to a used one is skipped, any other
// takes the lowest free entry; nothing once all 256 are used.
class TColorTableBuilder {
public:
    // Starts with the 16 fixed colours.
    TColorTableBuilder();
    void Add(const TRGBQuad& color);
    int Count() const { return count_; }
    const TColorTable& Table() const { return table_; }

private:
    TColorTable table_{};
    std::array<bool, 256> used_{};
    int count_ = 0;
};

class TPictureCollection : public THashCollection {
public:
    explicit TPictureCollection(TCustomDXImageList* owner);
    ~TPictureCollection() override;

    TCustomDXImageList* Owner() const { return owner_; }
    // Appends a new item.
    TPictureCollectionItem& Add();
    TPictureCollectionItem& Items(int index) const;
    // The item with that name ignoring case; raises "Image '%s' not found".
    TPictureCollectionItem& Find(std::string_view name) const;
    // Replaces the items by copies of the other collection's (names included); the colour
    // table stays.
    void Assign(const TPictureCollection& source);

    // The display the items are built for, while they are.
    TCustomDXDraw* DXDraw() const { return dxDraw_; }
    void Initialize(TCustomDXDraw& dxDraw);
    void Finalize();
    void Restore();

    TColorTable ColorTable{};
    // The fixed colours, then the colours of the 8-bit pictures in order of appearance.
    void MakeColorTable();
    // The stored "ColorTable" property: exactly 1024 bytes.
    void ReadColorTable(TStream& stream);
    void WriteColorTable(TStream& stream) const;

private:
    TCustomDXImageList* owner_;
    TCustomDXDraw* dxDraw_ = nullptr;
};

class TCustomDXImageList : public TComponent {
public:
    explicit TCustomDXImageList(TComponent* owner);
    ~TCustomDXImageList() override;

    TCustomDXDraw* DXDraw() const { return dxDraw_; }
    // Leaves the old display's listeners and joins the new one's.
    void SetDXDraw(TCustomDXDraw* value);
    TPictureCollection& Items() { return items_; }
    const TPictureCollection& Items() const { return items_; }
    void SetItems(const TPictureCollection& value) { items_.Assign(value); }

    // The stored properties: DXDraw, Items.ColorTable and the Items collection.
    bool ReadProperty(TPropertyReader& reader) override;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    static void DXDrawNotify(void* object, TCustomDXDraw& sender, TDisplayNotice notice);

    TPictureCollection items_;
    TCustomDXDraw* dxDraw_ = nullptr;
};

// The image list as the main window's description publishes it.
class TDXImageList : public TCustomDXImageList {
public:
    using TCustomDXImageList::TCustomDXImageList;
    std::string_view ClassName() const override { return "TDXImageList"; }
};

}  // namespace vek
