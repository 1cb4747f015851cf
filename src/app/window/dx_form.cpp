// Saved window placement of TDXForm.
#include "app/window/dx_form.hpp"

#include "platform/toolkit/application_base.hpp"

namespace vek {

void TDXForm::SaveWindowPlacement() {
    placement_ = platform::WindowPlacement{};
    placement_.length = platform::kPlacementLength;
    placementValid_ = Handle() && Handle()->getPlacement(placement_);
}

void TDXForm::RestoreWindowPlacement() {
    if (!placementValid_) return;
    if (Handle()) Handle()->setPlacement(placement_);
    placementValid_ = false;
}

}  // namespace vek
