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

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TCustomDXDraw* dxDraw_ = nullptr;
};

}  // namespace vek
