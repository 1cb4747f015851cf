// Buffers and voices of a sound device: argument checks, the one-lock-at-a-time rule,
// publishing filled memory to the voices, and the state a duplicate shares or owns.
#include "platform/audio_buffers.hpp"

#include <algorithm>

namespace vek::platform::audio {

namespace {

constexpr std::uint16_t kPcmTag = 1;
constexpr std::uint32_t kFocusFlags = DSBCAPS_STICKYFOCUS | DSBCAPS_GLOBALFOCUS;

std::uint16_t read16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t read32(std::span<const std::uint8_t> b, std::size_t at) {
    return read16(b, at) | (static_cast<std::uint32_t>(read16(b, at + 2)) << 16);
}

bool playable(const WaveFormat& f) {
    const bool channelsOk = f.channels == 1 || f.channels == 2;
    const bool bitsOk = f.bitsPerSample == 8 || f.bitsPerSample == 16;
    const bool rateOk = f.samplesPerSec >= kMinFrequency && f.samplesPerSec <= kMaxFrequency;
    return f.formatTag == kPcmTag && channelsOk && bitsOk && rateOk &&
           f.blockAlign == f.channels * f.bitsPerSample / 8;
}

std::shared_ptr<SampleMemory> silentMemory(const WaveFormat& format, std::uint32_t bytes) {
    auto memory = std::make_shared<SampleMemory>();
    memory->format = format;
    memory->bytes.assign(bytes, format.bitsPerSample == 8 ? 0x80 : 0x00);
    memory->block = decodePcm(memory->bytes, format.bitsPerSample, format.channels);
    return memory;
}

void record(BufferHooks* hooks, int buffer, BufferCall call, std::int64_t value, HResult result) {
    if (hooks) hooks->record(buffer, call, value, result);
}

HResult admit(VoiceBank& bank, BufferCall call) {
    const HResult available = bank.availability();
    if (!succeeded(available)) return available;
    return bank.hooks() ? bank.hooks()->admit(call) : HResult::Ok;
}

}  // namespace

HResult parsePcmFormat(std::span<const std::uint8_t> block, WaveFormat& format) {
    if (block.size() < 16) return HResult::BadFormat;
    WaveFormat parsed;
    parsed.formatTag = read16(block, 0);
    parsed.channels = read16(block, 2);
    parsed.samplesPerSec = read32(block, 4);
    parsed.avgBytesPerSec = read32(block, 8);
    parsed.blockAlign = read16(block, 12);
    parsed.bitsPerSample = read16(block, 14);
    if (!playable(parsed)) return HResult::BadFormat;
    format = parsed;
    return HResult::Ok;
}

// ---- VoiceBank

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

// ---- VoiceBuffer

VoiceBuffer::VoiceBuffer(std::shared_ptr<VoiceBank> bank, std::shared_ptr<SampleMemory> memory,
                         std::uint32_t flags)
    : bank_(std::move(bank)), memory_(std::move(memory)), flags_(flags), id_(bank_->nextBufferId()) {
    slot_ = bank_->acquire(memory_);
    const bool needsFocus = (flags_ & kFocusFlags) == 0;
    bank_->change(slot_, [&](Voice& v) { v.needsFocus = needsFocus; });
    applyStep();
}

VoiceBuffer::~VoiceBuffer() {
    record(bank_->hooks(), id_, BufferCall::Destroy, 0, HResult::Ok);
    bank_->release(slot_);
}

HResult VoiceBuffer::getCaps(BufferCaps& caps) const {
    caps.flags = flags_;
    caps.bufferBytes = static_cast<std::uint32_t>(memory_->bytes.size());
    return HResult::Ok;
}

HResult VoiceBuffer::getFormat(WaveFormat& format) const {
    format = memory_->format;
    return HResult::Ok;
}

HResult VoiceBuffer::refusal(BufferCall call) const {
    const HResult available = bank_->availability();
    if (!succeeded(available)) return available;
    if (bank_->lost(slot_)) return HResult::BufferLost;
    return admit(*bank_, call);
}

HResult VoiceBuffer::answer(BufferCall call, std::int64_t value, HResult result) const {
    record(bank_->hooks(), id_, call, value, result);
    return result;
}

HResult VoiceBuffer::lock(std::uint32_t offset, std::uint32_t bytes, void** part1, std::uint32_t* size1,
                          void** part2, std::uint32_t* size2, std::uint32_t flags) {
    HResult result = refusal(BufferCall::Lock);
    if (succeeded(result)) {
        const auto whole = static_cast<std::uint32_t>(memory_->bytes.size());
        const bool entire = (flags & DSBLOCK_ENTIREBUFFER) != 0;
        result = lockRegion(entire ? 0 : offset, entire ? whole : bytes, part1, size1, part2, size2);
    }
    return answer(BufferCall::Lock, offset, result);
}

// The region starts at offset and runs round the end of the buffer into a second part.
HResult VoiceBuffer::lockRegion(std::uint32_t offset, std::uint32_t bytes, void** part1, std::uint32_t* size1,
                                void** part2, std::uint32_t* size2) {
    const auto whole = static_cast<std::uint32_t>(memory_->bytes.size());
    if (!part1 || !size1 || offset >= whole || bytes == 0 || bytes > whole) return HResult::InvalidParam;
    const std::uint32_t first = std::min(bytes, whole - offset);
    const std::uint32_t second = bytes - first;
    if (second > 0 && (!part2 || !size2)) return HResult::InvalidParam;
    if (memory_->lockedAt) return HResult::InvalidCall;
    *part1 = memory_->bytes.data() + offset;
    *size1 = first;
    if (part2) *part2 = second > 0 ? memory_->bytes.data() : nullptr;
    if (size2) *size2 = second;
    memory_->lockedAt = *part1;
    return HResult::Ok;
}

HResult VoiceBuffer::unlock(void* part1, std::uint32_t, void*, std::uint32_t) {
    HResult result = refusal(BufferCall::Unlock);
    if (succeeded(result) && !memory_->lockedAt) result = HResult::InvalidCall;
    if (succeeded(result) && part1 != memory_->lockedAt) result = HResult::InvalidParam;
    if (succeeded(result)) {
        memory_->lockedAt = nullptr;
        memory_->block = decodePcm(memory_->bytes, memory_->format.bitsPerSample, memory_->format.channels);
        bank_->publish(*memory_);
    }
    return answer(BufferCall::Unlock, 0, result);
}

HResult VoiceBuffer::play(std::uint32_t flags) {
    const HResult result = refusal(BufferCall::Play);
    if (succeeded(result)) {
        const bool looping = (flags & DSBPLAY_LOOPING) != 0;
        bank_->start(slot_, looping);
    }
    return answer(BufferCall::Play, flags, result);
}

HResult VoiceBuffer::stop() {
    const HResult result = refusal(BufferCall::Stop);
    if (succeeded(result)) bank_->stop(slot_);
    return answer(BufferCall::Stop, 0, result);
}

HResult VoiceBuffer::setCurrentPosition(std::uint32_t position) {
    HResult result = refusal(BufferCall::SetCurrentPosition);
    if (succeeded(result) && position >= memory_->bytes.size()) result = HResult::InvalidParam;
    if (succeeded(result)) {
        const std::uint64_t frame = position / memory_->format.blockAlign;
        bank_->change(slot_, [&](Voice& v) { v.position = frame << kFractionBits; });
    }
    return answer(BufferCall::SetCurrentPosition, position, result);
}

// A setting needs its control flag and a value in range.
HResult VoiceBuffer::checkSetting(BufferCall call, std::uint32_t control, bool inRange) const {
    HResult result = refusal(call);
    if (succeeded(result) && !(flags_ & control)) result = HResult::ControlUnavail;
    if (succeeded(result) && !inRange) result = HResult::InvalidParam;
    return result;
}

HResult VoiceBuffer::setFrequency(std::uint32_t frequency) {
    const bool inRange = frequency == 0 || (frequency >= kMinFrequency && frequency <= kMaxFrequency);
    const HResult result = checkSetting(BufferCall::SetFrequency, DSBCAPS_CTRLFREQUENCY, inRange);
    if (succeeded(result)) {
        frequency_ = frequency;
        applyStep();
    }
    return answer(BufferCall::SetFrequency, frequency, result);
}

HResult VoiceBuffer::setPan(std::int32_t pan) {
    const HResult result = checkSetting(BufferCall::SetPan, DSBCAPS_CTRLPAN, pan >= -10000 && pan <= 10000);
    if (succeeded(result)) {
        pan_ = pan;
        applyGains();
    }
    return answer(BufferCall::SetPan, pan, result);
}

HResult VoiceBuffer::setVolume(std::int32_t volume) {
    const HResult result =
        checkSetting(BufferCall::SetVolume, DSBCAPS_CTRLVOLUME, volume >= -10000 && volume <= 0);
    if (succeeded(result)) {
        volume_ = volume;
        applyGains();
    }
    return answer(BufferCall::SetVolume, volume, result);
}

void VoiceBuffer::applyStep() {
    const std::uint32_t rate = frequency_ ? frequency_ : memory_->format.samplesPerSec;
    const std::uint64_t step = stepFor(rate, bank_->outputRate());
    bank_->change(slot_, [&](Voice& v) { v.step = step; });
}

void VoiceBuffer::applyGains() {
    const StereoGains gains = gainsFor(volume_, pan_);
    bank_->change(slot_, [&](Voice& v) {
        v.gainLeft = gains.left;
        v.gainRight = gains.right;
    });
}

HResult VoiceBuffer::getStatus(std::uint32_t& status) {
    status = 0;
    const HResult available = bank_->availability();
    if (!succeeded(available)) return available;
    if (bank_->lost(slot_)) return HResult::BufferLost;
    bank_->change(slot_, [&](Voice& v) {
        if (v.playing) status = DSBSTATUS_PLAYING | (v.looping ? DSBSTATUS_LOOPING : 0);
    });
    return HResult::Ok;
}

std::unique_ptr<VoiceBuffer> VoiceBuffer::duplicate() const {
    auto copy = std::make_unique<VoiceBuffer>(bank_, memory_, flags_);
    copy->frequency_ = frequency_;
    copy->pan_ = pan_;
    copy->volume_ = volume_;
    copy->applyStep();
    copy->applyGains();
    return copy;
}

// ---- PrimaryBuffer

PrimaryBuffer::PrimaryBuffer(std::shared_ptr<VoiceBank> bank, std::uint32_t flags)
    : bank_(std::move(bank)), flags_(flags), id_(bank_->nextBufferId()) {}

HResult PrimaryBuffer::getCaps(BufferCaps& caps) const {
    caps.flags = flags_;
    caps.bufferBytes = 0;
    return HResult::Ok;
}

HResult PrimaryBuffer::getFormat(WaveFormat& format) const {
    const std::uint32_t rate = bank_->outputRate();
    format = WaveFormat{kPcmTag, 2, rate, rate * 4, 4, 16};
    return HResult::Ok;
}

HResult PrimaryBuffer::answer(BufferCall call, std::int64_t value, HResult result) const {
    record(bank_->hooks(), id_, call, value, result);
    return result;
}

HResult PrimaryBuffer::lock(std::uint32_t, std::uint32_t, void**, std::uint32_t*, void**, std::uint32_t*,
                            std::uint32_t) {
    return answer(BufferCall::Lock, 0, HResult::InvalidCall);
}

HResult PrimaryBuffer::unlock(void*, std::uint32_t, void*, std::uint32_t) {
    return answer(BufferCall::Unlock, 0, HResult::InvalidCall);
}

HResult PrimaryBuffer::play(std::uint32_t flags) {
    const HResult result = admit(*bank_, BufferCall::Play);
    if (succeeded(result)) playing_ = true;
    return answer(BufferCall::Play, flags, result);
}

HResult PrimaryBuffer::stop() {
    const HResult result = admit(*bank_, BufferCall::Stop);
    if (succeeded(result)) playing_ = false;
    return answer(BufferCall::Stop, 0, result);
}

HResult PrimaryBuffer::setCurrentPosition(std::uint32_t position) {
    return answer(BufferCall::SetCurrentPosition, position, HResult::InvalidCall);
}

HResult PrimaryBuffer::setFrequency(std::uint32_t frequency) {
    return answer(BufferCall::SetFrequency, frequency, HResult::InvalidCall);
}

HResult PrimaryBuffer::setPan(std::int32_t pan) {
    return answer(BufferCall::SetPan, pan, HResult::InvalidCall);
}

HResult PrimaryBuffer::setVolume(std::int32_t volume) {
    return answer(BufferCall::SetVolume, volume, HResult::InvalidCall);
}

HResult PrimaryBuffer::getStatus(std::uint32_t& status) {
    status = playing_ ? DSBSTATUS_PLAYING | DSBSTATUS_LOOPING : 0;
    return bank_->availability();
}

// ---- VoiceDevice

VoiceDevice::VoiceDevice(std::shared_ptr<VoiceBank> bank) : bank_(std::move(bank)) {}

VoiceDevice::~VoiceDevice() {
    closeBank();
}

HResult VoiceDevice::setCooperativeLevel(Window* window, std::uint32_t level) {
    if (bank_->closed()) return HResult::InvalidCall;
    if (level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY) return HResult::InvalidParam;
    window_ = window;
    level_ = level;
    return HResult::Ok;
}

HResult VoiceDevice::createSoundBuffer(const BufferDescription& description,
                                       std::unique_ptr<SoundBuffer>& buffer) {
    buffer.reset();
    if (!(description.flags & DSBCAPS_PRIMARYBUFFER)) return createSecondary(description, buffer);
    HResult result = admit(*bank_, BufferCall::CreatePrimary);
    if (succeeded(result) && (description.bufferBytes != 0 || !description.format.empty())) {
        result = HResult::InvalidParam;
    }
    int id = 0;
    if (succeeded(result)) {
        auto primary = std::make_unique<PrimaryBuffer>(bank_, description.flags);
        id = primary->id();
        buffer = std::move(primary);
    }
    record(bank_->hooks(), id, BufferCall::CreatePrimary, description.flags, result);
    return result;
}

HResult VoiceDevice::createSecondary(const BufferDescription& description,
                                     std::unique_ptr<SoundBuffer>& buffer) {
    HResult result = admit(*bank_, BufferCall::Create);
    const std::uint32_t bytes = description.bufferBytes;
    if (succeeded(result) && (description.format.empty() || bytes == 0 || bytes > kMaxBufferBytes)) {
        result = HResult::InvalidParam;
    }
    WaveFormat format;
    if (succeeded(result)) result = parsePcmFormat(description.format, format);
    int id = 0;
    if (succeeded(result)) {
        auto created = std::make_unique<VoiceBuffer>(bank_, silentMemory(format, bytes), description.flags);
        id = created->id();
        buffer = std::move(created);
    }
    record(bank_->hooks(), id, BufferCall::Create, bytes, result);
    return result;
}

HResult VoiceDevice::duplicateSoundBuffer(SoundBuffer& original, std::unique_ptr<SoundBuffer>& duplicate) {
    duplicate.reset();
    const HResult available = bank_->availability();
    if (!succeeded(available)) return available;
    auto* source = dynamic_cast<VoiceBuffer*>(&original);
    if (!source)
        return dynamic_cast<PrimaryBuffer*>(&original) ? HResult::InvalidCall : HResult::InvalidParam;
    if (&source->bank() != bank_.get()) return HResult::InvalidParam;
    const HResult result = source->refusal(BufferCall::Duplicate);
    int id = 0;
    if (succeeded(result)) {
        auto copy = source->duplicate();
        id = copy->id();
        duplicate = std::move(copy);
    }
    record(bank_->hooks(), id, BufferCall::Duplicate, source->id(), result);
    return result;
}

}  // namespace vek::platform::audio
