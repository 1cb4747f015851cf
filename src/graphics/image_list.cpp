// Picture items cut into patterns on surfaces of the display, their draw operations, the
// named picture collection with its shared colour table, and the image-list component
// that follows its display's notices.
#include "graphics/image_list.hpp"

#include <algorithm>
#include <limits>

namespace vek {

namespace {

std::int64_t ceilDivide(std::int64_t a, std::int64_t b) {
    return (a + b - 1) / b;
}

}  // namespace

int pictureTileLength(int step, int slots) {
    if (step <= 0 || slots <= 0) return 0;
    return static_cast<int>(
        std::min<std::int64_t>(step * ceilDivide(kPictureTileSize, step), std::int64_t{step} * slots));
}

int patternSlots(int pictureSize, int patternSize, int skip) {
    const std::int64_t step = std::int64_t{patternSize} + skip;
    if (step <= 0) return 0;
    std::int64_t slots = pictureSize / step;
    if (pictureSize - slots * step == patternSize) ++slots;
    return static_cast<int>(slots);
}

// ---- TPictureCollectionItem

TPictureCollectionItem::TPictureCollectionItem() = default;

TPictureCollectionItem::~TPictureCollectionItem() {
    Finalize();
}

TPictureCollection* TPictureCollectionItem::PictureCollection() const {
    return dynamic_cast<TPictureCollection*>(Collection());
}

int TPictureCollectionItem::Width() const {
    return PatternWidth > 0 ? PatternWidth : Picture.Width();
}

int TPictureCollectionItem::Height() const {
    return PatternHeight > 0 ? PatternHeight : Picture.Height();
}

int TPictureCollectionItem::PatternCount() {
    if (!surfaces_.empty()) return static_cast<int>(patterns_.size());
    if (PatternWidth == 0) PatternWidth = Picture.Width();
    if (PatternHeight == 0) PatternHeight = Picture.Height();
    return patternSlots(Picture.Width(), PatternWidth, SkipWidth) *
           patternSlots(Picture.Height(), PatternHeight, SkipHeight);
}

const TPictureCollectionItemPattern* TPictureCollectionItem::pattern(int index) const {
    if (index < 0 || index >= static_cast<int>(patterns_.size())) return nullptr;
    return &patterns_[static_cast<std::size_t>(index)];
}

const TPictureCollectionItemPattern* TPictureCollectionItem::drawable(const TDirectDrawSurface* dest,
                                                                      int index) const {
    return initialized_ && dest ? pattern(index) : nullptr;
}

TRect TPictureCollectionItem::PatternRects(int index) const {
    const auto* p = pattern(index);
    return p ? p->Rect : TRect{};
}

TDirectDrawSurface* TPictureCollectionItem::PatternSurfaces(int index) const {
    const auto* p = pattern(index);
    return p ? p->Surface : nullptr;
}

void TPictureCollectionItem::SetTransparentColor(TColor value) {
    if (value == transparentColor_) return;
    transparentColor_ = value;
    for (auto& surface : surfaces_) {
        try {
            surface->SetColorKey(surface->MatchColor(value));
        } catch (const Exception&) {
            // A surface that cannot be keyed now keeps its old key; the others still change.
        }
    }
}

void TPictureCollectionItem::Initialize() {
    Finalize();
    const TPictureCollection* collection = PictureCollection();
    const TCustomDXDraw* display = collection ? collection->DXDraw() : nullptr;
    initialized_ = display && display->Initialized();
    if (initialized_) build();
}

void TPictureCollectionItem::Finalize() {
    if (!initialized_) return;
    initialized_ = false;
    releaseSurfaces();
}

void TPictureCollectionItem::Restore() {
    if (Picture.Empty()) return;
    if (!initialized_) {
        // Building from nothing already makes the surfaces a rebuild would make.
        Initialize();
        return;
    }
    releaseSurfaces();
    build();
}

void TPictureCollectionItem::releaseSurfaces() {
    patterns_.clear();
    surfaces_.clear();
}

void TPictureCollectionItem::Assign(const TPictureCollectionItem& source) {
    if (&source == this) return;
    const bool wasInitialized = initialized_;
    Finalize();
    PatternHeight = source.PatternHeight, PatternWidth = source.PatternWidth;
    SkipHeight = source.SkipHeight, SkipWidth = source.SkipWidth;
    SystemMemory = source.SystemMemory, Transparent = source.Transparent;
    transparentColor_ = source.transparentColor_;
    Picture = source.Picture;
    if (wasInitialized) Initialize();
}

TDirectDrawSurface& TPictureCollectionItem::makeSurface(const TRect& part) {
    auto surface = std::make_unique<TDirectDrawSurface>(PictureCollection()->DXDraw()->DDraw());
    surface->SystemMemory = SystemMemory;
    surface->LoadGraphic(*Picture.Graphic(), part);
    surface->SetColorKey(surface->MatchColor(transparentColor_));
    surfaces_.push_back(std::move(surface));
    return *surfaces_.back();
}

// Patterns row by row from the top left; pattern (r, c) lies on the tile that holds its
// top-left corner.
void TPictureCollectionItem::addGrid(int columns, int rows, int tileWidth, int tileHeight, int tilesAcross) {
    const int w = Width(), h = Height();
    const int stepX = w + SkipWidth, stepY = h + SkipHeight;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const int left = stepX * c, top = stepY * r;
            const auto tile = static_cast<std::size_t>(left / tileWidth + tilesAcross * (top / tileHeight));
            patterns_.push_back({Bounds(left % tileWidth, top % tileHeight, w, h), surfaces_[tile].get()});
        }
}

void TPictureCollectionItem::build() {
    if (Picture.Empty()) return;
    const int w = Width(), h = Height(), pw = Picture.Width(), ph = Picture.Height();
    const int stepX = w + SkipWidth, stepY = h + SkipHeight;
    if (w == pw && h == ph) {
        patterns_.push_back({TRect{0, 0, pw, ph}, &makeSurface(TRect{0, 0, pw, ph})});
        return;
    }
    if (stepX <= 0 || stepY <= 0) return;
    const int columns = (pw + SkipWidth) / stepX, rows = (ph + SkipHeight) / stepY;
    if (SystemMemory) {
        makeSurface(TRect{0, 0, pw, ph});
        // One surface holds every pattern: a tile larger than any offset.
        addGrid(columns, rows, std::numeric_limits<int>::max(), std::numeric_limits<int>::max(), 1);
        return;
    }
    buildTiles(columns, rows);
}

void TPictureCollectionItem::buildTiles(int columns, int rows) {
    const int pw = Picture.Width(), ph = Picture.Height();
    const int tw = pictureTileLength(Width() + SkipWidth, columns);
    const int th = pictureTileLength(Height() + SkipHeight, rows);
    if (tw <= 0 || th <= 0) return;
    const int across = static_cast<int>(ceilDivide(pw, tw)), down = static_cast<int>(ceilDivide(ph, th));
    for (int o = 0; o < down; ++o)
        for (int t = 0; t < across; ++t) {
            const int partW = std::min(tw, std::max(pw - tw * t, 0));
            const int partH = std::min(th, std::max(ph - th * o, 0));
            makeSurface(Bounds(tw * t, th * o, partW ? partW : tw, partH ? partH : th));
        }
    addGrid(columns, rows, tw, th, across);
}

void TPictureCollectionItem::Draw(TDirectDrawSurface* dest, int x, int y, int patternIndex) {
    const auto* p = drawable(dest, patternIndex);
    if (p) dest->Draw(x, y, p->Rect, p->Surface, Transparent);
}

void TPictureCollectionItem::StretchDraw(TDirectDrawSurface* dest, const TRect& destRect, int patternIndex) {
    const auto* p = drawable(dest, patternIndex);
    if (p) dest->StretchDraw(destRect, p->Rect, p->Surface, Transparent);
}

void TPictureCollectionItem::DrawAlpha(TDirectDrawSurface* dest, const TRect& destRect, int patternIndex,
                                       int alpha) {
    const auto* p = drawable(dest, patternIndex);
    if (p) dest->DrawAlpha(destRect, p->Rect, p->Surface, Transparent, alpha);
}

void TPictureCollectionItem::DrawAdd(TDirectDrawSurface* dest, const TRect& destRect, int patternIndex,
                                     int alpha) {
    const auto* p = drawable(dest, patternIndex);
    if (p) dest->DrawAdd(destRect, p->Rect, p->Surface, Transparent, alpha);
}

void TPictureCollectionItem::DrawSub(TDirectDrawSurface* dest, const TRect& destRect, int patternIndex,
                                     int alpha) {
    const auto* p = drawable(dest, patternIndex);
    if (p) dest->DrawSub(destRect, p->Rect, p->Surface, Transparent, alpha);
}

void TPictureCollectionItem::DrawRotate(TDirectDrawSurface* dest, int x, int y, int width, int height,
                                        int patternIndex, double centerX, double centerY, double angle) {
    const auto* p = drawable(dest, patternIndex);
    if (p) dest->DrawRotate(x, y, width, height, p->Rect, p->Surface, Transparent, centerX, centerY, angle);
}

void TPictureCollectionItem::DrawRotateAlpha(TDirectDrawSurface* dest, int x, int y, int width, int height,
                                             int patternIndex, double centerX, double centerY, double angle,
                                             int alpha) {
    const auto* p = drawable(dest, patternIndex);
    if (p)
        dest->DrawRotateAlpha(x, y, width, height, p->Rect, p->Surface, Transparent, centerX, centerY, angle,
                              alpha);
}

void TPictureCollectionItem::DrawRotateAdd(TDirectDrawSurface* dest, int x, int y, int width, int height,
                                           int patternIndex, double centerX, double centerY, double angle,
                                           int alpha) {
    const auto* p = drawable(dest, patternIndex);
    if (p)
        dest->DrawRotateAdd(x, y, width, height, p->Rect, p->Surface, Transparent, centerX, centerY, angle,
                            alpha);
}

void TPictureCollectionItem::DrawRotateSub(TDirectDrawSurface* dest, int x, int y, int width, int height,
                                           int patternIndex, double centerX, double centerY, double angle,
                                           int alpha) {
    const auto* p = drawable(dest, patternIndex);
    if (p)
        dest->DrawRotateSub(x, y, width, height, p->Rect, p->Surface, Transparent, centerX, centerY, angle,
                            alpha);
}

void TPictureCollectionItem::DrawWaveX(TDirectDrawSurface* dest, int x, int y, int width, int height,
                                       int patternIndex, int amplitude, int waveLength, int phase) {
    const auto* p = drawable(dest, patternIndex);
    if (p)
        dest->DrawWaveX(x, y, width, height, p->Rect, p->Surface, Transparent, amplitude, waveLength, phase);
}

void TPictureCollectionItem::DrawWaveXAlpha(TDirectDrawSurface* dest, int x, int y, int width, int height,
                                            int patternIndex, int amplitude, int waveLength, int phase,
                                            int alpha) {
    const auto* p = drawable(dest, patternIndex);
    if (p)
        dest->DrawWaveXAlpha(x, y, width, height, p->Rect, p->Surface, Transparent, amplitude, waveLength,
                             phase, alpha);
}

void TPictureCollectionItem::DrawWaveXAdd(TDirectDrawSurface* dest, int x, int y, int width, int height,
                                          int patternIndex, int amplitude, int waveLength, int phase,
                                          int alpha) {
    const auto* p = drawable(dest, patternIndex);
    if (p)
        dest->DrawWaveXAdd(x, y, width, height, p->Rect, p->Surface, Transparent, amplitude, waveLength,
                           phase, alpha);
}

void TPictureCollectionItem::DrawWaveXSub(TDirectDrawSurface* dest, int x, int y, int width, int height,
                                          int patternIndex, int amplitude, int waveLength, int phase,
                                          int alpha) {
    const auto* p = drawable(dest, patternIndex);
    if (p)
        dest->DrawWaveXSub(x, y, width, height, p->Rect, p->Surface, Transparent, amplitude, waveLength,
                           phase, alpha);
}

// ---- TColorTableBuilder

namespace {

struct FixedColor {
    int index;
    std::uint8_t red, green, blue;
};

constexpr FixedColor kFixedColors[] = {
    {0, 0, 0, 0},         {1, 128, 0, 0},     {2, 0, 128, 0},     {3, 128, 128, 0},
    {4, 0, 0, 128},       {5, 128, 0, 128},   {6, 0, 128, 128},   {7, 192, 192, 192},
    {248, 128, 128, 128}, {249, 255, 0, 0},   {250, 0, 255, 0},   {251, 255, 255, 0},
    {252, 0, 0, 255},     {253, 255, 0, 255}, {254, 0, 255, 255}, {255, 255, 255, 255},
};

}  // namespace

TColorTableBuilder::TColorTableBuilder() {
    for (const auto& f : kFixedColors) {
        table_[static_cast<std::size_t>(f.index)] = TRGBQuad{f.blue, f.green, f.red, 0};
        used_[static_cast<std::size_t>(f.index)] = true;
    }
    count_ = static_cast<int>(std::size(kFixedColors));
}

void TColorTableBuilder::Add(const TRGBQuad& color) {
    for (std::size_t i = 0; i < table_.size(); ++i)
        if (used_[i] && table_[i] == color) return;
    const auto freeEntry = std::find(used_.begin(), used_.end(), false);
    if (freeEntry == used_.end()) return;
    const auto index = static_cast<std::size_t>(freeEntry - used_.begin());
    table_[index] = color;
    used_[index] = true;
    ++count_;
}

// ---- TPictureCollection

TPictureCollection::TPictureCollection(TCustomDXImageList* owner) : owner_(owner) {}

TPictureCollection::~TPictureCollection() {
    Finalize();
    Clear();
}

TPictureCollectionItem& TPictureCollection::Add() {
    return static_cast<TPictureCollectionItem&>(AddItem(std::make_unique<TPictureCollectionItem>()));
}

TPictureCollectionItem& TPictureCollection::Items(int index) const {
    return static_cast<TPictureCollectionItem&>(Item(index));
}

TPictureCollectionItem& TPictureCollection::Find(std::string_view name) const {
    auto* item = dynamic_cast<TPictureCollectionItem*>(IndexOf(name));
    if (!item) throw EPictureCollectionError(formatMessage(kImageNotFound, name));
    return *item;
}

void TPictureCollection::Assign(const TPictureCollection& source) {
    if (&source == this) return;
    Clear();
    for (int i = 0; i < source.Count(); ++i) {
        auto& item = Add();
        item.Assign(source.Items(i));
        item.SetName(source.Items(i).Name());
        // The copies join the display the collection is built for.
        if (dxDraw_ && dxDraw_->Initialized()) item.Initialize();
    }
}

void TPictureCollection::Initialize(TCustomDXDraw& dxDraw) {
    Finalize();
    dxDraw_ = &dxDraw;
    if (!dxDraw.Initialized())
        throw EPictureCollectionError(formatMessage(kCannotInitialize, "TPictureCollection"));
    for (int i = 0; i < Count(); ++i) Items(i).Initialize();
}

void TPictureCollection::Finalize() {
    // Releasing an item only frees its surfaces, which cannot fail.
    for (int i = 0; i < Count(); ++i) Items(i).Finalize();
    dxDraw_ = nullptr;
}

void TPictureCollection::Restore() {
    for (int i = 0; i < Count(); ++i) Items(i).Restore();
}

void TPictureCollection::MakeColorTable() {
    TColorTableBuilder builder;
    for (int i = 0; i < Count() && builder.Count() < 256; ++i) {
        const TDIB* picture = Items(i).Picture.Empty() ? nullptr : Items(i).Picture.Graphic();
        if (!picture || picture->BitCount() > 8) continue;
        for (const auto& entry : picture->ColorTable()) builder.Add(entry);
    }
    ColorTable = builder.Table();
}

void TPictureCollection::ReadColorTable(TStream& stream) {
    TColorTable table;
    stream.ReadBuffer(table.data(), sizeof(table));
    ColorTable = table;
}

void TPictureCollection::WriteColorTable(TStream& stream) const {
    stream.WriteBuffer(ColorTable.data(), sizeof(ColorTable));
}

// ---- stored properties

namespace {

constexpr std::array<std::pair<std::string_view, TColor>, 16> kColorNames{{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
}};

// A colour is stored as a number or as the name of one of the sixteen basic colours.
TColor readColor(TPropertyReader& reader) {
    if (reader.Kind() == TValueKind::vaInteger) return static_cast<TColor>(reader.ReadInteger(0, 0xFFFFFFFF));
    const std::string name = reader.ReadIdent();
    for (const auto& [colorName, color] : kColorNames)
        if (colorName == name) return color;
    reader.Fail("Property " + shownName(reader.Name()) + " has no colour " + shownName(name));
}

int readPatternSize(TPropertyReader& reader) {
    return static_cast<int>(reader.ReadInteger(-0x8000, 0x7FFF));
}

}  // namespace

bool TPictureCollectionItem::ReadProperty(TPropertyReader& reader) {
    using I = TPictureCollectionItem;
    using R = TPropertyReader;
    static constexpr TPropertyEntry<I> kProperties[] = {
        {"Name", [](I& i, R& r) { i.SetName(r.ReadString()); }},
        {"PatternHeight", [](I& i, R& r) { i.PatternHeight = readPatternSize(r); }},
        {"PatternWidth", [](I& i, R& r) { i.PatternWidth = readPatternSize(r); }},
        {"Picture.Data",
         [](I& i, R& r) {
             TSpanStream data(r.ReadBinary());
             i.Picture.ReadData(data);
         }},
        {"SkipHeight", [](I& i, R& r) { i.SkipHeight = readPatternSize(r); }},
        {"SkipWidth", [](I& i, R& r) { i.SkipWidth = readPatternSize(r); }},
        {"SystemMemory", [](I& i, R& r) { i.SystemMemory = r.ReadBoolean(); }},
        {"Transparent", [](I& i, R& r) { i.Transparent = r.ReadBoolean(); }},
        {"TransparentColor", [](I& i, R& r) { i.SetTransparentColor(readColor(r)); }},
    };
    return ReadPropertyFrom<I>(kProperties, *this, reader);
}

bool TCustomDXImageList::ReadProperty(TPropertyReader& reader) {
    using L = TCustomDXImageList;
    using R = TPropertyReader;
    static constexpr TPropertyEntry<L> kProperties[] = {
        {"DXDraw",
         [](L& l, R& r) {
             l.ReadReference<TCustomDXDraw>(r, [self = &l](TCustomDXDraw* d) { self->SetDXDraw(d); });
         }},
        {"Items.ColorTable",
         [](L& l, R& r) {
             TSpanStream data(r.ReadBinary());
             l.items_.ReadColorTable(data);
         }},
        {"Items",
         [](L& l, R& r) {
             l.items_.Clear();
             ReadCollectionItems(r, [&l]() -> TPictureCollectionItem& { return l.items_.Add(); });
         }},
    };
    return ReadPropertyFrom<L>(kProperties, *this, reader);
}

// ---- TCustomDXImageList

TCustomDXImageList::TCustomDXImageList(TComponent* owner) : TComponent(owner), items_(this) {}

TCustomDXImageList::~TCustomDXImageList() {
    SetDXDraw(nullptr);
}

void TCustomDXImageList::SetDXDraw(TCustomDXDraw* value) {
    if (value == dxDraw_) return;
    if (dxDraw_) dxDraw_->RemoveNotify(&DXDrawNotify, this);
    dxDraw_ = value;
    if (dxDraw_) dxDraw_->AddNotify(&DXDrawNotify, this);
}

void TCustomDXImageList::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == dxDraw_) {
        dxDraw_ = nullptr;
        items_.Finalize();
    }
}

void TCustomDXImageList::DXDrawNotify(void* object, TCustomDXDraw& sender, TDisplayNotice notice) {
    auto& list = *static_cast<TCustomDXImageList*>(object);
    switch (notice) {
        case TDisplayNotice::Destroying:
            list.dxDraw_ = nullptr;
            break;
        case TDisplayNotice::Initialize:
            list.items_.Initialize(sender);
            break;
        case TDisplayNotice::Finalize:
            list.items_.Finalize();
            break;
        case TDisplayNotice::Restore:
            list.items_.Restore();
            break;
        default:
            break;
    }
}

}  // namespace vek
