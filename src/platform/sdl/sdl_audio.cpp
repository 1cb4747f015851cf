// The SDL sound device: opens the audio device, mixes the voice bank in SDL's audio
// callback, follows the keyboard focus for buffers without a focus flag, and closes cleanly.
#include "platform/sdl/sdl_audio.hpp"

#include <SDL.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <span>

#include "platform/audio/voice_device.hpp"
#include "runtime/messages.hpp"
#include "runtime/shown_text.hpp"

namespace vek::platform::sdl {

namespace {

using audio::HResult;

constexpr int kPreferredRate = 44100;
constexpr Uint16 kCallbackFrames = 1024;
// The longest a closing device waits for the glides of its voices.
constexpr Uint32 kDrainLimitMs = 100;
// How much of SDL's reason for a failure a message shows.
constexpr std::size_t kShownReasonLength = 200;

// SDL's own lock of the device, under which the callback runs. The id changes when the
// mix moves to a new device, and the event watch reads it from another thread.
class DeviceGuard : public audio::MixGuard {
public:
    void lock() override { SDL_LockAudioDevice(id); }
    void unlock() override { SDL_UnlockAudioDevice(id); }

    std::atomic<SDL_AudioDeviceID> id{0};
};

// What the callback and the event watch reach through their user data; stays put while
// the device is open.
struct Output {
    DeviceGuard guard;
    std::shared_ptr<audio::VoiceBank> bank;
    // Set once the cooperation names a window: from then on the focus decides.
    std::atomic<bool> followsFocus{false};
    // How long one callback's worth of output lasts.
    Uint32 callbackMs = 0;
};

void mixCallback(void* userdata, Uint8* stream, int length) {
    auto* output = static_cast<Output*>(userdata);
    // SDL hands out a buffer of whole S16 stereo frames, aligned for its samples.
    std::span<std::int16_t> samples(reinterpret_cast<std::int16_t*>(stream),
                                    static_cast<std::size_t>(length) / 2);
    output->bank->mixGuarded(samples);
}

// Sees every event as it is queued, on the thread that queues it (the audio thread for a
// lost device): the keyboard focus moving between windows, our output going away, and an
// output device coming, which the bank takes up on the next call from the game's thread.
int watchEvents(void* userdata, SDL_Event* event) {
    auto* output = static_cast<Output*>(userdata);
    if (event->type == SDL_WINDOWEVENT && output->followsFocus) {
        if (event->window.event == SDL_WINDOWEVENT_FOCUS_GAINED) output->bank->setOwnerFocused(true);
        if (event->window.event == SDL_WINDOWEVENT_FOCUS_LOST) output->bank->setOwnerFocused(false);
    }
    const bool playback = (event->type == SDL_AUDIODEVICEREMOVED || event->type == SDL_AUDIODEVICEADDED) &&
                          !event->adevice.iscapture;
    if (playback && event->type == SDL_AUDIODEVICEREMOVED && event->adevice.which == output->guard.id) {
        output->bank->disconnect();
    }
    if (playback && event->type == SDL_AUDIODEVICEADDED) output->bank->outputAdded();
    return 1;
}

// Opens the default SDL audio device paused, so the callback cannot run before the caller
// is ready. allowed says which of rate and callback size SDL may choose itself.
bool openDevice(Output& output, int rate, int allowed, SDL_AudioSpec& have) {
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = AUDIO_S16SYS;
    want.channels = audio::kOutputChannels;
    want.samples = kCallbackFrames;
    want.callback = mixCallback;
    want.userdata = &output;
    output.guard.id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, allowed);
    if (have.freq > 0) output.callbackMs = static_cast<Uint32>(have.samples * 1000 / have.freq + 1);
    return output.guard.id != 0;
}

// Waits while the callback mixes the glides of a closed bank to their end, then for one more
// callback, so that the output holds silence after them when the device closes. Bounded, in
// case the device has stalled; nothing to wait for on a device that does not play.
void drainGlides(Output& output) {
    if (SDL_GetAudioDeviceStatus(output.guard.id) != SDL_AUDIO_PLAYING || !output.bank->sounding()) return;
    const Uint32 started = SDL_GetTicks();
    while (output.bank->sounding() && SDL_GetTicks() - started < kDrainLimitMs) SDL_Delay(1);
    SDL_Delay(output.callbackMs);
}

// Moves the mix of a bank whose device went away to the default device as it is now. The
// bank keeps its rate; SDL converts if the new device wants another.
bool reopenDevice(Output& output) {
    SDL_CloseAudioDevice(output.guard.id);
    SDL_AudioSpec have{};
    const auto rate = static_cast<int>(output.bank->outputRate());
    if (!openDevice(output, rate, SDL_AUDIO_ALLOW_SAMPLES_CHANGE, have)) return false;
    SDL_PauseAudioDevice(output.guard.id, 0);
    return true;
}

class SdlSoundDevice : public audio::VoiceDevice {
public:
    explicit SdlSoundDevice(std::unique_ptr<Output> output)
        : VoiceDevice(output->bank), output_(std::move(output)) {
        SDL_AddEventWatch(watchEvents, output_.get());
    }

    // The watch goes first: once it is removed no thread can reach the bank through it. The
    // voices still sounding glide out before the device closes, so closing does not click.
    ~SdlSoundDevice() override {
        SDL_DelEventWatch(watchEvents, output_.get());
        bank().close();
        drainGlides(*output_);
        SDL_CloseAudioDevice(output_->guard.id);
        bank().detach();
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

}  // namespace

HResult SdlAudioSystem::directSoundCreate(std::unique_ptr<audio::SoundDevice>& device) {
    device.reset();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return noDriver("cannot start SDL's audio");
    auto output = std::make_unique<Output>();
    SDL_AudioSpec have{};
    const int allowed = SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_SAMPLES_CHANGE;
    if (!openDevice(*output, kPreferredRate, allowed, have)) {
        const HResult result = noDriver("cannot open the sound device");
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return result;
    }
    output->bank =
        std::make_shared<audio::VoiceBank>(static_cast<std::uint32_t>(have.freq), &output->guard, nullptr);
    output->bank->setReconnect([out = output.get()] { return reopenDevice(*out); });
    const SDL_AudioDeviceID id = output->guard.id;
    device = std::make_unique<SdlSoundDevice>(std::move(output));
    SDL_PauseAudioDevice(id, 0);
    return HResult::Ok;
}

// The game goes on silently and the player may ask again; saying why each time would
// repeat the same line.
HResult SdlAudioSystem::noDriver(const char* what) {
    if (!failureSaid_) {
        std::fprintf(stderr, "%s%s: %s; no sound\n", MessagePrefix().c_str(), what,
                     shownName(SDL_GetError(), kShownReasonLength).c_str());
    }
    failureSaid_ = true;
    return HResult::NoDriver;
}

}  // namespace vek::platform::sdl
