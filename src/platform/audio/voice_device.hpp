// The device part both sound backends share: cooperation, buffer creation and duplication.
// A backend closes the bank before it tears down its mixing thread, and detaches it after.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/audio.hpp"
#include "platform/audio/sound_buffers.hpp"
#include "platform/audio/voice_bank.hpp"

namespace vek::platform::audio {

class VoiceDevice : public SoundDevice {
public:
    explicit VoiceDevice(std::shared_ptr<VoiceBank> bank);
    ~VoiceDevice() override;
    VoiceDevice(const VoiceDevice&) = delete;
    VoiceDevice& operator=(const VoiceDevice&) = delete;

    HResult setCooperativeLevel(Window* window, std::uint32_t level) override;
    HResult createSoundBuffer(const BufferDescription& description,
                              std::unique_ptr<SoundBuffer>& buffer) override;
    HResult duplicateSoundBuffer(SoundBuffer& original, std::unique_ptr<SoundBuffer>& duplicate) override;

    std::uint32_t cooperativeLevel() const { return level_; }
    Window* cooperativeWindow() const { return window_; }

protected:
    VoiceBank& bank() { return *bank_; }
    // For a device without a mixing thread of its own; see VoiceBank::close and detach.
    void closeBank() {
        bank_->close();
        bank_->detach();
    }

private:
    HResult createSecondary(const BufferDescription& description, std::unique_ptr<SoundBuffer>& buffer);

    std::shared_ptr<VoiceBank> bank_;
    Window* window_ = nullptr;
    std::uint32_t level_ = 0;
};

}  // namespace vek::platform::audio
