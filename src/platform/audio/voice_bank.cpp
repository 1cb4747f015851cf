// The voice table: slots for buffers, glides of cut-off sounds, publishing filled memory to
// the voices, and the device's availability.
#include "platform/audio/voice_bank.hpp"

#include <algorithm>

namespace vek::platform::audio {

VoiceBank::VoiceBank(std::uint32_t outputRate, MixGuard* guard, BufferHooks* hooks)
    : outputRate_(outputRate), guard_(guard), hooks_(hooks), mix_(outputRate) {
    voices_.reserve(kGlideVoices + 64);
    slots_.reserve(kGlideVoices + 64);
    voices_.resize(kGlideVoices);
    slots_.resize(kGlideVoices);
}

void VoiceBank::mixGuarded(std::span<std::int16_t> output) {
    mixVoices(voices_, output, mix_, ownerFocused_);
}

void VoiceBank::close() {
    Locked locked(guard_);
    for (Voice& voice : voices_) {
        if (voice.playing) {
            voice.releasing = true;
        } else {
            voice = Voice{};
        }
    }
    closed_ = true;
}

void VoiceBank::detach() {
    guard_ = nullptr;
    hooks_ = nullptr;
    reconnect_ = nullptr;
}

bool VoiceBank::sounding() {
    Locked locked(guard_);
    return std::any_of(voices_.begin(), voices_.end(), [](const Voice& v) { return v.playing; });
}

void VoiceBank::disconnect() {
    Locked locked(guard_);
    for (Voice& voice : voices_) voice.playing = false;
    disconnected_ = true;
}

HResult VoiceBank::availability() {
    if (closed_) return HResult::InvalidCall;
    if (disconnected_ && outputAdded_.exchange(false) && (!reconnect_ || reconnect_())) disconnected_ = false;
    return disconnected_ ? HResult::NoDriver : HResult::Ok;
}

void VoiceBank::loseAll() {
    Locked locked(guard_);
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        if (!slots_[i].used) continue;
        slots_[i].lost = true;
        voices_[i].playing = false;
    }
}

int VoiceBank::acquire(const std::shared_ptr<SampleMemory>& memory) {
    Locked locked(guard_);
    auto free =
        std::find_if(slots_.begin() + kGlideSlots, slots_.end(), [](const Slot& s) { return !s.used; });
    const auto slot = static_cast<std::size_t>(free - slots_.begin());
    if (free == slots_.end()) {
        slots_.emplace_back();
        voices_.emplace_back();
    }
    slots_[slot] = Slot{memory.get(), true, false};
    voices_[slot] = Voice{};
    voices_[slot].block = memory->block;
    return static_cast<int>(slot);
}

void VoiceBank::release(int slot) {
    Locked locked(guard_);
    glideOut(static_cast<std::size_t>(slot));
    voices_[slot] = Voice{};
    slots_[slot] = Slot{};
}

// Hands what the voice is sounding to a glide voice, which plays it out to silence, and stops
// the voice itself. With every glide voice busy, the one furthest along its glide gives way.
// Called under the guard.
void VoiceBank::glideOut(std::size_t slot) {
    if (!voices_[slot].playing) return;
    const auto glides = voices_.begin() + kGlideSlots;
    auto glide = std::find_if(voices_.begin(), glides, [](const Voice& v) { return !v.playing; });
    if (glide == glides)
        glide = std::min_element(voices_.begin(), glides,
                                 [](const Voice& a, const Voice& b) { return a.level < b.level; });
    *glide = voices_[slot];
    glide->releasing = true;
    voices_[slot].playing = false;
}

void VoiceBank::start(int slot, bool looping) {
    Locked locked(guard_);
    Voice& voice = voices_[slot];
    if (!voice.playing) voice.level = voice.needsFocus && !ownerFocused_ ? 0.0f : 1.0f;
    voice.playing = true;
    voice.looping = looping;
}

void VoiceBank::stop(int slot) {
    Locked locked(guard_);
    glideOut(static_cast<std::size_t>(slot));
}

int VoiceBank::playingCount() {
    Locked locked(guard_);
    int count = 0;
    for (std::size_t i = 0; i < slots_.size(); ++i) count += slots_[i].used && voices_[i].playing;
    return count;
}

void VoiceBank::publish(const SampleMemory& memory) {
    Locked locked(guard_);
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        if (slots_[i].used && slots_[i].memory == &memory) voices_[i].block = memory.block;
    }
}

HResult VoiceBank::admit(BufferCall call) {
    const HResult available = availability();
    if (!succeeded(available)) return available;
    return hooks_ ? hooks_->admit(call) : HResult::Ok;
}

}  // namespace vek::platform::audio
