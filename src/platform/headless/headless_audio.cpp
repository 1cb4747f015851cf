// The headless sound service: buffers on a voice bank mixed only when a test asks,
// with the calls logged and refused as the failure switches say.
#include "platform/headless/headless_audio.hpp"

#include <algorithm>

namespace vek::platform::headless {

using audio::BufferCall;
using audio::HResult;

HeadlessAudioSystem::HeadlessAudioSystem(std::uint32_t outputRate) : outputRate_(outputRate) {}

HeadlessAudioSystem::~HeadlessAudioSystem() = default;

HResult HeadlessAudioSystem::directSoundCreate(std::unique_ptr<audio::SoundDevice>& device) {
    device.reset();
    if (failures_.noDevice) return HResult::NoDriver;
    if (device_) return HResult::Allocated;
    // Tests mix on their own thread, so the bank needs no guard.
    audio::BufferHooks* hooks = this;
    auto bank = std::make_shared<audio::VoiceBank>(outputRate_, nullptr, hooks);
    device = std::make_unique<HeadlessSoundDevice>(*this, std::move(bank));
    return HResult::Ok;
}

void HeadlessAudioSystem::loseBuffers() {
    if (device_) device_->voices().loseAll();
}

void HeadlessAudioSystem::disconnect() {
    if (device_) device_->voices().disconnect();
}

void HeadlessAudioSystem::reconnect() {
    if (device_) device_->voices().outputAdded();
}

void HeadlessAudioSystem::setOwnerFocused(bool focused) {
    if (device_) device_->voices().setOwnerFocused(focused);
}

std::vector<std::int16_t> HeadlessAudioSystem::mix(std::size_t frames) {
    if (device_) return device_->mix(frames);
    return std::vector<std::int16_t>(frames * audio::kOutputChannels, 0);
}

int HeadlessAudioSystem::playingCount() {
    return device_ ? device_->voices().playingCount() : 0;
}

std::vector<AudioLogEntry> HeadlessAudioSystem::logOf(int buffer) const {
    std::vector<AudioLogEntry> entries;
    std::copy_if(log_.begin(), log_.end(), std::back_inserter(entries),
                 [buffer](const AudioLogEntry& e) { return e.buffer == buffer; });
    return entries;
}

int HeadlessAudioSystem::count(BufferCall call) const {
    return static_cast<int>(
        std::count_if(log_.begin(), log_.end(), [call](const AudioLogEntry& e) { return e.call == call; }));
}

int HeadlessAudioSystem::idOf(const audio::SoundBuffer& buffer) {
    if (auto* voice = dynamic_cast<const audio::VoiceBuffer*>(&buffer)) return voice->id();
    if (auto* primary = dynamic_cast<const audio::PrimaryBuffer*>(&buffer)) return primary->id();
    return 0;
}

HResult HeadlessAudioSystem::admit(BufferCall call) {
    switch (call) {
        case BufferCall::CreatePrimary:
            return failures_.createPrimary;
        case BufferCall::Create:
            return failures_.createBuffer;
        case BufferCall::Lock:
            return failures_.lock;
        case BufferCall::Duplicate:
            return failures_.duplicate;
        default:
            return HResult::Ok;
    }
}

void HeadlessAudioSystem::record(int buffer, BufferCall call, std::int64_t value, HResult result) {
    log_.push_back({buffer, call, value, result});
}

HeadlessSoundDevice::HeadlessSoundDevice(HeadlessAudioSystem& system, std::shared_ptr<audio::VoiceBank> bank)
    : VoiceDevice(std::move(bank)), system_(system) {
    system_.device_ = this;
    ++system_.devicesOpened_;
}

HeadlessSoundDevice::~HeadlessSoundDevice() {
    closeBank();
    system_.device_ = nullptr;
}

std::vector<std::int16_t> HeadlessSoundDevice::mix(std::size_t frames) {
    std::vector<std::int16_t> output(frames * audio::kOutputChannels);
    bank().mixGuarded(output);
    return output;
}

}  // namespace vek::platform::headless
