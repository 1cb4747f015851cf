// The player's controls: edits of the five actions' keys and pad button, and their texts.
#include "app/controls/bindings.hpp"

#include <array>
#include <utility>

#include "platform/joystick.hpp"

namespace vek {

namespace {

constexpr const char* kEmptySlot = "\xE2\x80\x94";  // an em dash

// Where key sits among the actions' slots, or {-1, -1}.
std::pair<int, int> findKey(const TBindings& bindings, std::int32_t key) {
    for (int action = 0; action < kActionCount; ++action)
        for (int slot = 0; slot < kSlotCount; ++slot)
            if (bindings.keys[std::size_t(action)][std::size_t(slot)] == key) return {action, slot};
    return {-1, -1};
}

}  // namespace

TBindOutcome keyBindable(std::uint16_t key, platform::TShiftState shift, const TMenuKeyTest& isMenuKey) {
    if (isMenuKey && isMenuKey(key, shift)) return TBindOutcome::MenuKey;
    if (keyName(key).empty()) return TBindOutcome::Unnamed;
    return TBindOutcome::Bound;
}

bool padFireBindable(int button) {
    return button >= -1 && button < kPadButtons && button != platform::kPadStartButton &&
           button != platform::kPadBackButton;
}

namespace {

// The names printed on each family's pads, from the bottom face button round to Start.
struct TPadNames {
    std::array<const char*, 4> face;  // bottom, right, left, top
    const char* shoulders[2];
    const char* back;
    const char* start;
};

constexpr const char* kCross = trLater("cruz");
constexpr const char* kCircle = trLater("círculo");
constexpr const char* kSquare = trLater("cuadrado");
constexpr const char* kTriangle = trLater("triángulo");

TPadNames NamesOf(platform::PadStyle style) {
    using platform::PadStyle;
    constexpr std::array<const char*, 4> kLetters{"A", "B", "X", "Y"};
    constexpr std::array<const char*, 4> kShapes{kCross, kCircle, kSquare, kTriangle};
    switch (style) {
        case PadStyle::XboxOne:
            return {kLetters, {"LB", "RB"}, "View", "Menu"};
        case PadStyle::PlayStation3:
            return {kShapes, {"L1", "R1"}, "Select", "Start"};
        case PadStyle::PlayStation4:
            return {kShapes, {"L1", "R1"}, "Share", "Options"};
        case PadStyle::PlayStation5:
            return {kShapes, {"L1", "R1"}, "Create", "Options"};
        case PadStyle::Nintendo:
            return {{"B", "A", "Y", "X"}, {"L", "R"}, "\xE2\x88\x92", "+"};
        default:
            return {kLetters, {"LB", "RB"}, "Back", "Start"};
    }
}

}  // namespace

std::string padButtonName(platform::PadStyle style, int button) {
    const TPadNames names = NamesOf(style);
    if (button >= 0 && button < 4) {
        const char* face = names.face[std::size_t(button)];
        const bool shape = style == platform::PadStyle::PlayStation3 ||
                           style == platform::PadStyle::PlayStation4 ||
                           style == platform::PadStyle::PlayStation5;
        return shape ? tr(face) : face;
    }
    if (button == platform::pad::LeftShoulder || button == platform::pad::RightShoulder)
        return names.shoulders[button - platform::pad::LeftShoulder];
    if (button == platform::kPadBackButton) return names.back;
    if (button == platform::kPadStartButton) return names.start;
    return padText(button);
}

int actionHolding(const TBindings& bindings, std::int32_t key) {
    return key == 0 ? -1 : findKey(bindings, key).first;
}

TBindings bindingsFromTable(const TKeyAssignList& table, int padFire) {
    TBindings bindings;
    for (int action = 0; action < kActionCount; ++action)
        bindings.keys[std::size_t(action)] = table[kPlayerActions[std::size_t(action)].state];
    bindings.padFire = padFire;
    return bindings;
}

void bindingsIntoTable(const TBindings& bindings, TKeyAssignList& table) {
    for (int action = 0; action < kActionCount; ++action)
        table[kPlayerActions[std::size_t(action)].state] = bindings.keys[std::size_t(action)];
}

TKeyAssign packedSlots(const TKeyAssign& keys) {
    TKeyAssign packed{};
    std::size_t next = 0;
    for (std::int32_t key : keys)
        if (key != 0) packed[next++] = key;
    return packed;
}

std::string joinedKeyNames(const TKeyAssign& keys, std::string_view separator) {
    std::string text;
    for (std::int32_t key : packedSlots(keys)) {
        if (key == 0) continue;
        if (!text.empty()) text += separator;
        text += keyName(key);
    }
    return text;
}

TBindingEditor::TBindingEditor(TBindings current, TBindings stored, TMenuKeyTest isMenuKey)
    : bindings_(current), stored_(stored), isMenuKey_(std::move(isMenuKey)) {}

TBindResult TBindingEditor::Bind(int action, int slot, std::uint16_t key, platform::TShiftState shift) {
    if (const TBindOutcome refused = keyBindable(key, shift, isMenuKey_); refused != TBindOutcome::Bound)
        return {refused};
    TBindResult result;
    const auto [oldAction, oldSlot] = findKey(bindings_, key);
    if (oldAction >= 0) {
        bindings_.keys[std::size_t(oldAction)][std::size_t(oldSlot)] = 0;
        if (oldAction != action) result = {TBindOutcome::Moved, oldAction};
    }
    bindings_.keys[std::size_t(action)][std::size_t(slot)] = key;
    return result;
}

bool TBindingEditor::BindPad(int button) {
    if (!padFireBindable(button)) return false;
    bindings_.padFire = button;
    return true;
}

TBindResult TBindingEditor::Clear(int action, int slot) {
    bindings_.keys[std::size_t(action)][std::size_t(slot)] = 0;
    return {TBindOutcome::Cleared};
}

std::string slotText(std::int32_t key) {
    const std::string name = key > 0 && key <= 255 ? keyName(key) : std::string();
    return name.empty() ? kEmptySlot : name;
}

std::string padText(int button) {
    return button < 0 ? kEmptySlot : fillIn(tr("Botón %s"), {std::to_string(button + 1)});
}

std::string bindStatus(const TBindResult& result, int action, std::uint16_t key) {
    const std::string name = keyName(key);
    const std::string actionName = tr(kPlayerActions[std::size_t(action)].caption);
    switch (result.outcome) {
        case TBindOutcome::Bound:
            return actionName + ": " + name;
        case TBindOutcome::Moved:
            // TRANSLATORS: a key, the action it leaves, the action it goes to.
            return fillIn(tr("%s pasa de %s a %s"),
                          {name, tr(kPlayerActions[std::size_t(result.movedFrom)].caption), actionName});
        case TBindOutcome::Cleared:
            return actionName + ": " + tr("casilla vacía");
        case TBindOutcome::MenuKey:
            return fillIn(tr("%s es del menú y no se puede asignar"),
                          {name.empty() ? std::string(tr("Esa tecla")) : name});
        case TBindOutcome::Unnamed:
            break;
    }
    return tr("Esa tecla no se puede asignar");
}

namespace {

// The help's lines on the pad, in the words of the pad in use.
std::string PadHelp(const TBindings& bindings, platform::PadStyle style) {
    using platform::pad::A;
    using platform::pad::B;
    const std::string fire = bindings.padFire < 0
                                 ? tr("ningún botón dispara")
                                 // TRANSLATORS: the name of the pad's button that fires.
                                 : fillIn(tr("%s dispara"), {padButtonName(style, bindings.padFire)});
    // TRANSLATORS: what fires ("A dispara"), then the name of the pad's Start button.
    std::string text =
        fillIn(tr("Mando: la palanca o la cruceta mueven la nave; %s; %s pausa y sigue el juego."),
               {fire, padButtonName(style, platform::kPadStartButton)});
    // TRANSLATORS: the names of the pad's Back, A and B buttons (or what the pad's maker
    // calls them); the cross is the d-pad.
    text += "\r" + fillIn(tr("%s: abrir el menú   cruceta: moverse   %s: elegir   %s: volver"),
                          {padButtonName(style, platform::kPadBackButton), padButtonName(style, A),
                           padButtonName(style, B)});
    return text;
}

}  // namespace

std::string controlsHelpText(const TBindings& bindings, const TMenuShortcuts& shortcuts,
                             std::optional<platform::PadStyle> pad) {
    // A line each: the message box breaks the line at the carriage return.
    std::string text = tr("Teclado:") + std::string("\r");
    for (int action = 0; action < kActionCount; ++action) {
        const std::string keys = joinedKeyNames(bindings.keys[std::size_t(action)], ", ");
        text += tr(kPlayerActions[std::size_t(action)].caption) + std::string(": ") +
                (keys.empty() ? tr("ninguna tecla") : keys) + "\r";
    }
    const std::string padFire =
        bindings.padFire < 0 ? tr("ningún botón dispara")
                             : fillIn(tr("el botón %s dispara"), {std::to_string(bindings.padFire + 1)});
    // TRANSLATORS: %s says which pad button fires ("el botón 1 dispara").
    text +=
        "\r" +
        (pad ? PadHelp(bindings, *pad)
             : fillIn(tr("Mando: la palanca o la cruceta mueven la nave; %s; Start pausa y sigue el juego."),
                      {padFire})) +
        "\r\r";
    // TRANSLATORS: the keys of three menu commands, each followed by what it does ("F2").
    text += fillIn(tr("%s: iniciar juego   %s: jugar / pausar   %s: pantalla completa"),
                   {keyName(shortcuts.start), keyName(shortcuts.pause), keyName(shortcuts.fullScreen)}) +
            "\r";
    // TRANSLATORS: the key of "Guardar imagen" ("F12"); "Impr Pant" is the Print Screen key
    // as the player's keyboard labels it.
    text += fillIn(tr("%s o Impr Pant: guardar la imagen del juego en la carpeta de imágenes"),
                   {keyName(shortcuts.screenshot)}) +
            "\r";
    text += tr("F10 o Alt: abrir el menú") + std::string("\r");
    text += tr("Tras 30 s en el título sin tocar nada, se ve una demostración.") + std::string("\r");
    text += tr("Cualquier tecla la termina; se apaga en Opciones > Demostración en el título.") +
            std::string("\r");
    text += tr("Para salir: Juego > Salir, o cerrar la ventana.") + std::string("\r");
    text += tr("Los controles se cambian en Opciones > Configurar controles…");
    return text;
}

}  // namespace vek
