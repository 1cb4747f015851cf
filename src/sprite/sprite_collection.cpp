// Sprite definitions: items owning one sprite each, kind changes, unique names and the
// stored form.
#include "sprite/sprite_collection.hpp"

#include <array>

#include "runtime/property_stream.hpp"
#include "sprite/background_sprite.hpp"
#include "sprite/image_sprite.hpp"

namespace vek {

namespace {

constexpr std::array<const char*, 4> kKindNames = {"stSprite", "stImageSprite", "stImageSpriteEx",
                                                   "stBackgroundSprite"};

TSpriteType kindNamed(TPropertyReader& reader) {
    const std::string name = reader.ReadIdent();
    for (std::size_t i = 0; i < kKindNames.size(); ++i)
        if (name == kKindNames[i]) return static_cast<TSpriteType>(i);
    reader.Fail("Unknown sprite kind " + shownName(name));
}

}  // namespace

TSpriteClass spriteClassOf(TSpriteType kind) {
    switch (kind) {
        case stImageSprite:
            return TSpriteClass::Of<TImageSprite>();
        case stImageSpriteEx:
            return TSpriteClass::Of<TImageSpriteEx>();
        case stBackgroundSprite:
            return TSpriteClass::Of<TBackgroundSprite>();
        case stSprite:
            break;
    }
    return TSpriteClass::Of<TSprite>();
}

// ---- TSpriteCollectionItem

TSpriteCollectionItem::TSpriteCollectionItem(TSpriteEngine& engine) : engine_(engine) {
    keep(TSprite::Create<TSprite>(engine));
}

TSpriteCollectionItem::~TSpriteCollectionItem() {
    // The item hands its sprite back to the tree here: deleting it detaches it.
    delete sprite_;
}

void TSpriteCollectionItem::keep(TSprite& sprite) {
    sprite_ = &sprite;
    sprite.keeper_ = &sprite_;
}

void TSpriteCollectionItem::SetSprite(const TSprite& value) {
    if (sprite_) sprite_->Assign(value);
}

void TSpriteCollectionItem::SetKindSprite(TSpriteType kind) {
    if (kind == kind_) return;
    TSprite& fresh = spriteClassOf(kind).Create(engine_);
    if (TSprite* old = sprite_) {
        fresh.Assign(*old);
        fresh.OnDraw = old->OnDraw, fresh.OnMove = old->OnMove;
        fresh.OnCollision = old->OnCollision, fresh.OnGetImage = old->OnGetImage;
        old->keeper_ = nullptr;
        delete old;
    }
    keep(fresh);
    kind_ = kind;
}

void TSpriteCollectionItem::SetName(const std::string& name) {
    if (!name.empty() && !sameName(name, Name()) && Collection() && Collection()->IndexOf(name))
        throw ESpriteError(formatMessage(kItemDuplicateName, name));
    THashCollectionItem::SetName(name);
}

void TSpriteCollectionItem::SetImageList(TCustomDXImageList* value) {
    if (sprite_) sprite_->DXImageList = value;
}

void TSpriteCollectionItem::SetOnDraw(TDrawEvent handler) {
    if (sprite_) sprite_->OnDraw = std::move(handler);
}

void TSpriteCollectionItem::SetOnMove(TMoveEvent handler) {
    if (sprite_) sprite_->OnMove = std::move(handler);
}

void TSpriteCollectionItem::SetOnCollision(TCollisionEvent handler) {
    if (sprite_) sprite_->OnCollision = std::move(handler);
}

void TSpriteCollectionItem::SetOnGetImage(TGetImage handler) {
    if (sprite_) sprite_->OnGetImage = std::move(handler);
}

// ---- TSpriteCollection

TSpriteCollection::TSpriteCollection(TCustomDXSpriteEngine* owner, TSpriteEngine& engine,
                                     TSpriteCollectionEvent onInitialize)
    : OnInitialize(std::move(onInitialize)), owner_(owner), engine_(engine) {
    if (!OnInitialize) return;
    try {
        OnInitialize(engine_);
    } catch (...) {
        // A failing initialise handler does not stop the collection from being made.
    }
}

TSpriteCollection::~TSpriteCollection() {
    if (OnFinalize) OnFinalize(engine_);
    Clear();
}

TSpriteCollectionItem& TSpriteCollection::Add() {
    return static_cast<TSpriteCollectionItem&>(AddItem(std::make_unique<TSpriteCollectionItem>(engine_)));
}

TSpriteCollectionItem& TSpriteCollection::Items(int index) const {
    return static_cast<TSpriteCollectionItem&>(Item(index));
}

TSpriteCollectionItem* TSpriteCollection::Find(std::string_view name) const {
    return static_cast<TSpriteCollectionItem*>(IndexOf(name));
}

void TSpriteCollection::Assign(const TSpriteCollection& source) {
    if (&source == this) return;
    Clear();
    for (int i = 0; i < source.Count(); ++i) {
        const TSpriteCollectionItem& from = source.Items(i);
        TSpriteCollectionItem& item = Add();
        item.SetKindSprite(from.KindSprite());
        if (from.Sprite()) item.SetSprite(*from.Sprite());
        item.SetName(from.Name());
    }
}

void TSpriteCollection::WriteItems(TPropertyWriter& writer) const {
    writer.WriteCollection("Items", static_cast<std::uint32_t>(Count()));
    for (int i = 0; i < Count(); ++i) {
        const TSpriteCollectionItem& item = Items(i);
        if (!item.Name().empty()) writer.WriteString("Name", item.Name());
        writer.WriteIdent("KindSprite", kKindNames[item.KindSprite()]);
        if (item.Sprite()) item.Sprite()->WriteProperties(writer);
        writer.WriteEnd();
    }
}

void TSpriteCollection::ReadItems(TPropertyReader& reader) {
    Clear();
    const std::uint32_t count = reader.ReadCollection();
    for (std::uint32_t i = 0; i < count; ++i) {
        TSpriteCollectionItem& item = Add();
        while (reader.NextProperty()) {
            if (reader.Name() == "Name")
                item.SetName(reader.ReadString());
            else if (reader.Name() == "KindSprite")
                item.SetKindSprite(kindNamed(reader));
            else if (!item.Sprite() || !item.Sprite()->ReadProperty(reader))
                reader.Fail("Unknown property " + shownName(reader.Name()) + " of a sprite definition");
        }
    }
}

}  // namespace vek
