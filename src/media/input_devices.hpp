// The input devices of TCustomDXInput: the common device base, the keyboard with its key
// bindings, the joystick with dead zones and ranges, and the mouse.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "media/input_states.hpp"
#include "media/key_bindings.hpp"
#include "platform/joystick.hpp"

namespace vek {

class TCustomDXInput;
class TPropertyReader;
class TStream;

enum class TForceFeedbackEffectType { etNone, etConstantForce, etPeriodic, etCondition };

// One stored force-feedback effect. Without the DirectInput path nothing plays them; the
// list only keeps what the stored description holds.
struct TForceFeedbackEffect {
    std::string Name;
    TForceFeedbackEffectType EffectType = TForceFeedbackEffectType::etNone;

    // The stored properties: Name and EffectType.
    bool ReadProperty(TPropertyReader& reader);
};
using TForceFeedbackEffects = std::vector<TForceFeedbackEffect>;

class TCustomInput {
public:
    explicit TCustomInput(TCustomDXInput& dxInput) : dxInput_(dxInput) {}
    virtual ~TCustomInput() = default;
    TCustomInput(const TCustomInput&) = delete;
    TCustomInput& operator=(const TCustomInput&) = delete;

    virtual void Finalize();
    virtual void Initialize() = 0;
    // Reads the device into States; an uninitialised device, or any device while the
    // window is in the background with ActiveOnly, reports nothing.
    virtual void Update() = 0;

    // Reads a stored property of the device; name is the reader's without the device's
    // prefix ("Enabled" for "Keyboard.Enabled"). The common ones are BindInputStates,
    // Effects, Enabled and ForceFeedback.
    virtual bool ReadProperty(std::string_view name, TPropertyReader& reader);

    bool BindInputStates() const { return bindInputStates_; }
    void SetBindInputStates(bool value) { bindInputStates_ = value; }
    int ButtonCount() const { return buttonCount_; }
    TForceFeedbackEffects& Effects() { return effects_; }
    bool Enabled() const { return enabled_; }
    // A new value re-initialises the device, unless the component is being loaded.
    void SetEnabled(bool value);
    bool ForceFeedback() const { return forceFeedback_; }
    void SetForceFeedback(bool value);
    bool Initialized() const { return initialized_; }
    TInputStates States() const { return states_; }
    TCustomDXInput& DXInput() const { return dxInput_; }

protected:
    // The start every Update shares: clears the raw state and States; answers whether the
    // device may report anything this time.
    bool BeginUpdate();
    virtual void ClearRawState() {}

    bool bindInputStates_ = true;
    int buttonCount_ = 0;
    bool enabled_ = true;
    bool forceFeedback_ = false;
    bool forceFeedbackCapable_ = false;
    bool initialized_ = false;
    TInputStates states_;

private:
    void Reinitialize();

    TCustomDXInput& dxInput_;
    TForceFeedbackEffects effects_;
};

class TKeyboard : public TCustomInput {
public:
    explicit TKeyboard(TCustomDXInput& dxInput);

    void Finalize() override;
    void Initialize() override;
    void Update() override;

    const std::array<std::uint8_t, 256>& Keys() const { return keys_; }
    const TKeyAssignList& KeyAssigns() const { return keyAssigns_; }
    TKeyAssignList& KeyAssigns() { return keyAssigns_; }
    // The stored "Assigns" property (also read under "Aissgns").
    void ReadAssigns(TStream& stream) { readKeyAssigns(stream, keyAssigns_); }
    void WriteAssigns(TStream& stream) const { writeKeyAssigns(stream, keyAssigns_); }
    // Adds Assigns (also under its old name Aissgns).
    bool ReadProperty(std::string_view name, TPropertyReader& reader) override;

protected:
    void ClearRawState() override { keys_ = {}; }

private:
    std::array<std::uint8_t, 256> keys_{};
    TKeyAssignList keyAssigns_;
};

// The joystick's reading: axes in −range…+range, point of view, button bytes.
struct TJoyState {
    std::int32_t X = 0, Y = 0, Z = 0;
    std::uint32_t POV = 0;
    std::array<std::uint8_t, 128> Buttons{};
};

class TJoystick : public TCustomInput {
public:
    // Byte positions of the axes in the joystick's state record; they index the tables.
    static constexpr int kAxisX = 0, kAxisY = 4, kAxisZ = 8, kPointOfView = 32;
    static constexpr int kTableSize = 272;

    explicit TJoystick(TCustomDXInput& dxInput);

    void Finalize() override;
    void Initialize() override;
    void Update() override;

    bool AutoCenter() const { return autoCenter_; }
    void SetAutoCenter(bool value) { autoCenter_ = value; }
    int ID() const { return id_; }
    // A new value re-initialises the joystick; a negative ID disables it.
    void SetID(int value);
    // The platform's number of the chosen joystick, or −1.
    int JoystickNumber() const { return joystickNumber_; }
    const TJoyState& Joystate() const { return joyState_; }

    // Index outside 0 to 270 reads 0 and is ignored when set. Dead zones are clamped to
    // 0…100 percent, ranges to 0 and above; index 32 (point of view) always holds −1.
    int DeadZone(int index) const;
    void SetDeadZone(int index, int value);
    int Range(int index) const;
    void SetRange(int index, int value);

    int DeadZoneX() const { return DeadZone(kAxisX); }
    int DeadZoneY() const { return DeadZone(kAxisY); }
    int DeadZoneZ() const { return DeadZone(kAxisZ); }
    void SetDeadZoneX(int value) { SetDeadZone(kAxisX, value); }
    void SetDeadZoneY(int value) { SetDeadZone(kAxisY, value); }
    void SetDeadZoneZ(int value) { SetDeadZone(kAxisZ, value); }
    int RangeX() const { return Range(kAxisX); }
    int RangeY() const { return Range(kAxisY); }
    int RangeZ() const { return Range(kAxisZ); }
    void SetRangeX(int value) { SetRange(kAxisX, value); }
    void SetRangeY(int value) { SetRange(kAxisY, value); }
    void SetRangeZ(int value) { SetRange(kAxisZ, value); }

    // The button (0 to 31) whose press makes stButton1, the fire button, or -1 for none.
    // Button 0 fires unless the player chose another; see joystickButtonState.
    int FireButton() const { return fireButton_; }
    void SetFireButton(int button) { fireButton_ = button >= 0 && button < 32 ? button : -1; }
    // Asks the joystick to rumble for ms milliseconds at strength (0 to 65535), when the
    // device is in working order with a joystick and ForceFeedback is on. False otherwise.
    bool Rumble(std::uint16_t strength, std::uint32_t ms);

    // Adds AutoCenter, DeadZoneX/Y/Z, ID and RangeX/Y/Z.
    bool ReadProperty(std::string_view name, TPropertyReader& reader) override;

protected:
    void ClearRawState() override { joyState_ = {}; }

private:
    int findJoystickNumber() const;
    void readAxes(const platform::JoyInfoEx& info);
    void statesFromReading();

    bool autoCenter_ = true;
    int fireButton_ = 0;
    int id_ = 0;
    int joystickNumber_ = -1;
    platform::JoyCaps caps_;
    std::array<std::int32_t, kTableSize> deadZones_{};
    std::array<std::int32_t, kTableSize> ranges_{};
    TJoyState joyState_;
};

// The state button (0 to 31) of a joystick makes when fireButton is the fire button:
// button i makes stButton(i + 1), except that the fire button makes stButton1 and button 0
// takes the fire button's own state in exchange. With no fire button (-1), button 0 makes
// no state.
std::optional<TInputState> joystickButtonState(int button, int fireButton);

// The mouse's movement and buttons. Only DirectInput could fill the record, so without it
// the mouse reports nothing.
struct TMouseState {
    std::int32_t X = 0, Y = 0, Z = 0;
    std::array<std::uint8_t, 4> Buttons{};
};

class TMouse : public TCustomInput {
public:
    explicit TMouse(TCustomDXInput& dxInput);

    void Initialize() override;
    void Update() override;
    const TMouseState& MouseState() const { return mouseState_; }

protected:
    void ClearRawState() override { mouseState_ = {}; }

private:
    TMouseState mouseState_;
};

}  // namespace vek
