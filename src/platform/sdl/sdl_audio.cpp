// The SDL sound device: opens the audio device, mixes the voice bank in SDL's audio
// callback, follows the keyboard focus for buffers without a focus flag, and closes cleanly.
#include "platform/sdl/sdl_audio.hpp"

#include <SDL.h>

#include <atomic>
#include <span>

#include "platform/audio_buffers.hpp"

namespace vek::platform::sdl {

namespace {

using audio::HResult;

constexpr int kPreferredRate = 44100;
constexpr Uint16 kCallbackFrames = 1024;

// SDL's own lock of the device, under which the callback runs.
class DeviceGuard : public audio::MixGuard {
public:
    void lock() override { SDL_LockAudioDevice(id); }
    void unlock() override { SDL_UnlockAudioDevice(id); }

    SDL_AudioDeviceID id = 0;
};

// What the callback and the event watch reach through their user data; stays put while
// the device is open.
struct Output {
    DeviceGuard guard;
    std::shared_ptr<audio::VoiceBank> bank;
    // Set once the cooperation names a window: from then on the focus decides.
    std::atomic<bool> followsFocus{false};
};

void mixCallback(void* userdata, Uint8* stream, int length) {
    auto* output = static_cast<Output*>(userdata);
    // SDL hands out a buffer of whole S16 stereo frames, aligned for its samples.
    std::span<std::int16_t> samples(reinterpret_cast<std::int16_t*>(stream),
                                    static_cast<std::size_t>(length) / 2);
    output->bank->mixGuarded(samples);
}

// Sees every event as it is queued, on the thread that queues it (the audio thread for a
// lost device): the keyboard focus moving between windows, and our output going away.
int watchEvents(void* userdata, SDL_Event* event) {
    auto* output = static_cast<Output*>(userdata);
    if (event->type == SDL_WINDOWEVENT && output->followsFocus) {
        if (event->window.event == SDL_WINDOWEVENT_FOCUS_GAINED) output->bank->setOwnerFocused(true);
        if (event->window.event == SDL_WINDOWEVENT_FOCUS_LOST) output->bank->setOwnerFocused(false);
    }
    if (event->type == SDL_AUDIODEVICEREMOVED && !event->adevice.iscapture &&
        event->adevice.which == output->guard.id) {
        output->bank->disconnect();
    }
    return 1;
}

class SdlSoundDevice : public audio::VoiceDevice {
public:
    explicit SdlSoundDevice(std::unique_ptr<Output> output)
        : VoiceDevice(output->bank), output_(std::move(output)) {
        SDL_AddEventWatch(watchEvents, output_.get());
    }

    // The watch goes first: once it is removed no thread can reach the bank through it.
    ~SdlSoundDevice() override {
        SDL_DelEventWatch(watchEvents, output_.get());
        closeBank();
        SDL_CloseAudioDevice(output_->guard.id);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    HResult setCooperativeLevel(Window* window, std::uint32_t level) override {
        const HResult result = VoiceDevice::setCooperativeLevel(window, level);
        if (succeeded(result) && window && !output_->followsFocus) {
            output_->bank->setOwnerFocused(SDL_GetKeyboardFocus() != nullptr);
            output_->followsFocus = true;
        }
        return result;
    }

private:
    std::unique_ptr<Output> output_;
};

// Opens the device paused, so the callback cannot run before the bank exists.
HResult openDevice(Output& output) {
    SDL_AudioSpec want{};
    want.freq = kPreferredRate;
    want.format = AUDIO_S16SYS;
    want.channels = audio::kOutputChannels;
    want.samples = kCallbackFrames;
    want.callback = mixCallback;
    want.userdata = &output;
    SDL_AudioSpec have{};
    const int allowed = SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_SAMPLES_CHANGE;
    output.guard.id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, allowed);
    if (output.guard.id == 0) return HResult::NoDriver;
    output.bank =
        std::make_shared<audio::VoiceBank>(static_cast<std::uint32_t>(have.freq), &output.guard, nullptr);
    return HResult::Ok;
}

}  // namespace

HResult SdlAudioSystem::directSoundCreate(std::unique_ptr<audio::SoundDevice>& device) {
    device.reset();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return HResult::NoDriver;
    auto output = std::make_unique<Output>();
    if (!succeeded(openDevice(*output))) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return HResult::NoDriver;
    }
    const SDL_AudioDeviceID id = output->guard.id;
    device = std::make_unique<SdlSoundDevice>(std::move(output));
    SDL_PauseAudioDevice(id, 0);
    return HResult::Ok;
}

}  // namespace vek::platform::sdl
