// The controls dialog: its grid of slots, the keys that move through it and fill a slot,
// and the pad's buttons while the pad's slot waits for one.
#include "app/controls/controls_form.hpp"

#include <algorithm>
#include <optional>

#include "platform/joystick.hpp"
#include "platform/menu.hpp"
#include "platform/platform.hpp"

namespace vek {

namespace {

using platform::TShiftState;
namespace vk = platform::vk;

constexpr std::uint16_t kTab = 0x09;
constexpr std::uint16_t kDelete = 0x2E;

constexpr int kGridLeft = 110, kGridTop = 34, kSlotWidth = 80, kSlotHeight = 24, kColumnStep = 86,
              kRowStep = 30;

constexpr const char* kChooseText = trLater("Elija una casilla con las flechas e Intro, o con el ratón");
constexpr const char* kWaitKeyText = trLater("Pulse una tecla (Esc: no cambiar, Supr: vaciar)");
constexpr const char* kWaitPadText = trLater("Pulse un botón del mando (Esc: no cambiar, Supr: vaciar)");
// TRANSLATORS: the name of the pad's A button (or what the pad's maker calls it).
constexpr const char* kChoosePadText = trLater("Elija una casilla con la cruceta y %s");
// TRANSLATORS: the name of the pad's B button (or what the pad's maker calls it).
constexpr const char* kWaitKeyPadText = trLater("Pulse una tecla (%s: no cambiar)");
constexpr const char* kWaitButtonText = trLater("Pulse un botón del mando");
// TRANSLATORS: the name of the pad's Back button (or what the pad's maker calls it).
constexpr const char* kBackRefused = trLater("%s abre el menú y no se puede asignar");
// TRANSLATORS: the name of the pad's Start button (or what the pad's maker calls it).
constexpr const char* kStartRefused = trLater("%s pausa el juego y no se puede asignar");

// How the pad in use names its buttons, while the last input came from a pad.
std::optional<platform::PadStyle> PadInUse() {
    return platform::current().application().padInUse();
}

// Whether a pad input is one of a game controller's d-pad or stick directions.
bool IsDirection(int input) {
    return input >= platform::pad::Up && input <= platform::pad::StickRight;
}

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
                             TMenuKeyTest isMenuKey)
    : platform::TDialogForm(owner), editor_(current, stored, std::move(isMenuKey)) {
    SetName("frmControles");
    Caption = tr("Configurar controles");
    ClientWidth = 470;
    ClientHeight = 276;
    Font = platform::TFont{"Tahoma", -12};
    CreateControls();
    OnKey = [this](std::uint16_t key, TShiftState shift) { return KeyPressed(key, shift); };
    OnPadButton = [this](int input) { return PadButtonPressed(input); };
    lblStatus->Caption = ChooseText();
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

std::string TfrmControles::ChooseText() const {
    const auto pad = PadInUse();
    return pad ? fillIn(tr(kChoosePadText), {padButtonName(*pad, platform::pad::A)}) : tr(kChooseText);
}

std::string TfrmControles::WaitText(int index) const {
    const auto pad = PadInUse();
    if (index == kPadSlot) return tr(pad ? kWaitButtonText : kWaitPadText);
    const std::string wait = pad ? fillIn(tr(kWaitKeyPadText), {padButtonName(*pad, platform::pad::B)})
                                 : std::string(tr(kWaitKeyText));
    return ActionName(index) + ": " + wait;
}

// A key slot started from the pad waits for a key; the pad's B (Escape) leaves it as it was,
// and its other keys move nothing while the slot waits. The pad's slot takes the pad's
// buttons themselves (PadButtonPressed): their keys never come.
bool TfrmControles::CapturePadKey(std::uint16_t key) {
    if (key != vk::Escape || focus_ == kPadSlot) return true;
    capturing_ = false;
    lblStatus->Caption = ChooseText();
    ShowBindings();
    return true;
}

bool TfrmControles::CaptureKey(std::uint16_t key, TShiftState shift) {
    if (shift & platform::ssPad) return CapturePadKey(key);
    if (key == vk::Escape) {
        capturing_ = false;
        lblStatus->Caption = ChooseText();
    } else if (key == kDelete && focus_ == kPadSlot) {
        editor_.BindPad(-1);
        capturing_ = false;
        lblStatus->Caption = tr("Mando: ningún botón dispara");
    } else if (key == kDelete) {
        lblStatus->Caption =
            bindStatus(editor_.Clear(focus_ / kSlotCount, focus_ % kSlotCount), focus_ / kSlotCount, 0);
        capturing_ = false;
    } else if (focus_ == kPadSlot) {
        lblStatus->Caption = WaitText(kPadSlot);
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
    lblStatus->Caption = WaitText(index);
    ShowBindings();
}

// The pad's directions only wait on; Back and Start are refused with the reason, in the
// words of the pad that was pressed.
bool TfrmControles::PadButtonPressed(int button) {
    if (!capturing_ || focus_ != kPadSlot) return false;
    if (IsDirection(button)) return true;
    const auto pad = PadInUse();
    const platform::PadStyle style = pad.value_or(platform::PadStyle::Generic);
    if (!editor_.BindPad(button)) {
        lblStatus->Caption = fillIn(tr(button == platform::kPadBackButton ? kBackRefused : kStartRefused),
                                    {padButtonName(style, button)});
        ShowBindings();
        return true;
    }
    capturing_ = false;
    lblStatus->Caption = tr(kPlayerActions[kFireAction].caption) + std::string(": ") +
                         (pad ? padButtonName(*pad, button) : padText(button));
    ShowBindings();
    return true;
}

}  // namespace vek
