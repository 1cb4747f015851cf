// The sprite engine component of the main window: owns the sprite tree's root and the
// stored sprite definitions, follows its display's notices for the surface to draw on, and
// gives the game its three calls per frame: Move, Dead and Draw.
#pragma once

#include <memory>

#include "runtime/component.hpp"
#include "sprite/sprite.hpp"

namespace vek {

class TCustomDXDraw;
class TSpriteCollection;
enum class TDisplayNotice : std::uint8_t;

class TCustomDXSpriteEngine : public TComponent {
public:
    explicit TCustomDXSpriteEngine(TComponent* owner);
    // Leaves the display, then frees the definitions and the whole tree.
    ~TCustomDXSpriteEngine() override;

    void Move(int moveCount);
    void Dead();
    // Draws the tree while the display is initialised.
    void Draw();

    TCustomDXDraw* DXDraw() const { return dxDraw_; }
    // Leaves the old display's listeners and joins the new one's; an initialised display
    // hands over its back surface at once.
    void SetDXDraw(TCustomDXDraw* value);
    TSpriteEngine& Engine() const { return *engine_; }
    TSpriteCollection& Items() const { return *items_; }
    // Copies the given definitions into the owned collection.
    void SetItems(const TSpriteCollection& value);

    // Stored properties: "DXDraw", the display's component name (an identifier, written
    // when a named display is bound and resolved once the whole description is read), and
    // "Items", the definitions (a collection, see TSpriteCollection).
    void WriteProperties(TPropertyWriter& writer) const;
    bool ReadProperty(TPropertyReader& reader) override;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    static void DXDrawNotify(void* object, TCustomDXDraw& sender, TDisplayNotice notice);

    TCustomDXDraw* dxDraw_ = nullptr;
    std::unique_ptr<TSpriteEngine> engine_;
    std::unique_ptr<TSpriteCollection> items_;
};

// The sprite engine as the main window's description publishes it.
class TDXSpriteEngine : public TCustomDXSpriteEngine {
public:
    using TCustomDXSpriteEngine::TCustomDXSpriteEngine;
    std::string_view ClassName() const override { return "TDXSpriteEngine"; }
};

}  // namespace vek
