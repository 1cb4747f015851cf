// TDialogForm: a dialog window of the toolkit with its controls, shown modally centred on
// its owner's window, with a close box and no minimise or maximise box. The backend draws
// it; its modal loop keeps the application's idle processing going.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/toolkit.hpp"
#include "platform/toolkit/controls.hpp"
#include "runtime/component.hpp"

namespace vek::platform {

inline constexpr int mrNone = 0;
inline constexpr int mrOk = IDOK;
inline constexpr int mrCancel = IDCANCEL;

class TDialogForm : public TComponent {
public:
    explicit TDialogForm(TComponent* owner) : TComponent(owner) {}

    std::string Caption;
    int ClientWidth = 0;
    int ClientHeight = 0;
    // The font that controls made afterwards start with.
    TFont Font;

    // Shows the dialog and runs its modal loop until it closes: a button with a modal
    // result, a handler that sets one, or the close box (mrCancel). Answers the result.
    int ShowModal();
    int ModalResult() const { return modalResult_; }
    // From a handler while the dialog is shown: a result other than mrNone closes it.
    void SetModalResult(int result);

    // The dialog as the backend shows it: its controls in creation order.
    DialogSpec Describe() const;
    // While the dialog is shown: shows the controls' texts, colours and focus as they are
    // now. The controls themselves (their number and order) must stay as they were.
    void Refresh();
    // Sees every key pressed in the dialog before Enter and Escape; answers whether it used it.
    std::function<bool(std::uint16_t key, TShiftState shift)> OnKey;
    // Sees every pad button pressed in the dialog before its navigation key; answers whether
    // it used the press.
    std::function<bool(int input)> OnPadButton;

private:
    // The window of the nearest form among the owners, which the dialog is centred on.
    Window* ownerWindow() const;

    DialogSpec* showing_ = nullptr;
    int modalResult_ = mrNone;
};

}  // namespace vek::platform
