// The player's controls: the keys and the pad button of the five actions the game reads,
// the edits the "Configurar controles…" dialog makes to them, and the help text that lists
// them. Pure logic over copies; the main window applies the result to its input component.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "media/key_bindings.hpp"
#include "platform/toolkit.hpp"
#include "runtime/translation.hpp"

namespace vek {

struct TPlayerAction {
    TInputState state;
    const char* caption;      // as the dialog and the help show it, through tr()
    const char* settingsKey;  // its line in the settings file
};

// The actions the game reads, in the order the dialog, the help and the settings list them.
inline constexpr std::array<TPlayerAction, 5> kPlayerActions{{
    {stUp, trLater("Arriba"), "keys_up"},
    {stDown, trLater("Abajo"), "keys_down"},
    {stLeft, trLater("Izquierda"), "keys_left"},
    {stRight, trLater("Derecha"), "keys_right"},
    {stButton1, trLater("Disparo"), "keys_fire"},
}};
inline constexpr int kActionCount = static_cast<int>(kPlayerActions.size());
inline constexpr int kFireAction = kActionCount - 1;
inline constexpr int kSlotCount = 3;
inline constexpr int kPadButtons = 32;

// The keys of each action (three slots, 0 for an empty one) and the pad's fire button
// (0 to 31, or -1 for none).
struct TBindings {
    std::array<TKeyAssign, kActionCount> keys{};
    int padFire = 0;
    friend bool operator==(const TBindings&, const TBindings&) = default;
};

// The actions' keys as the input component's binding table holds them, and back: only the
// five actions' rows change.
TBindings bindingsFromTable(const TKeyAssignList& table, int padFire);
void bindingsIntoTable(const TBindings& bindings, TKeyAssignList& table);
// The same keys with the empty slots last, as the settings file keeps them.
TKeyAssign packedSlots(const TKeyAssign& keys);
// The names of the keys in their slots, empty ones left out, joined by separator: "K,Up" in
// the settings file, "K, Up" in the controls help. Empty for no key.
std::string joinedKeyNames(const TKeyAssign& keys, std::string_view separator);

// Whether a key press belongs to the menus (their shortcuts, F10, Alt and Alt+letters) and
// so may not be bound.
using TMenuKeyTest = std::function<bool(std::uint16_t key, platform::TShiftState shift)>;

enum class TBindOutcome {
    Bound,    // the key is in the slot now
    Moved,    // the key is in the slot now and left another action (MovedFrom)
    Cleared,  // the slot is empty now
    MenuKey,  // refused: the menus use the key
    Unnamed,  // refused: a key without a name (nothing a keyboard gives)
};

struct TBindResult {
    TBindOutcome outcome = TBindOutcome::Bound;
    int movedFrom = -1;  // the action the key left, for Moved
};

// The rules every binding keeps, in the controls dialog and in the settings file alike.
// Whether key may be bound: Bound, or why not (MenuKey, Unnamed).
TBindOutcome keyBindable(std::uint16_t key, platform::TShiftState shift, const TMenuKeyTest& isMenuKey);
// Whether the pad button (0 to 31, or -1 for none) may fire: Start pauses the game and Back
// opens the menu bar instead.
bool padFireBindable(int button);
// A pad button's name as the pad's maker prints it on a pad of style ("A", "cruz", "−");
// "Botón N" for a button without a common name.
std::string padButtonName(platform::PadStyle style, int button);
// The action whose slots hold key, or -1: one key makes one action.
int actionHolding(const TBindings& bindings, std::int32_t key);

// Edits a copy of the bindings; the dialog applies it on "Aceptar" and drops it on "Cancelar".
class TBindingEditor {
public:
    TBindingEditor(TBindings current, TBindings stored, TMenuKeyTest isMenuKey);

    // Puts key into the slot. A key that another slot holds leaves that slot, so that one
    // key never makes two actions.
    TBindResult Bind(int action, int slot, std::uint16_t key, platform::TShiftState shift = 0);
    TBindResult Clear(int action, int slot);
    // The pad button (0 to 31) that fires, or -1 for none; answers false, and changes
    // nothing, for a button that may not fire.
    bool BindPad(int button);
    // The stored description's bindings again.
    void Reset() { bindings_ = stored_; }
    const TBindings& Bindings() const { return bindings_; }

private:
    TBindings bindings_;
    TBindings stored_;
    TMenuKeyTest isMenuKey_;
};

// What a slot shows: the key's name, or a dash when it is empty.
std::string slotText(std::int32_t key);
// What the pad's slot shows: "Botón N", or a dash.
std::string padText(int button);
// The status line after an edit of action's slot with key.
std::string bindStatus(const TBindResult& result, int action, std::uint16_t key);

// The keys of the menu commands that the controls help names, as the main window's menu
// holds them: "Iniciar juego", "Jugar / Pausar", "Pantalla completa" and "Guardar imagen".
struct TMenuShortcuts {
    std::uint16_t start = 0;
    std::uint16_t pause = 0;
    std::uint16_t fullScreen = 0;
    std::uint16_t screenshot = 0;
};

// The text of Ayuda > Controles: the bindings as they are now, the menu keys, how to quit,
// and the pad; while a pad is in use (pad), with its buttons' own names and how it drives
// the menus. Lines are broken with carriage returns, as the message box wants.
std::string controlsHelpText(const TBindings& bindings, const TMenuShortcuts& shortcuts,
                             std::optional<platform::PadStyle> pad = std::nullopt);

}  // namespace vek
