// Name buckets of THashCollection.
#include "runtime/hash_collection.hpp"

#include <cctype>

namespace vek {

namespace {
char lowerChar(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}
}  // namespace

std::string lowerName(std::string_view name) {
    std::string out(name);
    for (auto& c : out) c = lowerChar(c);
    return out;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerChar(a[i]) != lowerChar(b[i])) return false;
    return true;
}

std::uint8_t THashCollection::HashOf(std::string_view name) {
    const std::string lower = lowerName(name);
    std::uint32_t h = static_cast<std::uint32_t>(lower.size()) * 16;
    if (lower.size() >= 2) {
        h += static_cast<unsigned char>(lower[0]);
        h += static_cast<unsigned char>(lower[lower.size() - 2]);
    }
    return static_cast<std::uint8_t>(h % 256);
}

void THashCollectionItem::SetName(const std::string& name) {
    if (collection_) collection_->Unlink(*this);
    name_ = name;
    if (collection_) collection_->Link(*this);
}

THashCollection::~THashCollection() {
    Clear();
}

THashCollectionItem* THashCollection::IndexOf(std::string_view name) const {
    for (auto* item = buckets_[HashOf(name)]; item; item = item->nextInBucket_)
        if (sameName(item->name_, name)) return item;
    return nullptr;
}

THashCollectionItem& THashCollection::AddItem(std::unique_ptr<THashCollectionItem> item) {
    item->collection_ = this;
    item->index_ = Count();
    Link(*item);
    items_.push_back(std::move(item));
    return *items_.back();
}

void THashCollection::Delete(int index) {
    auto& item = Item(index);
    Unlink(item);
    items_.erase(items_.begin() + index);
    for (auto i = static_cast<std::size_t>(index); i < items_.size(); ++i) --items_[i]->index_;
}

void THashCollection::Clear() {
    while (!items_.empty()) Delete(Count() - 1);
}

void THashCollection::Link(THashCollectionItem& item) {
    auto& head = buckets_[HashOf(item.name_)];
    item.nextInBucket_ = head;
    head = &item;
}

void THashCollection::Unlink(THashCollectionItem& item) {
    auto** link = &buckets_[HashOf(item.name_)];
    while (*link && *link != &item) link = &(*link)->nextInBucket_;
    if (*link) *link = item.nextInBucket_;
    item.nextInBucket_ = nullptr;
}

}  // namespace vek
