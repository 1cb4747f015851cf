// Stored sprite definitions: a named collection whose items each own one sprite under the
// engine, of the class their KindSprite names. The game stores none; the collection exists
// so that a description can hold them.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "runtime/hash_collection.hpp"
#include "sprite/sprite.hpp"

namespace vek {

inline constexpr const char* kItemDuplicateName = "Item duplicate name \"%s\" error";

enum TSpriteType : std::uint8_t { stSprite, stImageSprite, stImageSpriteEx, stBackgroundSprite };

// The class a kind makes: TSprite, TImageSprite, TImageSpriteEx or TBackgroundSprite.
TSpriteClass spriteClassOf(TSpriteType kind);

class TSpriteCollectionItem : public THashCollectionItem {
public:
    // Makes a plain sprite under the engine.
    explicit TSpriteCollectionItem(TSpriteEngine& engine);
    // Destroys the sprite, unless the tree has already freed it.
    ~TSpriteCollectionItem() override;

    // The owned sprite; null once the tree has freed it (the engine's Clear or Dead).
    TSprite* Sprite() const { return sprite_; }
    // Copies the settings of value into the owned sprite.
    void SetSprite(const TSprite& value);
    TSpriteType KindSprite() const { return kind_; }
    // A new kind replaces the sprite by one of the kind's class with the same settings.
    void SetKindSprite(TSpriteType kind);
    // Raises "Item duplicate name "%s" error" when another item bears the name; the name
    // then stays as it was.
    void SetName(const std::string& name);

    // The owned sprite's image list and handlers.
    TCustomDXImageList* ImageList() const { return sprite_ ? sprite_->DXImageList : nullptr; }
    void SetImageList(TCustomDXImageList* value);
    void SetOnDraw(TDrawEvent handler);
    void SetOnMove(TMoveEvent handler);
    void SetOnCollision(TCollisionEvent handler);
    void SetOnGetImage(TGetImage handler);

private:
    void keep(TSprite& sprite);

    TSpriteEngine& engine_;
    TSprite* sprite_ = nullptr;  // a node of the engine's tree, freed by this item
    TSpriteType kind_ = stSprite;
};

using TSpriteCollectionEvent = std::function<void(TSpriteEngine& owner)>;

class TSpriteCollection : public THashCollection {
public:
    // Calls onInitialize with the engine, ignoring an error it raises.
    TSpriteCollection(TCustomDXSpriteEngine* owner, TSpriteEngine& engine,
                      TSpriteCollectionEvent onInitialize = {});
    // Calls OnFinalize with the engine; the items and their sprites go after.
    ~TSpriteCollection() override;

    TCustomDXSpriteEngine* Owner() const { return owner_; }
    TSpriteCollectionItem& Add();
    TSpriteCollectionItem& Items(int index) const;
    TSpriteCollectionItem* Find(std::string_view name) const;
    // Replaces the items by copies: names, kinds and sprite settings.
    void Assign(const TSpriteCollection& source);

    TSpriteCollectionEvent OnInitialize;
    TSpriteCollectionEvent OnFinalize;

    // The stored form: a collection property "Items", one block per item holding "Name"
    // (string), "KindSprite" (an identifier, stSprite …) and the sprite's own stored
    // properties. ReadItems reads the reader's current "Items" value, replacing the items,
    // and raises EPropertyError for a malformed block or an unknown property.
    void WriteItems(TPropertyWriter& writer) const;
    void ReadItems(TPropertyReader& reader);

private:
    TCustomDXSpriteEngine* owner_;
    TSpriteEngine& engine_;
};

}  // namespace vek
