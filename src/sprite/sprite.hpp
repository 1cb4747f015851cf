// The sprite tree: TSprite, a node with a position, a size and a draw order that owns its
// children, and TSpriteEngine, the root that counts the tree, runs the collision walk and
// frees the sprites marked dead between walks.
//
// Ownership. A sprite is made under a parent, and the parent owns it from then on:
//     auto& ship = TSprite::Create<TPlayerSprite>(engine);  // valid until the tree frees it
// TSprite::Create is the one place that allocates sprites with `new`; the tree (Clear, a
// sprite's destructor, the engine's Dead) is the one place that deletes them. Handlers never
// free a sprite during a walk: they mark it with Dead() and the engine frees it in its own
// Dead() between walks. A sprite made without a parent belongs to no tree and is owned like
// any other object (the engine itself is one; its component holds it in a unique_ptr); one
// made with a parent must come from Create (or `new`), never from the stack or a unique_ptr.
//
// Subclasses (the game's ships, shots, enemies) take the parent as the first constructor
// argument and override DoMove, DoCollision, DoDraw or Animate; they call Collision() from
// inside their DoMove. TSpriteClass is the class reference ("virtual constructor"):
//     const TSpriteClass kind = TSpriteClass::Of<TEnemyDisk>();
//     TSprite& enemy = kind.Create(engine);
// Class tests use dynamic_cast.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "runtime/exception.hpp"
#include "runtime/types.hpp"

namespace vek {

VEK_DECLARE_ERROR(ESpriteError, Exception);

inline constexpr const char* kSpriteIndexError = "Index of the list exceeds the range. (%d)";

class TSprite;
class TSpriteEngine;
class TCustomDXSpriteEngine;
class TCustomDXDraw;
class TCustomDXImageList;
class TDirectDrawSurface;
class TPictureCollectionItem;
class TPropertyReader;
class TPropertyWriter;

// References to sprites owned elsewhere in the tree.
using TSpriteList = std::vector<TSprite*>;

// Handlers; an unset handler is skipped.
using TDrawEvent = std::function<void(TSprite& sender)>;
using TMoveEvent = std::function<void(TSprite& sender, int& moveCount)>;
using TCollisionEvent = std::function<void(TSprite& sender, bool& done)>;
using TGetImage = std::function<void(TSprite& sender, TPictureCollectionItem*& image)>;

class TSprite {
public:
    // Attaches to parent (which then owns this sprite) when one is given.
    explicit TSprite(TSprite* parent);
    // Destroys the subtree and leaves the parent, the engine's lists and counters.
    virtual ~TSprite();
    TSprite(const TSprite&) = delete;
    TSprite& operator=(const TSprite&) = delete;

    // Makes a sprite of class T under parent; the parent owns it.
    template <class T, class... Args>
    static T& Create(TSprite& parent, Args&&... args) {
        return *new T(&parent, std::forward<Args>(args)...);
    }

    TSpriteEngine* Engine() const { return engine_; }
    TSprite* Parent() const { return parent_; }
    int ChildCount() const { return static_cast<int>(children_.size()); }
    // A child in attach order; ESpriteError without children, EListError outside the list.
    TSprite& Children(int index) const;
    // The children by ascending Z, the order they are drawn in.
    const TSpriteList& DrawList() const { return drawList_; }
    // Destroys every child, the last attached first.
    void Clear();

    // Moves this sprite (DoMove, then Animate), then its children in attach order; children
    // attached meanwhile are first moved by the next call.
    void Move(int moveCount);
    // Tests this sprite against the tree and calls DoCollision for each hit; the number of hits.
    int Collision();
    // Marks the sprite for the engine to free at its next Dead().
    void Dead();
    bool IsDead() const { return isDead_; }

    double WorldX() const { return parent_ ? parent_->WorldX() + X : X; }
    double WorldY() const { return parent_ ? parent_->WorldY() + Y : Y; }
    int Z() const { return z_; }
    // A new value moves the sprite before the siblings that already have it.
    void SetZ(int value);
    bool Selected() const { return selected_; }
    virtual void SetSelected(bool value);
    int GroupNumber() const { return groupNumber_; }
    virtual void SetGroupNumber(int value);
    TPictureCollectionItem* Image() const { return image_; }

    // Left/top at the rounded world position, with Width and Height.
    virtual TRect GetBoundsRect();
    // The finer test after the bounds overlap; true for a plain sprite.
    virtual bool TestCollision(TSprite& sprite);
    // Copies the settings as plain field writes: no draw-list, group or selection updates.
    virtual void Assign(const TSprite& source);

    // Stored properties. Integers and booleans are always written, reals and strings when
    // not zero or empty. ReadProperty answers false for a name it does not know, leaving the
    // value unread. References (DXImageList) and handlers are bound by the description reader.
    virtual void WriteProperties(TPropertyWriter& writer) const;
    virtual bool ReadProperty(TPropertyReader& reader);

    // Published settings: plain fields.
    bool Collisioned = true;
    bool Moved = true;
    bool Visible = true;
    double X = 0;
    double Y = 0;
    int Width = 0;
    int Height = 0;
    int Tag = 0;
    std::string Caption;
    TCustomDXImageList* DXImageList = nullptr;
    std::string DXImageName;
    TDrawEvent OnDraw;
    TMoveEvent OnMove;
    TCollisionEvent OnCollision;
    TGetImage OnGetImage;

protected:
    // Calls OnCollision with the other sprite as sender.
    virtual void DoCollision(TSprite& sprite, bool& done);
    virtual void DoDraw();
    // Calls OnMove with a copy of moveCount.
    virtual void DoMove(int moveCount);
    virtual void Animate(int moveCount);
    // The display of the engine's component, or null.
    TCustomDXDraw* EngineDisplay() const;

    TPictureCollectionItem* image_ = nullptr;

private:
    friend class TSpriteEngine;
    friend class TSpriteCollectionItem;

    void attachToParent();
    void detachChild(TSprite& child);
    void leaveEngineLists();
    void insertIntoDrawList(TSprite& child);
    void removeFromDrawList(TSprite& child);
    void drawWalk();
    void collisionVisit(TSprite& sprite);

    TSpriteEngine* engine_ = nullptr;
    TSprite* parent_ = nullptr;
    TSpriteList children_;  // owned: deleted by Clear and the destructor
    TSpriteList drawList_;  // the same children by ascending Z
    bool isDead_ = false;
    bool selected_ = false;
    bool everListed_ = false;  // has been put in a group or the selection
    int z_ = 0;
    int groupNumber_ = -1;
    TSprite** keeper_ = nullptr;  // a collection item's reference, cleared when the tree frees this
};

// The root of a tree: counters, the surface rectangle, the collision walk's state, the
// sprites waiting to be freed, the groups and the selection.
class TSpriteEngine : public TSprite {
public:
    TSpriteEngine();
    ~TSpriteEngine() override;

    // Counts and draws every visible sprite that overlaps the surface rectangle, by Z.
    void Draw();
    // Frees the sprites marked dead, the last marked first.
    void Dead();

    TCustomDXSpriteEngine* DXSpriteEngine() const { return dxSpriteEngine_; }
    void SetDXSpriteEngine(TCustomDXSpriteEngine* value) { dxSpriteEngine_ = value; }
    int AllCount() const { return allCount_; }
    int DrawCount() const { return drawCount_; }
    int CollisionCount() const { return collisionCount_; }
    bool CollisionDone() const { return collisionDone_; }
    const TRect& CollisionRect() const { return collisionRect_; }
    TSprite* CollisionSprite() const { return collisionSprite_; }
    const TSpriteList& DeadList() const { return deadList_; }

    TDirectDrawSurface* Surface() const { return surface_; }
    const TRect& SurfaceRect() const { return surfaceRect_; }
    // Binds a surface; without one, SurfaceRect, Width and Height keep their last values.
    virtual void SetSurface(TDirectDrawSurface* surface);

    bool AnySelected() const { return anySelected_; }
    const TSpriteList& SelectedList() const { return selectedList_; }
    int GroupCount() const { return static_cast<int>(groups_.size()); }
    virtual void SetGroupCount(int count);
    // The group list, or null outside 0 .. GroupCount − 1.
    virtual TSpriteList* GetGroup(int index) const;
    void DeselectAll();
    void DeselectGroup(int index);

private:
    friend class TSprite;

    TCustomDXSpriteEngine* dxSpriteEngine_ = nullptr;
    int allCount_ = 0;
    int collisionCount_ = 0;
    bool collisionDone_ = false;
    TRect collisionRect_;
    TSprite* collisionSprite_ = nullptr;
    TSpriteList deadList_;
    int drawCount_ = 0;
    TDirectDrawSurface* surface_ = nullptr;
    TRect surfaceRect_;
    bool anySelected_ = false;
    std::vector<std::unique_ptr<TSpriteList>> groups_;
    TSpriteList selectedList_;
};

// A class reference: names a sprite class and makes sprites of it under a parent.
class TSpriteClass {
public:
    template <class T>
    static TSpriteClass Of() {
        return TSpriteClass(&createAs<T>);
    }
    TSprite& Create(TSprite& parent) const { return create_(parent); }
    friend bool operator==(TSpriteClass, TSpriteClass) = default;

private:
    using Factory = TSprite& (*)(TSprite& parent);
    explicit TSpriteClass(Factory create) : create_(create) {}
    template <class T>
    static TSprite& createAs(TSprite& parent) {
        return TSprite::Create<T>(parent);
    }
    Factory create_;
};

}  // namespace vek
