// The sound device component: opens the platform's sound device for its window, wraps the
// device and its buffers, and tells registered listeners when the device comes, goes or
// has to be rebuilt.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/audio.hpp"
#include "runtime/component.hpp"
#include "runtime/exception.hpp"

namespace vek {

class TWave;

VEK_DECLARE_ERROR(EDXSoundError, Exception);
VEK_DECLARE_ERROR(EDirectSoundError, Exception);
VEK_DECLARE_ERROR(EDirectSoundBufferError, Exception);

// An operation needs the device interface and there is none:
// EDirectSoundError "IDirectSound not made".
[[noreturn]] void raiseDirectSoundNotMade();
// An operation needs a buffer interface that the buffer object lacks:
// EDirectSoundBufferError "IDirectSoundBuffer not made".
[[noreturn]] void raiseSoundBufferNotMade();

enum TSoundNotification { snDestroying, snInitializing, snInitialize, snFinalize, snRestore };

enum TDXSoundOption { soGlobalFocus, soStickyFocus, soExclusive };

// A set of TDXSoundOption.
class TDXSoundOptions {
public:
    constexpr TDXSoundOptions() = default;
    constexpr TDXSoundOptions(std::initializer_list<TDXSoundOption> options) {
        for (auto o : options) bits_ |= bit(o);
    }
    constexpr bool Contains(TDXSoundOption o) const { return (bits_ & bit(o)) != 0; }
    constexpr TDXSoundOptions With(TDXSoundOption o, bool on) const {
        TDXSoundOptions r = *this;
        r.bits_ = on ? (bits_ | bit(o)) : (bits_ & ~bit(o));
        return r;
    }
    constexpr bool operator==(const TDXSoundOptions&) const = default;

private:
    static constexpr std::uint8_t bit(TDXSoundOption o) { return static_cast<std::uint8_t>(1u << o); }
    std::uint8_t bits_ = 0;
};

class TDirectSoundBuffer;

// The platform's sound device and the buffer objects made on it.
class TDirectSound {
public:
    // Opens the default sound device; failure: EDirectSoundError "DirectSound cannot be initialized".
    TDirectSound();
    virtual ~TDirectSound();
    TDirectSound(const TDirectSound&) = delete;
    TDirectSound& operator=(const TDirectSound&) = delete;

    // The device interface; EDirectSoundError "IDirectSound not made" without one.
    platform::audio::SoundDevice& IDirectSound();
    platform::audio::HResult DXResult() const { return result_; }
    // Records the result of a device call.
    bool Check(platform::audio::HResult result);

    // The focus rule given to buffers made from now on (see the DSBCAPS focus flags).
    bool GlobalFocus() const { return globalFocus_; }
    void SetGlobalFocus(bool value) { globalFocus_ = value; }
    bool StickyFocus() const { return stickyFocus_; }
    void SetStickyFocus(bool value) { stickyFocus_ = value; }

    int BufferCount() const { return static_cast<int>(buffers_.size()); }
    TDirectSoundBuffer& Buffers(int index) const { return *buffers_.at(static_cast<std::size_t>(index)); }

    // A buffer call reported a lost buffer: rebuild, unless a rebuild is already running.
    void BufferLost();

protected:
    virtual void DoRestore() {}

private:
    friend class TDirectSoundBuffer;
    std::unique_ptr<platform::audio::SoundDevice> device_;
    std::vector<TDirectSoundBuffer*> buffers_;  // not owned; see ~TDirectSound
    bool globalFocus_ = false;
    bool stickyFocus_ = false;
    bool restoring_ = false;
    platform::audio::HResult result_ = platform::audio::HResult::Ok;
};

// One platform sound buffer made on a TDirectSound. Calls record their result code; only a
// missing interface raises (EDirectSoundBufferError "IDirectSoundBuffer not made").
class TDirectSoundBuffer {
public:
    explicit TDirectSoundBuffer(TDirectSound& directSound);
    ~TDirectSoundBuffer();
    TDirectSoundBuffer(const TDirectSoundBuffer&) = delete;
    TDirectSoundBuffer& operator=(const TDirectSoundBuffer&) = delete;

    // The device object, or null once that device has been destroyed.
    TDirectSound* DSound() const { return dsound_; }
    bool HasInterface() const { return buffer_ != nullptr; }
    platform::audio::SoundBuffer& IBuffer();
    platform::audio::HResult DXResult() const { return result_; }
    const platform::audio::BufferCaps& Caps() const { return caps_; }
    const platform::audio::WaveFormat& Format() const { return format_; }
    // A call reported that the buffer's memory was taken away; cleared by a new interface.
    bool Lost() const { return lost_; }

    bool CreateBuffer(const platform::audio::BufferDescription& description);
    // Makes this buffer a duplicate of source: a new voice on the same samples.
    bool Duplicate(TDirectSoundBuffer& source);
    // Creates a buffer of the wave's size and format and fills it with the samples.
    // Failures: EDirectSoundBufferError "Sound Buffer cannot be made" / "... cannot be locked".
    void LoadFromWave(const TWave& wave);
    // Drops the platform buffer.
    void Release();

    // One lock at a time: a second lock before the unlock fails with InvalidCall.
    bool Lock(std::uint32_t offset, std::uint32_t bytes, void** part1, std::uint32_t* size1, void** part2,
              std::uint32_t* size2, std::uint32_t flags);
    bool Unlock();

    bool Play(bool looping);
    bool Stop();
    bool SetCurrentPosition(std::uint32_t position);
    bool SetFrequency(std::int32_t frequency);
    bool SetPan(std::int32_t pan);
    bool SetVolume(std::int32_t volume);
    // The status bits; 0 when the call fails.
    std::uint32_t Status();
    // Playing once or looping.
    bool Playing();

private:
    friend class TDirectSound;
    bool Check(platform::audio::HResult result);
    // The interface of the device this buffer was made on.
    platform::audio::SoundDevice& Device();
    // Records a create or duplicate result and takes the buffer it made, if any.
    bool Adopt(platform::audio::HResult result, std::unique_ptr<platform::audio::SoundBuffer>& made);
    void Attach(std::unique_ptr<platform::audio::SoundBuffer> buffer);
    void Detach();

    struct LockRecord {
        bool locked = false;
        void* part1 = nullptr;
        std::uint32_t size1 = 0;
        void* part2 = nullptr;
        std::uint32_t size2 = 0;
    };

    TDirectSound* dsound_;
    std::unique_ptr<platform::audio::SoundBuffer> buffer_;
    platform::audio::BufferCaps caps_;
    platform::audio::WaveFormat format_;
    LockRecord lock_;
    platform::audio::HResult result_ = platform::audio::HResult::Ok;
    bool lost_ = false;
};

class TCustomDXSound;

// The device object of a sound component: its rebuild runs the component's Restore.
class TDXSoundDirectSound : public TDirectSound {
public:
    explicit TDXSoundDirectSound(TCustomDXSound& owner) : owner_(owner) {}

protected:
    void DoRestore() override;

private:
    TCustomDXSound& owner_;
};

// A listener's handler: called with the listener object, the sound component and the news.
using TSoundNotifyHandler = void (*)(void* listener, TCustomDXSound& sender, TSoundNotification notification);

class TCustomDXSound : public TComponent {
public:
    using TNotifyEvent = std::function<void(TCustomDXSound& sender)>;

    explicit TCustomDXSound(TComponent* owner);
    ~TCustomDXSound() override;

    void Initialize();
    void Finalize();
    void Restore();
    bool Initialized() const { return initialized_; }

    bool AutoInitialize() const { return autoInitialize_; }
    void SetAutoInitialize(bool value) { autoInitialize_ = value; }
    TDXSoundOptions Options() const { return options_; }
    void SetOptions(TDXSoundOptions value);
    // The options in force on the open device.
    TDXSoundOptions NowOptions() const { return nowOptions_; }

    // Present while initialised.
    TDirectSound* DSound() const { return dsound_.get(); }
    TDirectSoundBuffer* Primary() const { return primary_.get(); }

    void RegisterNotifyEvent(TSoundNotifyHandler handler, void* listener);
    void UnRegisterNotifyEvent(TSoundNotifyHandler handler, void* listener);

    TNotifyEvent OnFinalize;
    TNotifyEvent OnInitialize;
    TNotifyEvent OnInitializing;
    TNotifyEvent OnRestore;

    // The stored properties: AutoInitialize, Options and the four events.
    bool ReadProperty(TPropertyReader& reader) override;

protected:
    virtual void FireFinalize();
    virtual void FireInitialize();
    virtual void FireInitializing();
    virtual void FireRestore();
    void Loaded() override;

private:
    struct Listener {
        TSoundNotifyHandler handler;
        void* object;
        bool operator==(const Listener&) const = default;
    };

    void NotifyEventList(TSoundNotification notification);
    void OpenDevice();
    void AttachToForm();
    void DetachFromForm();
    void CloseDevice();

    bool autoInitialize_ = true;
    bool calledDoInitialize_ = false;
    std::unique_ptr<TDXSoundDirectSound> dsound_;
    platform::TCustomForm* form_ = nullptr;
    bool initialized_ = false;
    bool started_ = false;
    std::vector<Listener> listeners_;
    TDXSoundOptions nowOptions_;
    TDXSoundOptions options_;
    std::unique_ptr<TDirectSoundBuffer> primary_;
    int formHook_ = 0;
};

class TDXSound : public TCustomDXSound {
public:
    using TCustomDXSound::TCustomDXSound;
    std::string_view ClassName() const override { return "TDXSound"; }
};

}  // namespace vek
