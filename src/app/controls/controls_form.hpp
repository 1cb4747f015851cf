// TfrmControles: the "Configurar controles…" dialog. A grid of slots, three keys for each of
// the five actions and the pad's fire button, that the player chooses with the arrows (or
// the pad's d-pad), Tab or the mouse and fills by pressing a key (or a pad button);
// "Restablecer" puts back the stored bindings, "Aceptar" keeps the edit and "Cancelar" drops
// it. While the last input came from a pad, the status line speaks of the pad's buttons by
// the names its maker gives them.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "app/controls/bindings.hpp"
#include "platform/toolkit/controls.hpp"
#include "platform/toolkit/dialog_form.hpp"

namespace vek {

class TfrmControles : public platform::TDialogForm {
public:
    // Edits a copy of current; stored is what "Restablecer" puts back. ShowModal answers
    // mrOk when the player accepted the bindings.
    TfrmControles(TComponent* owner, const TBindings& current, const TBindings& stored,
                  TMenuKeyTest isMenuKey);
    ~TfrmControles() override;

    const TBindings& Bindings() const { return editor_.Bindings(); }

    // The focus order: the slots row by row (the pad's slot ends the fire row), then the
    // three buttons.
    static constexpr int kPadSlot = kActionCount * kSlotCount;
    static constexpr int kResetButton = kPadSlot + 1;
    static constexpr int kOkButton = kPadSlot + 2;
    static constexpr int kCancelButton = kPadSlot + 3;
    static constexpr int kFocusCount = kPadSlot + 4;
    int FocusIndex() const { return focus_; }
    bool Capturing() const { return capturing_; }
    const std::string& Status() const { return lblStatus->Caption; }
    // A pad button pressed in the dialog: while the pad's slot waits, it fills the slot
    // (Back and Start refused); answers whether the dialog took it.
    bool PadButtonPressed(int button);

    std::array<std::unique_ptr<platform::TLabel>, kActionCount> lblActions;
    std::array<std::array<std::unique_ptr<platform::TButton>, kSlotCount>, kActionCount> btnKeys;
    std::unique_ptr<platform::TButton> btnPad;
    std::unique_ptr<platform::TLabel> lblKeys;
    std::unique_ptr<platform::TLabel> lblPad;
    std::unique_ptr<platform::TLabel> lblStatus;
    std::unique_ptr<platform::TButton> btnRestablecer;
    std::unique_ptr<platform::TButton> btnAceptar;
    std::unique_ptr<platform::TButton> btnCancelar;

private:
    void CreateControls();
    bool KeyPressed(std::uint16_t key, platform::TShiftState shift);
    bool CaptureKey(std::uint16_t key, platform::TShiftState shift);
    bool CapturePadKey(std::uint16_t key);
    // The status line's texts, in the pad's words while a pad is in use.
    std::string ChooseText() const;
    std::string WaitText(int index) const;
    bool MoveFocus(std::uint16_t key, platform::TShiftState shift);
    void Activate(int index);
    void SetFocus(int index);
    void StartCapture(int index);
    void ShowBindings();
    platform::TButton& ControlAt(int index) const;

    TBindingEditor editor_;
    int focus_ = 0;
    bool capturing_ = false;
};

}  // namespace vek
