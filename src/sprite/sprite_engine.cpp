// The sprite engine component drops its display when the display goes away.
#include "sprite/sprite_engine.hpp"

#include "graphics/dxdraw.hpp"

namespace vek {

void TDXSpriteEngine::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && component == dxDraw_) dxDraw_ = nullptr;
}

}  // namespace vek
