// The real sound service: an SDL audio device whose callback runs our mixer over the
// voices of the open device. Voices change only under SDL's audio device lock.
#pragma once

#include <memory>

#include "platform/audio.hpp"

namespace vek::platform::sdl {

// Opens the default SDL audio device (44100 Hz, stereo, 16-bit asked; SDL may pick another
// rate, and converts anything else itself). Without a usable driver or device it answers
// NoDriver and leaves nothing open.
//
// Buffers created without a focus flag are heard only while one of the application's
// windows has the keyboard focus, once the cooperation has been set with a window.
// When SDL reports our output device removed, every voice stops and buffer calls answer
// NoDriver; once SDL reports an output device added, the next call reopens the default
// device at the same rate and the buffers go on with their samples.
// Destroying the device stops every voice; buffers that outlive it answer InvalidCall.
// The first failure to open says SDL's reason in one line on stderr; later ones are silent.
class SdlAudioSystem : public audio::AudioSystem {
public:
    audio::HResult directSoundCreate(std::unique_ptr<audio::SoundDevice>& device) override;

private:
    audio::HResult noDriver(const char* what);
    bool failureSaid_ = false;
};

}  // namespace vek::platform::sdl
