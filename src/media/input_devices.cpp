// Reading the keyboard snapshot and the joystick position into input states, and the
// device lifecycle shared by all devices.
#include "media/input_devices.hpp"

#include <algorithm>

#include "media/dxinput.hpp"
#include "platform/platform.hpp"
#include "runtime/property_stream.hpp"
#include "runtime/stream.hpp"

namespace vek {

namespace {

// Size of the joystick position record and the flags that ask for X, Y, Z, the point of
// view, the buttons and centred values.
constexpr std::uint32_t kJoyInfoSize = 52;
constexpr std::uint32_t kJoyReturnFlags = 0x4C7;
constexpr int kLastTableIndex = 270;
// The position record reports 32 buttons in its mask.
constexpr int kMaskButtons = 32;

bool isDown(std::uint8_t state) {
    return (state & 0x80) != 0;
}

void addAxisStates(TInputStates& states, std::int32_t x, std::int32_t y) {
    if (x < 0) states.Include(stLeft);
    if (x > 0) states.Include(stRight);
    if (y < 0) states.Include(stUp);
    if (y > 0) states.Include(stDown);
}

}  // namespace

// TCustomInput

bool TForceFeedbackEffect::ReadProperty(TPropertyReader& reader) {
    using E = TForceFeedbackEffect;
    using R = TPropertyReader;
    static constexpr std::array<std::string_view, 4> kTypeNames{"etNone", "etConstantForce", "etPeriodic",
                                                                "etCondition"};
    static constexpr TPropertyEntry<E> kProperties[] = {
        {"Name", [](E& e, R& r) { e.Name = r.ReadString(); }},
        {"EffectType",
         [](E& e, R& r) { e.EffectType = static_cast<TForceFeedbackEffectType>(r.ReadEnum(kTypeNames)); }},
    };
    return ReadPropertyFrom<E>(kProperties, *this, reader);
}

bool TCustomInput::ReadProperty(std::string_view name, TPropertyReader& reader) {
    using D = TCustomInput;
    using R = TPropertyReader;
    static constexpr TPropertyEntry<D> kProperties[] = {
        {"BindInputStates", [](D& d, R& r) { d.SetBindInputStates(r.ReadBoolean()); }},
        {"Effects",
         [](D& d, R& r) {
             d.effects_.clear();
             ReadCollectionItems(r, [&d]() -> TForceFeedbackEffect& { return d.effects_.emplace_back(); });
         }},
        {"Enabled", [](D& d, R& r) { d.SetEnabled(r.ReadBoolean()); }},
        {"ForceFeedback", [](D& d, R& r) { d.SetForceFeedback(r.ReadBoolean()); }},
    };
    return ReadPropertyFrom<D>(kProperties, *this, reader, name);
}

void TCustomInput::Finalize() {
    initialized_ = false;
    buttonCount_ = 0;
    forceFeedbackCapable_ = false;
    states_.Clear();
}

void TCustomInput::SetEnabled(bool value) {
    if (enabled_ == value) return;
    enabled_ = value;
    Reinitialize();
}

void TCustomInput::SetForceFeedback(bool value) {
    if (forceFeedback_ == value) return;
    forceFeedback_ = value;
    Reinitialize();
}

void TCustomInput::Reinitialize() {
    if (!dxInput_.Loading()) Initialize();
}

bool TCustomInput::BeginUpdate() {
    ClearRawState();
    states_.Clear();
    if (!initialized_) return false;
    return !dxInput_.ActiveOnly() || dxInput_.OwnerInForeground();
}

// TKeyboard

TKeyboard::TKeyboard(TCustomDXInput& dxInput) : TCustomInput(dxInput), keyAssigns_(defaultKeyAssigns()) {}

void TKeyboard::Finalize() {
    keys_ = {};
    TCustomInput::Finalize();
}

void TKeyboard::Initialize() {
    Finalize();
    if (!enabled_) return;
    buttonCount_ = 32;
    initialized_ = true;
}

void TKeyboard::Update() {
    if (!BeginUpdate()) return;
    platform::current().application().getKeyboardState(keys_);
    for (int i = 0; i < kInputStateCount; ++i)
        for (std::int32_t code : keyAssigns_[static_cast<std::size_t>(i)])
            if (code >= 1 && code <= 255 && isDown(keys_[static_cast<std::size_t>(code)])) {
                states_.Include(static_cast<TInputState>(i));
                break;
            }
}

bool TKeyboard::ReadProperty(std::string_view name, TPropertyReader& reader) {
    if (!isKeyAssignsProperty(name)) return TCustomInput::ReadProperty(name, reader);
    TSpanStream data(reader.ReadBinary());
    ReadAssigns(data);
    return true;
}

// TJoystick

TJoystick::TJoystick(TCustomDXInput& dxInput) : TCustomInput(dxInput) {
    deadZones_[kPointOfView] = -1;
    ranges_[kPointOfView] = -1;
    for (int axis : {kAxisX, kAxisY, kAxisZ}) {
        SetDeadZone(axis, 50);
        SetRange(axis, 1000);
    }
}

void TJoystick::Finalize() {
    TCustomInput::Finalize();
    joystickNumber_ = -1;
    joyState_ = {};
    caps_ = {};
}

void TJoystick::Initialize() {
    Finalize();
    if (!enabled_ || id_ < 0) return;
    joystickNumber_ = findJoystickNumber();
    if (joystickNumber_ != -1) {
        auto& joysticks = platform::current().joysticks();
        if (joysticks.joyGetDevCaps(static_cast<std::uint32_t>(joystickNumber_), caps_) ==
            platform::JOYERR_NOERROR)
            buttonCount_ = static_cast<int>(caps_.numButtons);
        else
            joystickNumber_ = -1;
    }
    initialized_ = true;
}

// The platform number of the present joystick that ID counts to, or −1.
int TJoystick::findJoystickNumber() const {
    auto& joysticks = platform::current().joysticks();
    int present = 0;
    for (std::uint32_t n = 0; n <= 255; ++n) {
        platform::JoyCaps caps;
        if (joysticks.joyGetDevCaps(n, caps) != platform::JOYERR_NOERROR) continue;
        if (present == id_) return static_cast<int>(n);
        ++present;
    }
    return -1;
}

void TJoystick::Update() {
    if (!BeginUpdate() || joystickNumber_ == -1) return;
    platform::JoyInfoEx info;
    info.size = kJoyInfoSize;
    info.flags = kJoyReturnFlags;
    if (platform::current().joysticks().joyGetPosEx(static_cast<std::uint32_t>(joystickNumber_), info) !=
        platform::JOYERR_NOERROR)
        return;
    readAxes(info);
    joyState_.POV = info.pov;
    // Only the mask's 32 bits can report a button, however many buttons the joystick has.
    const int buttons = std::clamp(buttonCount_, 0, kMaskButtons);
    for (int i = 0; i < buttons; ++i)
        if ((info.buttons >> i) & 1u) joyState_.Buttons[static_cast<std::size_t>(i)] = 0x80;
    statesFromReading();
}

void TJoystick::readAxes(const platform::JoyInfoEx& info) {
    const auto axis = [this](std::uint32_t raw, std::uint32_t lo, std::uint32_t hi, int index) {
        return convertJoystickAxis(static_cast<std::int32_t>(raw), static_cast<std::int32_t>(lo),
                                   static_cast<std::int32_t>(hi), deadZones_[static_cast<std::size_t>(index)],
                                   ranges_[static_cast<std::size_t>(index)]);
    };
    joyState_.X = axis(info.xPos, caps_.xMin, caps_.xMax, kAxisX);
    joyState_.Y = axis(info.yPos, caps_.yMin, caps_.yMax, kAxisY);
    joyState_.Z = axis(info.zPos, caps_.zMin, caps_.zMax, kAxisZ);
}

std::optional<TInputState> joystickButtonState(int button, int fireButton) {
    if (button == fireButton) return stButton1;
    if (button == 0) return fireButton < 0 ? std::nullopt : std::optional(buttonState(fireButton + 1));
    return buttonState(button + 1);
}

void TJoystick::statesFromReading() {
    for (int i = 0; i < kMaskButtons; ++i)
        if (isDown(joyState_.Buttons[static_cast<std::size_t>(i)]))
            if (const auto state = joystickButtonState(i, fireButton_)) states_.Include(*state);
    addAxisStates(states_, joyState_.X, joyState_.Y);
}

bool TJoystick::Rumble(std::uint16_t strength, std::uint32_t ms) {
    if (!initialized_ || !forceFeedback_ || joystickNumber_ == -1) return false;
    return platform::current().joysticks().rumble(static_cast<std::uint32_t>(joystickNumber_), strength,
                                                  strength, ms);
}

void TJoystick::SetID(int value) {
    if (id_ == value) return;
    id_ = value;
    Initialize();
}

int TJoystick::DeadZone(int index) const {
    if (index < 0 || index > kLastTableIndex) return 0;
    return deadZones_[static_cast<std::size_t>(index)];
}

void TJoystick::SetDeadZone(int index, int value) {
    if (index < 0 || index > kLastTableIndex) return;
    deadZones_[static_cast<std::size_t>(index)] = index == kPointOfView ? -1 : std::clamp(value, 0, 100);
}

int TJoystick::Range(int index) const {
    if (index < 0 || index > kLastTableIndex) return 0;
    return ranges_[static_cast<std::size_t>(index)];
}

void TJoystick::SetRange(int index, int value) {
    if (index < 0 || index > kLastTableIndex) return;
    ranges_[static_cast<std::size_t>(index)] = index == kPointOfView ? -1 : std::max(value, 0);
}

bool TJoystick::ReadProperty(std::string_view name, TPropertyReader& reader) {
    using J = TJoystick;
    using R = TPropertyReader;
    static constexpr TPropertyEntry<J> kProperties[] = {
        {"AutoCenter", [](J& j, R& r) { j.SetAutoCenter(r.ReadBoolean()); }},
        {"DeadZoneX",
         [](J& j, R& r) { j.SetDeadZoneX(static_cast<int>(r.ReadInteger(INT32_MIN, INT32_MAX))); }},
        {"DeadZoneY",
         [](J& j, R& r) { j.SetDeadZoneY(static_cast<int>(r.ReadInteger(INT32_MIN, INT32_MAX))); }},
        {"DeadZoneZ",
         [](J& j, R& r) { j.SetDeadZoneZ(static_cast<int>(r.ReadInteger(INT32_MIN, INT32_MAX))); }},
        {"ID", [](J& j, R& r) { j.SetID(static_cast<int>(r.ReadInteger(INT32_MIN, INT32_MAX))); }},
        {"RangeX", [](J& j, R& r) { j.SetRangeX(static_cast<int>(r.ReadInteger(INT32_MIN, INT32_MAX))); }},
        {"RangeY", [](J& j, R& r) { j.SetRangeY(static_cast<int>(r.ReadInteger(INT32_MIN, INT32_MAX))); }},
        {"RangeZ", [](J& j, R& r) { j.SetRangeZ(static_cast<int>(r.ReadInteger(INT32_MIN, INT32_MAX))); }},
    };
    return ReadPropertyFrom<J>(kProperties, *this, reader, name) || TCustomInput::ReadProperty(name, reader);
}

// TMouse

TMouse::TMouse(TCustomDXInput& dxInput) : TCustomInput(dxInput) {
    bindInputStates_ = false;
    enabled_ = false;
}

void TMouse::Initialize() {
    Finalize();
    if (!enabled_) return;
    // Mouse movement is only available through DirectInput, which this system does not offer.
    throw EDXInputError(kDirectInputRequiredForMouse);
}

void TMouse::Update() {
    // Without DirectInput the mouse is never initialised: it only clears its reading.
    BeginUpdate();
}

}  // namespace vek
