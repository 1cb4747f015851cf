// The voice table of a sound device, shared by the SDL and headless devices: the voices the
// mixer reads, the slots that buffers hold in it, the memory a buffer shares with its
// duplicates, and the availability and hooks every buffer call goes through. A device
// supplies the guard against its mixing thread and, optionally, hooks that watch and refuse
// calls (the headless device's log and failure switches).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "platform/audio.hpp"
#include "platform/audio/mixer.hpp"

namespace vek::platform::audio {

// The calls a device's buffers answer; names them in logs and failure switches.
enum class BufferCall {
    CreatePrimary,
    Create,
    Duplicate,
    Lock,
    Unlock,
    Play,
    Stop,
    SetCurrentPosition,
    SetFrequency,
    SetPan,
    SetVolume,
    Destroy,
};

// Frequencies a buffer accepts besides 0 (the wave's own rate).
inline constexpr std::uint32_t kMinFrequency = 100;
inline constexpr std::uint32_t kMaxFrequency = 100000;
// Largest buffer a device creates, in bytes.
inline constexpr std::uint32_t kMaxBufferBytes = 0x0FFFFFFF;

// Guards the voices against the thread that mixes them.
class MixGuard {
public:
    virtual ~MixGuard() = default;
    virtual void lock() = 0;
    virtual void unlock() = 0;
};

class BufferHooks {
public:
    virtual ~BufferHooks() = default;
    // Any code but Ok refuses the call with that code before it acts.
    virtual HResult admit(BufferCall) { return HResult::Ok; }
    // Called once a call has been answered; value is its argument (see VoiceBuffer).
    virtual void record(int, BufferCall, std::int64_t, HResult) {}
};

// Memory shared by a buffer and its duplicates: the bytes a lock hands out and the
// immutable samples published from them at every unlock.
struct SampleMemory {
    WaveFormat format;
    std::vector<std::uint8_t> bytes;
    std::shared_ptr<const SampleBlock> block;
    void* lockedAt = nullptr;
};

// The voices of one device. Buffers share it with their device, so a buffer that
// outlives the device finds it closed and answers InvalidCall.
class VoiceBank {
public:
    VoiceBank(std::uint32_t outputRate, MixGuard* guard, BufferHooks* hooks);

    std::uint32_t outputRate() const { return outputRate_; }
    bool closed() const { return closed_; }
    BufferHooks* hooks() const { return hooks_; }
    // Whether a call may act now: availability first, then the hooks.
    HResult admit(BufferCall call);
    // Tells the hooks how a call was answered.
    void record(int buffer, BufferCall call, std::int64_t value, HResult result) const {
        if (hooks_) hooks_->record(buffer, call, value, result);
    }
    int nextBufferId() { return nextId_++; }

    // For the mixing thread, which holds the guard already: mixes every voice into output.
    void mixGuarded(std::span<std::int16_t> output);
    // Every sounding voice glides out; buffer calls fail from now on.
    void close();
    // Forgets the guard, hooks and reconnection once nothing mixes the bank any more.
    void detach();
    // Whether any voice still sounds, a glide included.
    bool sounding();
    // The output went away (a device unplugged): every voice stops, and buffer calls and
    // creations answer NoDriver until an output is back, so no voice seems to play for ever.
    void disconnect();
    // An output device may be there again (from any thread): the next call tries to reconnect.
    void outputAdded() { outputAdded_ = true; }
    // How the device gets an output again, run on the caller's thread by that next call;
    // answers whether the mix reaches an output again. Without one, reconnecting succeeds.
    void setReconnect(std::function<bool()> reconnect) { reconnect_ = std::move(reconnect); }
    // Ok, InvalidCall once closed, or NoDriver while disconnected (after trying to reconnect
    // when an output was added since).
    HResult availability();
    // Every existing buffer loses its memory: it stops and answers BufferLost from then on.
    void loseAll();
    // Buffers without a focus flag are heard only while the owner window has the focus.
    void setOwnerFocused(bool focused) { ownerFocused_ = focused; }
    bool ownerFocused() const { return ownerFocused_; }
    // The master volume over the whole output, 0 to 1 (the primary buffer's volume).
    void setMasterGain(float gain) {
        Locked locked(guard_);
        mix_.masterGain = gain;
    }

    int acquire(const std::shared_ptr<SampleMemory>& memory);
    // The buffer is gone; what its voice was sounding glides out.
    void release(int slot);
    // Starts the slot's voice, or changes its looping while it plays.
    void start(int slot, bool looping);
    // Stops the slot's voice at once; what it was sounding glides out in a glide voice.
    void stop(int slot);
    bool lost(int slot) const { return slots_[slot].lost; }
    // How many buffers' voices are playing (glides left by stopped buffers not counted).
    int playingCount();
    // Runs change on the slot's voice under the guard.
    template <class Change>
    void change(int slot, Change&& change) {
        Locked locked(guard_);
        change(voices_[slot]);
    }
    // Hands the memory's newly published samples to every voice that plays it.
    void publish(const SampleMemory& memory);

private:
    struct Slot {
        const SampleMemory* memory = nullptr;
        bool used = false;
        bool lost = false;
    };
    class Locked {
    public:
        explicit Locked(MixGuard* guard) : guard_(guard) {
            if (guard_) guard_->lock();
        }
        ~Locked() {
            if (guard_) guard_->unlock();
        }
        Locked(const Locked&) = delete;
        Locked& operator=(const Locked&) = delete;

    private:
        MixGuard* guard_;
    };

    // The first entries of the voice table play out the glides of cut-off sounds; no buffer
    // owns them, so a cut-off buffer is free at once and glides never need new memory.
    static constexpr std::size_t kGlideVoices = 32;
    static constexpr auto kGlideSlots = static_cast<std::ptrdiff_t>(kGlideVoices);

    void glideOut(std::size_t slot);

    std::uint32_t outputRate_;
    MixGuard* guard_;
    BufferHooks* hooks_;
    bool closed_ = false;
    std::atomic<bool> disconnected_{false};
    std::atomic<bool> outputAdded_{false};
    std::function<bool()> reconnect_;
    std::atomic<bool> ownerFocused_{true};
    int nextId_ = 1;
    std::vector<Voice> voices_;
    std::vector<Slot> slots_;
    MixState mix_;
};

}  // namespace vek::platform::audio
