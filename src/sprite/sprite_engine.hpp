// TDXSpriteEngine: the sprite engine component of the main window. For now it only keeps
// its display; the sprite tree arrives with the sprite engine itself.
#pragma once

#include "runtime/component.hpp"

namespace vek {

class TCustomDXDraw;

class TDXSpriteEngine : public TComponent {
public:
    explicit TDXSpriteEngine(TComponent* owner) : TComponent(owner) {}
    TCustomDXDraw* DXDraw() const { return dxDraw_; }
    void SetDXDraw(TCustomDXDraw* value) { dxDraw_ = value; }

    std::string_view ClassName() const override { return "TDXSpriteEngine"; }
    // The stored properties: DXDraw, and Items, which holds no stored sprites.
    bool ReadProperty(TPropertyReader& reader) override;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TCustomDXDraw* dxDraw_ = nullptr;
};

}  // namespace vek
