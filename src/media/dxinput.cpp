// The input component: device list, lifecycle and the merge of device states.
#include "media/dxinput.hpp"

#include "platform/platform.hpp"
#include "platform/toolkit/form.hpp"

namespace vek {

TCustomDXInput::TCustomDXInput(TComponent* owner) : TComponent(owner) {
    joystick_ = &AddDevice<TJoystick>();
    keyboard_ = &AddDevice<TKeyboard>();
    mouse_ = &AddDevice<TMouse>();
    form_ = OwnerForm();
    if (!form_) throw EDXInputError(kFormNotFound);
}

TCustomDXInput::~TCustomDXInput() {
    Finalize();
    while (!devices_.empty()) devices_.pop_back();
}

void TCustomDXInput::Update() {
    TInputStates merged;
    for (const auto& device : devices_) {
        device->Update();
        if (device->BindInputStates()) merged |= device->States();
    }
    states_ = mergeInputStates(states_, merged, previousMerged_);
    previousMerged_ = merged;
}

void TCustomDXInput::Initialize() {
    Finalize();
    for (const auto& device : devices_) device->Initialize();
    Update();
}

void TCustomDXInput::Finalize() {
    for (const auto& device : devices_) device->Finalize();
}

void TCustomDXInput::SetUseDirectInput(bool value) {
    if (useDirectInput_ == value) return;
    useDirectInput_ = value;
    if (!Loading()) Initialize();
}

bool TCustomDXInput::OwnerInForeground() const {
    const platform::Window* window = form_->Handle();
    return window && platform::current().application().foregroundWindow() == window;
}

bool TCustomDXInput::ReadProperty(TPropertyReader& reader) {
    const std::string_view name = reader.Name();
    const std::pair<std::string_view, TCustomInput*> devices[] = {
        {"Joystick.", joystick_}, {"Keyboard.", keyboard_}, {"Mouse.", mouse_}};
    for (const auto& [prefix, device] : devices)
        if (name.starts_with(prefix)) return device->ReadProperty(name.substr(prefix.size()), reader);
    if (name == "ActiveOnly") {
        SetActiveOnly(reader.ReadBoolean());
    } else if (name == "UseDirectInput") {
        SetUseDirectInput(reader.ReadBoolean());
    } else {
        return false;
    }
    return true;
}

void TCustomDXInput::Loaded() {
    TComponent::Loaded();
    Initialize();
}

}  // namespace vek
