// TfrmControles: the "Configurar controles…" dialog. A grid of slots, three keys for each of
// the five actions and the pad's fire button, that the player chooses with the arrows, Tab
// or the mouse and fills by pressing a key (or a pad button); "Restablecer" puts back the
// stored bindings, "Aceptar" keeps the edit and "Cancelar" drops it.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "app/controls/bindings.hpp"
#include "platform/toolkit/controls.hpp"
#include "platform/toolkit/dialog_form.hpp"

namespace vek {

class TJoystick;

class TfrmControles : public platform::TDialogForm {
public:
    // Edits a copy of current; stored is what "Restablecer" puts back. pad, when given, is
    // read for the button pressed while the pad's slot waits for one.
    TfrmControles(TComponent* owner, const TBindings& current, const TBindings& stored,
                  TMenuKeyTest isMenuKey, TJoystick* pad);
    ~TfrmControles() override;

    // The pad's reading while the dialog is up, for the application's idle slot: ShowModal
    // answers mrOk when the player accepted the bindings.
    void ReadPad(bool& done);
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
    // A pad button pressed while the pad's slot waits for one (what the idle reading does).
    void PadButtonPressed(int button);

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
    bool MoveFocus(std::uint16_t key, platform::TShiftState shift);
    void Activate(int index);
    void SetFocus(int index);
    void StartCapture(int index);
    void ShowBindings();
    platform::TButton& ControlAt(int index) const;

    TBindingEditor editor_;
    TJoystick* pad_;
    int focus_ = 0;
    bool capturing_ = false;
    bool padHeld_ = true;  // a button held when the capture starts must be let go first
};

}  // namespace vek
