// TDXForm: the multimedia layer's window base. It keeps one saved window placement so
// that leaving full screen puts the window back where and how big it was.
#pragma once

#include "platform/toolkit.hpp"
#include "platform/toolkit/form.hpp"

namespace vek {

class TDXForm : public platform::TCustomForm {
public:
    explicit TDXForm(TComponent* owner) : platform::TCustomForm(owner) {}

    // Reads the window's placement; the saved placement is valid when the read succeeded.
    void SaveWindowPlacement();
    // Writes the saved placement back, only when it is valid, and forgets it.
    void RestoreWindowPlacement();
    bool PlacementValid() const { return placementValid_; }

private:
    platform::WindowPlacement placement_;
    bool placementValid_ = false;
};

}  // namespace vek
