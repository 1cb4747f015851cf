// The sprite tree's attach and detach, draw order, the move, draw and collision walks,
// deferred freeing, groups and selection, and the sprite's stored properties.
#include "sprite/sprite.hpp"

#include <algorithm>
#include <cstdint>

#include "graphics/direct_draw.hpp"
#include "runtime/property_stream.hpp"
#include "runtime/rounding.hpp"
#include "sprite/sprite_engine.hpp"
#include "sprite/stored_fields.hpp"

namespace vek {

namespace {

// Removes the first entry of sprite; a list that does not hold it is left alone (a plain
// copy of Selected or GroupNumber by Assign may claim a membership that was never made).
void removeFirst(TSpriteList& list, const TSprite* sprite) {
    const auto it = std::find(list.begin(), list.end(), sprite);
    if (it != list.end()) list.erase(it);
}

// The same, searching from the end: the engine frees and Clear destroys the newest first.
void removeLast(TSpriteList& list, const TSprite* sprite) {
    const auto it = std::find(list.rbegin(), list.rend(), sprite);
    if (it != list.rend()) list.erase(std::next(it).base());
}

}  // namespace

// ---- TSprite: life in the tree

TSprite::TSprite(TSprite* parent) : parent_(parent) {
    if (!parent_) return;
    attachToParent();
    auto* root = dynamic_cast<TSpriteEngine*>(parent_);
    engine_ = root ? root : parent_->engine_;
    if (engine_) ++engine_->allCount_;
}

void TSprite::attachToParent() {
    parent_->children_.push_back(this);
    try {
        parent_->insertIntoDrawList(*this);
    } catch (...) {
        parent_->children_.pop_back();
        throw;
    }
}

TSprite::~TSprite() {
    SetGroupNumber(-1);
    SetSelected(false);
    Clear();
    if (parent_) {
        if (engine_) --engine_->allCount_;
        parent_->detachChild(*this);
    }
    if (engine_ && everListed_) leaveEngineLists();
    if (engine_ && isDead_) removeLast(engine_->deadList_, this);
    if (keeper_) *keeper_ = nullptr;
}

// Assign copies Selected and GroupNumber as plain values, so a group or the selection may
// still hold this sprite under a flag that says otherwise: none keeps it past its life.
void TSprite::leaveEngineLists() {
    std::erase(engine_->selectedList_, this);
    engine_->anySelected_ = !engine_->selectedList_.empty();
    for (auto& group : engine_->groups_) std::erase(*group, this);
}

void TSprite::detachChild(TSprite& child) {
    removeLast(children_, &child);
    removeFromDrawList(child);
}

void TSprite::Clear() {
    // The tree owns its children: this is where they are deleted.
    while (!children_.empty()) delete children_.back();
}

TSprite& TSprite::Children(int index) const {
    if (children_.empty()) throw ESpriteError(formatMessage(kSpriteIndexError, {index}));
    if (index < 0 || index >= ChildCount()) throw EListError(formatMessage(kListIndexError, {index}));
    return *children_[static_cast<std::size_t>(index)];
}

// ---- Draw order

// Binary search for the first entry whose Z is not below the child's: among equal Z the
// newest insertion goes first, beneath the others.
void TSprite::insertIntoDrawList(TSprite& child) {
    int low = 0, high = static_cast<int>(drawList_.size()) - 1;
    while (low <= high) {
        const int mid = (low + high) / 2;
        if (drawList_[static_cast<std::size_t>(mid)]->z_ < child.z_)
            low = mid + 1;
        else
            high = mid - 1;
    }
    drawList_.insert(drawList_.begin() + low, &child);
}

void TSprite::removeFromDrawList(TSprite& child) {
    auto it = std::lower_bound(drawList_.begin(), drawList_.end(), child.z_,
                               [](const TSprite* s, int z) { return s->z_ < z; });
    while (it != drawList_.end() && *it != &child && (*it)->z_ == child.z_) ++it;
    // Assign writes Z without re-ordering, so the list may be out of order: search it all.
    if (it == drawList_.end() || *it != &child) it = std::find(drawList_.begin(), drawList_.end(), &child);
    if (it != drawList_.end()) drawList_.erase(it);
}

void TSprite::SetZ(int value) {
    if (value == z_) return;
    if (!parent_) {
        z_ = value;
        return;
    }
    parent_->removeFromDrawList(*this);
    z_ = value;
    parent_->insertIntoDrawList(*this);  // reuses the place just freed: cannot allocate
}

// ---- Walks

void TSprite::Move(int moveCount) {
    if (!Moved) return;
    DoMove(moveCount);
    Animate(moveCount);
    // The count is read once; the second test only keeps a handler that wrongly freed a
    // sprite from making the walk read past the list.
    const int count = ChildCount();
    for (int i = 0; i < count && i < ChildCount(); ++i)
        children_[static_cast<std::size_t>(i)]->Move(moveCount);
}

void TSprite::drawWalk() {
    if (!Visible) return;
    if (engine_ && OverlapRect(engine_->surfaceRect_, GetBoundsRect())) {
        DoDraw();
        ++engine_->drawCount_;
    }
    const int count = static_cast<int>(drawList_.size());
    for (int i = 0; i < count && i < static_cast<int>(drawList_.size()); ++i)
        drawList_[static_cast<std::size_t>(i)]->drawWalk();
}

int TSprite::Collision() {
    if (!engine_ || isDead_ || !Collisioned) return 0;
    TSpriteEngine& e = *engine_;
    e.collisionCount_ = 0;
    e.collisionDone_ = false;
    e.collisionRect_ = GetBoundsRect();
    e.collisionSprite_ = this;
    const int count = e.ChildCount();
    for (int i = 0; i < count && i < e.ChildCount(); ++i)
        collisionVisit(*e.children_[static_cast<std::size_t>(i)]);
    return e.collisionCount_;
}

// Run on the colliding sprite for each visited sprite. Done stops only the descent into
// the visited sprite's children; the loops already running go on.
void TSprite::collisionVisit(TSprite& sprite) {
    if (!sprite.Collisioned) return;
    TSpriteEngine& e = *engine_;
    if (&sprite != this && OverlapRect(sprite.GetBoundsRect(), e.collisionRect_) && TestCollision(sprite) &&
        sprite.TestCollision(*this)) {
        ++e.collisionCount_;
        DoCollision(sprite, e.collisionDone_);
        if (!Collisioned || isDead_) e.collisionDone_ = true;
    }
    if (e.collisionDone_) return;
    const int count = sprite.ChildCount();
    for (int i = 0; i < count && i < sprite.ChildCount(); ++i)
        collisionVisit(*sprite.children_[static_cast<std::size_t>(i)]);
}

void TSprite::Dead() {
    if (!engine_ || isDead_) return;
    engine_->deadList_.push_back(this);
    isDead_ = true;
}

// ---- Hooks

void TSprite::DoCollision(TSprite& sprite, bool& done) {
    if (OnCollision) OnCollision(sprite, done);
}

void TSprite::DoDraw() {
    if (OnDraw) OnDraw(*this);
}

void TSprite::DoMove(int moveCount) {
    if (OnMove) OnMove(*this, moveCount);
}

void TSprite::Animate(int) {}

TRect TSprite::GetBoundsRect() {
    return Bounds(roundHalfEven(WorldX()), roundHalfEven(WorldY()), Width, Height);
}

bool TSprite::TestCollision(TSprite&) {
    return true;
}

TCustomDXDraw* TSprite::EngineDisplay() const {
    const auto* component = engine_ ? engine_->DXSpriteEngine() : nullptr;
    return component ? component->DXDraw() : nullptr;
}

// ---- Groups and selection

void TSprite::SetGroupNumber(int value) {
    if (value == groupNumber_ || !engine_) return;
    if (groupNumber_ >= 0)
        if (auto* group = engine_->GetGroup(groupNumber_)) removeFirst(*group, this);
    if (auto* group = value >= 0 ? engine_->GetGroup(value) : nullptr) {
        group->push_back(this);
        everListed_ = true;
    }
    groupNumber_ = value;
}

void TSprite::SetSelected(bool value) {
    if (value == selected_ || !engine_) return;
    if (value) {
        engine_->selectedList_.push_back(this);
        everListed_ = true;
    } else {
        removeFirst(engine_->selectedList_, this);
    }
    selected_ = value;
    engine_->anySelected_ = !engine_->selectedList_.empty();
}

// ---- Copies and stored properties

void TSprite::Assign(const TSprite& source) {
    if (&source == this) return;
    Collisioned = source.Collisioned, Moved = source.Moved, Visible = source.Visible;
    Height = source.Height, Width = source.Width;
    X = source.X, Y = source.Y, z_ = source.z_;
    selected_ = source.selected_, groupNumber_ = source.groupNumber_;
    image_ = source.image_;
    DXImageName = source.DXImageName, DXImageList = source.DXImageList;
    OnDraw = source.OnDraw, OnMove = source.OnMove;
    OnCollision = source.OnCollision, OnGetImage = source.OnGetImage;
}

void TSprite::WriteProperties(TPropertyWriter& writer) const {
    writer.WriteInteger("Height", Height);
    writer.WriteBoolean("Moved", Moved);
    writer.WriteBoolean("Visible", Visible);
    writer.WriteInteger("Width", Width);
    if (X != 0) writer.WriteReal("X", X);
    if (Y != 0) writer.WriteReal("Y", Y);
    writer.WriteInteger("Z", z_);
    writer.WriteBoolean("Collisioned", Collisioned);
    writer.WriteInteger("Tag", Tag);
    if (!Caption.empty()) writer.WriteString("Caption", Caption);
    if (!DXImageName.empty()) writer.WriteString("DXImageName", DXImageName);
}

namespace {

using Field = TStoredField<TSprite>;
constexpr Field kSpriteFields[] = {
    {"Height", [](TSprite& s, TPropertyReader& r) { s.Height = readInt32(r); }},
    {"Moved", [](TSprite& s, TPropertyReader& r) { s.Moved = r.ReadBoolean(); }},
    {"Visible", [](TSprite& s, TPropertyReader& r) { s.Visible = r.ReadBoolean(); }},
    {"Width", [](TSprite& s, TPropertyReader& r) { s.Width = readInt32(r); }},
    {"X", [](TSprite& s, TPropertyReader& r) { s.X = r.ReadReal(); }},
    {"Y", [](TSprite& s, TPropertyReader& r) { s.Y = r.ReadReal(); }},
    {"Z", [](TSprite& s, TPropertyReader& r) { s.SetZ(readInt32(r)); }},
    {"Collisioned", [](TSprite& s, TPropertyReader& r) { s.Collisioned = r.ReadBoolean(); }},
    {"Tag", [](TSprite& s, TPropertyReader& r) { s.Tag = readInt32(r); }},
    {"Caption", [](TSprite& s, TPropertyReader& r) { s.Caption = r.ReadString(); }},
    {"DXImageName", [](TSprite& s, TPropertyReader& r) { s.DXImageName = r.ReadString(); }},
};

}  // namespace

bool TSprite::ReadProperty(TPropertyReader& reader) {
    return readStoredField<TSprite>(kSpriteFields, *this, reader);
}

// ---- TSpriteEngine

TSpriteEngine::TSpriteEngine() : TSprite(nullptr) {
    SetGroupCount(10);
}

TSpriteEngine::~TSpriteEngine() {
    DeselectAll();
    SetGroupCount(0);
    // The children leave the dead list and the counters while those still exist.
    Clear();
}

void TSpriteEngine::Draw() {
    drawCount_ = 0;
    drawWalk();
}

void TSpriteEngine::Dead() {
    // Each sprite leaves the list as it is destroyed, and so do its marked descendants.
    while (!deadList_.empty()) delete deadList_.back();
}

void TSpriteEngine::SetSurface(TDirectDrawSurface* surface) {
    surface_ = surface;
    if (!surface) return;
    surfaceRect_ = TRect{0, 0, surface->Width(), surface->Height()};
    Width = surfaceRect_.width();
    Height = surfaceRect_.height();
}

void TSpriteEngine::SetGroupCount(int count) {
    if (count == GroupCount() || count < 0) return;
    for (int i = count; i < GroupCount(); ++i) DeselectGroup(i);
    if (count < GroupCount()) groups_.resize(static_cast<std::size_t>(count));
    while (GroupCount() < count) groups_.push_back(std::make_unique<TSpriteList>());
}

TSpriteList* TSpriteEngine::GetGroup(int index) const {
    if (index < 0 || index >= GroupCount()) return nullptr;
    return groups_[static_cast<std::size_t>(index)].get();
}

void TSpriteEngine::DeselectAll() {
    while (!selectedList_.empty()) {
        TSprite* sprite = selectedList_.back();
        if (sprite->selected_)
            sprite->SetSelected(false);
        else
            selectedList_.pop_back();  // listed under a flag that Assign cleared
    }
    anySelected_ = false;
}

void TSpriteEngine::DeselectGroup(int index) {
    if (const auto* group = GetGroup(index))
        for (TSprite* sprite : *group) sprite->SetSelected(false);
}

}  // namespace vek
