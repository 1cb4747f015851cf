// TDXInput: the input component. It reads the joystick, the keyboard and the mouse once per
// Update and merges their states into States, where a state changes only when one of the
// devices changes it.
#pragma once

#include <memory>
#include <vector>

#include "media/input_devices.hpp"
#include "media/input_states.hpp"
#include "runtime/component.hpp"
#include "runtime/exception.hpp"

namespace vek {

namespace platform {
class TCustomForm;
}

VEK_DECLARE_ERROR(EDXInputError, Exception);

inline constexpr const char* kDirectInputRequiredForMouse = "DirectInput is required for mouse support";

class TCustomDXInput : public TComponent {
public:
    // Raises EDXInputError "Form not found" when no owner is a form.
    explicit TCustomDXInput(TComponent* owner);
    ~TCustomDXInput() override;

    // Reads every device and refreshes States; allocates nothing.
    void Update();
    void Initialize();
    void Finalize();

    TInputStates States() const { return states_; }
    void SetStates(TInputStates states) { states_ = states; }
    // What the devices held at the last Update, whatever States was set to since.
    TInputStates DeviceStates() const { return previousMerged_; }

    bool ActiveOnly() const { return activeOnly_; }
    void SetActiveOnly(bool value) { activeOnly_ = value; }
    // The DirectInput path is not offered: either value reads the devices the same way.
    // A new value re-initialises the devices, unless the component is being loaded.
    bool UseDirectInput() const { return useDirectInput_; }
    void SetUseDirectInput(bool value);

    TJoystick& Joystick() const { return *joystick_; }
    TKeyboard& Keyboard() const { return *keyboard_; }
    TMouse& Mouse() const { return *mouse_; }
    int DeviceCount() const { return static_cast<int>(devices_.size()); }
    TCustomInput& Devices(int index) const { return *devices_.at(static_cast<std::size_t>(index)); }
    // Adds a further device to the list; the component owns it from then on.
    template <class Device>
    Device& AddDevice() {
        auto device = std::make_unique<Device>(*this);
        Device& ref = *device;
        devices_.push_back(std::move(device));
        return ref;
    }

    // The nearest form among the owners, found at creation.
    platform::TCustomForm& OwnerWindow() const { return *form_; }
    // True when the owner form's window is the foreground window.
    bool OwnerInForeground() const;

    // The stored properties: ActiveOnly, UseDirectInput, and the devices' under
    // "Joystick.", "Keyboard." and "Mouse.".
    bool ReadProperty(TPropertyReader& reader) override;

protected:
    void Loaded() override;

private:
    bool activeOnly_ = true;
    std::vector<std::unique_ptr<TCustomInput>> devices_;
    platform::TCustomForm* form_ = nullptr;
    TJoystick* joystick_ = nullptr;
    TKeyboard* keyboard_ = nullptr;
    TMouse* mouse_ = nullptr;
    TInputStates previousMerged_;
    TInputStates states_;
    bool useDirectInput_ = true;
};

// The published input component of a window's stored description.
class TDXInput : public TCustomDXInput {
public:
    using TCustomDXInput::TCustomDXInput;
    std::string_view ClassName() const override { return "TDXInput"; }
};

}  // namespace vek
