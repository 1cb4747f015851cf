// The sprite engine component: the display's notices, the per-frame calls and the stored
// properties.
#include "sprite/sprite_engine.hpp"

#include "graphics/dxdraw.hpp"
#include "runtime/hash_collection.hpp"
#include "runtime/property_stream.hpp"
#include "sprite/sprite_collection.hpp"

namespace vek {

TCustomDXSpriteEngine::TCustomDXSpriteEngine(TComponent* owner)
    : TComponent(owner), engine_(std::make_unique<TSpriteEngine>()) {
    engine_->SetDXSpriteEngine(this);
    items_ = std::make_unique<TSpriteCollection>(this, *engine_);
}

TCustomDXSpriteEngine::~TCustomDXSpriteEngine() {
    SetDXDraw(nullptr);
    items_.reset();
    engine_.reset();
}

void TCustomDXSpriteEngine::Move(int moveCount) {
    engine_->Move(moveCount);
}

void TCustomDXSpriteEngine::Dead() {
    engine_->Dead();
}

void TCustomDXSpriteEngine::Draw() {
    if (dxDraw_ && dxDraw_->Initialized()) engine_->Draw();
}

void TCustomDXSpriteEngine::SetDXDraw(TCustomDXDraw* value) {
    if (dxDraw_) dxDraw_->RemoveNotify(&DXDrawNotify, this);
    dxDraw_ = value;
    if (dxDraw_) dxDraw_->AddNotify(&DXDrawNotify, this);
}

void TCustomDXSpriteEngine::SetItems(const TSpriteCollection& value) {
    items_->Assign(value);
}

void TCustomDXSpriteEngine::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    // The display already said Destroying, which unbound it; should it not have, only the
    // reference is dropped, since the display is half gone by now.
    if (operation == TOperation::opRemove && component == dxDraw_) {
        dxDraw_ = nullptr;
        engine_->SetSurface(nullptr);
    }
}

void TCustomDXSpriteEngine::DXDrawNotify(void* object, TCustomDXDraw& sender, TDisplayNotice notice) {
    auto& self = *static_cast<TCustomDXSpriteEngine*>(object);
    switch (notice) {
        case TDisplayNotice::Destroying:
            self.SetDXDraw(nullptr);
            break;
        case TDisplayNotice::Initialize:
            self.engine_->SetSurface(sender.Surface());
            break;
        case TDisplayNotice::Finalize:
            self.engine_->SetSurface(nullptr);
            break;
        default:
            // A new back-surface size does not change SurfaceRect.
            break;
    }
}

void TCustomDXSpriteEngine::WriteProperties(TPropertyWriter& writer) const {
    if (dxDraw_ && !dxDraw_->Name().empty()) writer.WriteIdent("DXDraw", dxDraw_->Name());
    items_->WriteItems(writer);
}

bool TCustomDXSpriteEngine::ReadProperty(TPropertyReader& reader) {
    if (reader.Name() == "DXDraw") {
        ReadReference<TCustomDXDraw>(reader, [this](TCustomDXDraw* display) { SetDXDraw(display); });
    } else if (reader.Name() == "Items") {
        items_->ReadItems(reader);
    } else {
        return false;
    }
    return true;
}

}  // namespace vek
