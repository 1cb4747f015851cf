// Saved window placement of TDXForm.
#include "app/dx_form.hpp"

namespace vek {

namespace {
constexpr std::uint32_t kPlacementLength = 44;
}

void TDXForm::SaveWindowPlacement() {
    placement_ = platform::WindowPlacement{};
    placement_.length = kPlacementLength;
    placementValid_ = Handle() && Handle()->getPlacement(placement_);
}

void TDXForm::RestoreWindowPlacement() {
    if (!placementValid_) return;
    if (Handle()) Handle()->setPlacement(placement_);
    placementValid_ = false;
}

}  // namespace vek
