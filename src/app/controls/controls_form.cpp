// The controls dialog: its grid of slots, the keys that move through it and fill a slot,
// and the reading of the pad while the pad's slot waits for a button.
#include "app/controls/controls_form.hpp"

#include <algorithm>

#include "media/input_devices.hpp"
#include "platform/clock.hpp"
#include "platform/joystick.hpp"
#include "platform/menu.hpp"
#include "platform/platform.hpp"

namespace vek {

namespace {

using platform::TShiftState;
namespace vk = platform::vk;

constexpr std::uint16_t kTab = 0x09;
constexpr std::uint16_t kDelete = 0x2E;
// How often the pad is read while the dialog is up, in milliseconds.
constexpr std::uint32_t kPadReadInterval = 20;

constexpr int kGridLeft = 110, kGridTop = 34, kSlotWidth = 80, kSlotHeight = 24, kColumnStep = 86,
              kRowStep = 30;

constexpr const char* kChooseText = trLater("Elija una casilla con las flechas e Intro, o con el ratón");
constexpr const char* kWaitKeyText = trLater("Pulse una tecla (Esc: no cambiar, Supr: vaciar)");
constexpr const char* kWaitPadText = trLater("Pulse un botón del mando (Esc: no cambiar, Supr: vaciar)");

std::string ActionName(int index) {
    return tr(kPlayerActions[std::size_t(index / kSlotCount)].caption);
}

// Row and column of a focus index: rows 0 to 4 are the actions (the fire row has the pad's
// slot as its fourth column), row 5 the buttons.
std::pair<int, int> CellOf(int index) {
    if (index < TfrmControles::kPadSlot) return {index / kSlotCount, index % kSlotCount};
    if (index == TfrmControles::kPadSlot) return {kFireAction, kSlotCount};
    return {kActionCount, index - TfrmControles::kResetButton};
}

int IndexOf(int row, int column) {
    if (row == kActionCount) return TfrmControles::kResetButton + std::min(column, 2);
    if (row == kFireAction && column >= kSlotCount) return TfrmControles::kPadSlot;
    return row * kSlotCount + std::min(column, kSlotCount - 1);
}

int ColumnCount(int row) {
    return row == kFireAction ? kSlotCount + 1 : kSlotCount;
}

}  // namespace

TfrmControles::TfrmControles(TComponent* owner, const TBindings& current, const TBindings& stored,
                             TMenuKeyTest isMenuKey, TJoystick* pad)
    : platform::TDialogForm(owner), editor_(current, stored, std::move(isMenuKey)), pad_(pad) {
    SetName("frmControles");
    Caption = tr("Configurar controles");
    ClientWidth = 470;
    ClientHeight = 276;
    Font = platform::TFont{"Tahoma", -12};
    CreateControls();
    OnKey = [this](std::uint16_t key, TShiftState shift) { return KeyPressed(key, shift); };
    lblStatus->Caption = tr(kChooseText);
    ShowBindings();
}

TfrmControles::~TfrmControles() = default;

void TfrmControles::CreateControls() {
    lblKeys = std::make_unique<platform::TLabel>(*this, "lblKeys");
    lblKeys->SetBounds(kGridLeft, 12, 3 * kColumnStep, 16);
    lblKeys->Caption = tr("Teclas");
    lblPad = std::make_unique<platform::TLabel>(*this, "lblPad");
    lblPad->SetBounds(kGridLeft + 3 * kColumnStep, 12, kSlotWidth, 16);
    lblPad->Caption = tr("Mando");
    for (int action = 0; action < kActionCount; ++action) {
        const int top = kGridTop + action * kRowStep;
        auto& label = lblActions[std::size_t(action)];
        label = std::make_unique<platform::TLabel>(*this, std::string("lblAction") + char('1' + action));
        label->SetBounds(16, top + 5, 90, 16);
        label->Caption = tr(kPlayerActions[std::size_t(action)].caption);
        for (int slot = 0; slot < kSlotCount; ++slot) {
            auto& button = btnKeys[std::size_t(action)][std::size_t(slot)];
            button = std::make_unique<platform::TButton>(
                *this, "btnKey" + std::to_string(action + 1) + std::to_string(slot + 1));
            button->SetBounds(kGridLeft + slot * kColumnStep, top, kSlotWidth, kSlotHeight);
            const int index = action * kSlotCount + slot;
            button->OnClick = [this, index] { StartCapture(index); };
        }
    }
    btnPad = std::make_unique<platform::TButton>(*this, "btnPad");
    btnPad->SetBounds(kGridLeft + 3 * kColumnStep, kGridTop + kFireAction * kRowStep, kSlotWidth,
                      kSlotHeight);
    btnPad->OnClick = [this] { StartCapture(kPadSlot); };
    lblStatus = std::make_unique<platform::TLabel>(*this, "lblStatus");
    lblStatus->SetBounds(16, kGridTop + kActionCount * kRowStep + 8, 438, 16);
    lblStatus->AutoSize = false;
    const int buttonsTop = ClientHeight - 38;
    btnRestablecer = std::make_unique<platform::TButton>(*this, "btnRestablecer");
    btnRestablecer->SetBounds(16, buttonsTop, 100, 26);
    btnRestablecer->Caption = tr("&Restablecer");
    btnRestablecer->OnClick = [this] { Activate(kResetButton); };
    btnAceptar = std::make_unique<platform::TButton>(*this, "btnAceptar");
    btnAceptar->SetBounds(ClientWidth - 196, buttonsTop, 88, 26);
    btnAceptar->Caption = tr("&Aceptar");
    btnAceptar->Default = true;
    btnAceptar->ModalResult = platform::mrOk;
    btnCancelar = std::make_unique<platform::TButton>(*this, "btnCancelar");
    btnCancelar->SetBounds(ClientWidth - 104, buttonsTop, 88, 26);
    btnCancelar->Caption = tr("&Cancelar");
    btnCancelar->ModalResult = platform::mrCancel;
}

platform::TButton& TfrmControles::ControlAt(int index) const {
    if (index < kPadSlot) return *btnKeys[std::size_t(index / kSlotCount)][std::size_t(index % kSlotCount)];
    if (index == kPadSlot) return *btnPad;
    if (index == kResetButton) return *btnRestablecer;
    return index == kOkButton ? *btnAceptar : *btnCancelar;
}

void TfrmControles::ShowBindings() {
    const TBindings& bindings = editor_.Bindings();
    for (int index = 0; index < kPadSlot; ++index) {
        const bool waiting = capturing_ && focus_ == index;
        const std::int32_t key =
            bindings.keys[std::size_t(index / kSlotCount)][std::size_t(index % kSlotCount)];
        ControlAt(index).Caption = waiting ? "\xE2\x80\xA6" : slotText(key);
    }
    btnPad->Caption = capturing_ && focus_ == kPadSlot ? "\xE2\x80\xA6" : padText(bindings.padFire);
    for (int index = 0; index < kFocusCount; ++index) ControlAt(index).Focused = index == focus_;
    Refresh();
}

bool TfrmControles::KeyPressed(std::uint16_t key, TShiftState shift) {
    if (capturing_) return CaptureKey(key, shift);
    // Alt and a button's access letter, whichever language its caption is in.
    if (shift & platform::ssAlt) {
        for (const int button : {kResetButton, kOkButton, kCancelButton}) {
            const char letter = platform::accessLetter(ControlAt(button).Caption);
            if (letter != 0 && key == static_cast<std::uint8_t>(letter)) {
                Activate(button);
                return true;
            }
        }
        return false;
    }
    if (key == vk::Return || key == vk::Space) {
        Activate(focus_);
        return true;
    }
    if (key == kDelete && focus_ <= kPadSlot) {
        StartCapture(focus_);
        return CaptureKey(kDelete, 0);
    }
    return MoveFocus(key, shift);
}

bool TfrmControles::CaptureKey(std::uint16_t key, TShiftState shift) {
    if (key == vk::Escape) {
        capturing_ = false;
        lblStatus->Caption = tr(kChooseText);
    } else if (key == kDelete && focus_ == kPadSlot) {
        editor_.BindPad(-1);
        capturing_ = false;
        lblStatus->Caption = tr("Mando: ningún botón dispara");
    } else if (key == kDelete) {
        lblStatus->Caption =
            bindStatus(editor_.Clear(focus_ / kSlotCount, focus_ % kSlotCount), focus_ / kSlotCount, 0);
        capturing_ = false;
    } else if (focus_ == kPadSlot) {
        lblStatus->Caption = tr(kWaitPadText);
    } else {
        const TBindResult result = editor_.Bind(focus_ / kSlotCount, focus_ % kSlotCount, key, shift);
        lblStatus->Caption = bindStatus(result, focus_ / kSlotCount, key);
        capturing_ = result.outcome == TBindOutcome::MenuKey || result.outcome == TBindOutcome::Unnamed;
    }
    ShowBindings();
    return true;
}

bool TfrmControles::MoveFocus(std::uint16_t key, TShiftState shift) {
    auto [row, column] = CellOf(focus_);
    switch (key) {
        case kTab:
            SetFocus((focus_ + ((shift & platform::ssShift) ? kFocusCount - 1 : 1)) % kFocusCount);
            return true;
        case vk::Up:
            row = std::max(row - 1, 0);
            break;
        case vk::Down:
            row = std::min(row + 1, kActionCount);
            break;
        case vk::Left:
            column = std::max(column - 1, 0);
            break;
        case vk::Right:
            column = std::min(column + 1, ColumnCount(row) - 1);
            break;
        default:
            return false;
    }
    SetFocus(IndexOf(row, column));
    return true;
}

void TfrmControles::Activate(int index) {
    if (index <= kPadSlot) return StartCapture(index);
    capturing_ = false;
    if (index == kResetButton) {
        editor_.Reset();
        SetFocus(kResetButton);
        lblStatus->Caption = tr("Controles restablecidos");
        return ShowBindings();
    }
    SetModalResult(index == kOkButton ? platform::mrOk : platform::mrCancel);
}

void TfrmControles::SetFocus(int index) {
    focus_ = index;
    ShowBindings();
}

void TfrmControles::StartCapture(int index) {
    focus_ = index;
    capturing_ = true;
    padHeld_ = true;
    lblStatus->Caption = tr(index == kPadSlot ? kWaitPadText : kWaitKeyText);
    if (index < kPadSlot) lblStatus->Caption = ActionName(index) + ": " + tr(kWaitKeyText);
    ShowBindings();
}

void TfrmControles::PadButtonPressed(int button) {
    if (!capturing_ || focus_ != kPadSlot) return;
    if (!editor_.BindPad(button)) {
        lblStatus->Caption = tr("Start pausa el juego y no se puede asignar");
        return ShowBindings();
    }
    capturing_ = false;
    lblStatus->Caption = tr(kPlayerActions[kFireAction].caption) + std::string(": ") + padText(button);
    ShowBindings();
}

// Reads the pad every few milliseconds, straight from the joystick service: the input
// component reports nothing while the dialog, not the game's window, has the focus. The
// first button pressed after all were let go fills the pad's slot.
void TfrmControles::ReadPad(bool& done) {
    done = false;
    platform::current().application().setIdleWakeTime(platform::current().clock().timeGetTime() +
                                                      kPadReadInterval);
    if (!pad_ || !capturing_ || focus_ != kPadSlot || pad_->JoystickNumber() < 0) return;
    platform::JoyInfoEx info;
    if (platform::current().joysticks().joyGetPosEx(static_cast<std::uint32_t>(pad_->JoystickNumber()),
                                                    info) != platform::JOYERR_NOERROR)
        info.buttons = 0;
    if (info.buttons == 0) {
        padHeld_ = false;
    } else if (!padHeld_) {
        padHeld_ = true;
        int button = 0;
        while (!((info.buttons >> button) & 1u)) ++button;
        PadButtonPressed(button);
    }
}

}  // namespace vek
