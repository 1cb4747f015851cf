// THashCollection: an ordered, owning collection whose items are also found by name,
// ignoring case, through 256 hash buckets in which the most recently named item wins.
// The image list and the wave list are such collections.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vek {

class THashCollection;

class THashCollectionItem {
public:
    virtual ~THashCollectionItem() = default;
    THashCollectionItem(const THashCollectionItem&) = delete;
    THashCollectionItem& operator=(const THashCollectionItem&) = delete;

    const std::string& Name() const { return name_; }
    // Renaming moves the item to the front of its new bucket.
    void SetName(const std::string& name);
    int Index() const { return index_; }
    THashCollection* Collection() const { return collection_; }

protected:
    THashCollectionItem() = default;

private:
    friend class THashCollection;
    std::string name_;
    int index_ = -1;
    THashCollection* collection_ = nullptr;
    THashCollectionItem* nextInBucket_ = nullptr;
};

class THashCollection {
public:
    THashCollection() = default;
    virtual ~THashCollection();
    THashCollection(const THashCollection&) = delete;
    THashCollection& operator=(const THashCollection&) = delete;

    int Count() const { return static_cast<int>(items_.size()); }
    THashCollectionItem& Item(int index) const { return *items_.at(static_cast<std::size_t>(index)); }
    // The item with that name ignoring case (the most recently named one), or null.
    THashCollectionItem* IndexOf(std::string_view name) const;
    // Takes ownership of a new item, appends it and files it under its name.
    THashCollectionItem& AddItem(std::unique_ptr<THashCollectionItem> item);
    void Delete(int index);
    void Clear();

    // The bucket of a name: lower-cased length × 16, plus the codes of the first and the
    // second-to-last character when there are at least two; modulo 256.
    static std::uint8_t HashOf(std::string_view name);

private:
    friend class THashCollectionItem;
    void Unlink(THashCollectionItem& item);
    void Link(THashCollectionItem& item);

    std::vector<std::unique_ptr<THashCollectionItem>> items_;
    std::array<THashCollectionItem*, 256> buckets_{};
};

// Lower-cases a name the way lookups compare it.
std::string lowerName(std::string_view name);
bool sameName(std::string_view a, std::string_view b);

}  // namespace vek
