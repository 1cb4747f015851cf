// The sprite engine component drops its display when the display goes away.
#include "sprite/sprite_engine.hpp"

#include "graphics/dxdraw.hpp"

namespace vek {

bool TDXSpriteEngine::ReadProperty(TPropertyReader& reader) {
    if (reader.Name() == "DXDraw") {
        ReadReference<TCustomDXDraw>(reader, [this](TCustomDXDraw* display) { SetDXDraw(display); });
    } else if (reader.Name() == "Items") {
        if (reader.ReadCollection() != 0) reader.Fail("Stored sprites are not supported");
    } else {
        return false;
    }
    return true;
}

void TDXSpriteEngine::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && component == dxDraw_) dxDraw_ = nullptr;
}

}  // namespace vek
