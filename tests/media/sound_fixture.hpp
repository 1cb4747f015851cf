// A platform for the sound tests: the headless sound service, and a virtual clock whose
// sleep lets the mixer run for the time slept, so waiting for a sound comes to an end.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "media/wave.hpp"
#include "platform/headless/headless_audio.hpp"
#include "platform/platform.hpp"
#include "runtime/exception.hpp"

namespace vek::testing {

class MixingClock : public platform::Clock {
public:
    explicit MixingClock(platform::headless::HeadlessAudioSystem& audio) : audio_(audio) {}
    std::uint32_t timeGetTime() override { return now_; }
    std::uint32_t getTickCount() override { return now_; }
    void sleep(std::uint32_t ms) override {
        now_ += ms;
        sleeps_.push_back(ms);
        audio_.mix(static_cast<std::size_t>(audio_.outputRate()) * ms / 1000);
    }
    const std::vector<std::uint32_t>& sleeps() const { return sleeps_; }

private:
    platform::headless::HeadlessAudioSystem& audio_;
    std::uint32_t now_ = 0;
    std::vector<std::uint32_t> sleeps_;
};

// A platform that offers only a sound service and a clock, installed for its lifetime.
class SoundOnlyPlatform : public platform::Platform {
public:
    SoundOnlyPlatform() : previous_(platform::installed() ? &platform::current() : nullptr) {
        platform::install(this);
    }
    ~SoundOnlyPlatform() override { platform::install(previous_); }
    SoundOnlyPlatform(const SoundOnlyPlatform&) = delete;
    SoundOnlyPlatform& operator=(const SoundOnlyPlatform&) = delete;

    platform::Application& application() override {
        throw std::logic_error("sound tests have no application");
    }
    platform::gfx::GraphicsSystem& graphics() override {
        throw std::logic_error("sound tests have no graphics");
    }
    platform::JoystickService& joysticks() override {
        throw std::logic_error("sound tests have no joysticks");
    }

private:
    platform::Platform* previous_;
};

class SoundTestPlatform : public SoundOnlyPlatform {
public:
    platform::Clock& clock() override { return clock_; }
    platform::audio::AudioSystem& audio() override { return audio_; }

    platform::headless::HeadlessAudioSystem& sound() { return audio_; }
    MixingClock& mixingClock() { return clock_; }

    // Lets the mixer run for ms milliseconds of output.
    void run(std::uint32_t ms) { audio_.mix(static_cast<std::size_t>(audio_.outputRate()) * ms / 1000); }

private:
    platform::headless::HeadlessAudioSystem audio_{44100};
    MixingClock clock_{audio_};
};

// "<error class>: <message>" of the error f raises, or "" when it raises none.
inline std::string errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Exception& e) {
        return std::string(e.className()) + ": " + e.what();
    }
    return "";
}

// A PCM wave of frames samples of a steady loud level (8-bit mono unless told otherwise).
inline TWave makeWave(std::int32_t frames, std::uint32_t rate = 11025, std::uint16_t bits = 8,
                      std::uint16_t tag = 1) {
    TWave wave;
    wave.SetFormatSize(16);
    const std::uint16_t align = bits / 8;
    const std::uint32_t fields[] = {tag | 1u << 16, rate, rate * align,
                                    align | static_cast<std::uint32_t>(bits) << 16};
    for (int i = 0; i < 4; ++i)
        for (int b = 0; b < 4; ++b)
            wave.Format()[static_cast<std::size_t>(i * 4 + b)] =
                static_cast<std::uint8_t>(fields[i] >> (8 * b));
    wave.SetSize(frames * align);
    for (std::int32_t i = 0; i < wave.Size(); ++i) wave.Data()[i] = static_cast<std::uint8_t>(200 + i % 7);
    return wave;
}

}  // namespace vek::testing
