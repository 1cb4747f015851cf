// Buffers of a sound device: argument checks, the one-lock-at-a-time rule, publishing
// filled memory to the voices, and the state a duplicate shares or owns.
#include "platform/audio/sound_buffers.hpp"

#include <algorithm>

namespace vek::platform::audio {

namespace {

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

VoiceBuffer::VoiceBuffer(std::shared_ptr<VoiceBank> bank, std::shared_ptr<SampleMemory> memory,
                         std::uint32_t flags)
    : bank_(std::move(bank)), memory_(std::move(memory)), flags_(flags), id_(bank_->nextBufferId()) {
    slot_ = bank_->acquire(memory_);
    const bool needsFocus = (flags_ & kFocusFlags) == 0;
    bank_->change(slot_, [&](Voice& v) { v.needsFocus = needsFocus; });
    applyStep();
}

VoiceBuffer::~VoiceBuffer() {
    bank_->record(id_, BufferCall::Destroy, 0, HResult::Ok);
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
    return bank_->admit(call);
}

HResult VoiceBuffer::answer(BufferCall call, std::int64_t value, HResult result) const {
    bank_->record(id_, call, value, result);
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
    bank_->record(id_, call, value, result);
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
    const HResult result = bank_->admit(BufferCall::Play);
    if (succeeded(result)) playing_ = true;
    return answer(BufferCall::Play, flags, result);
}

HResult PrimaryBuffer::stop() {
    const HResult result = bank_->admit(BufferCall::Stop);
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

// The primary buffer's volume is the device's master volume over the whole mix.
HResult PrimaryBuffer::setVolume(std::int32_t volume) {
    if (volume > 0 || volume < -10000) return answer(BufferCall::SetVolume, volume, HResult::InvalidParam);
    if (const HResult refused = bank_->admit(BufferCall::SetVolume); !succeeded(refused))
        return answer(BufferCall::SetVolume, volume, refused);
    bank_->setMasterGain(gainFromHundredthsDb(volume));
    return answer(BufferCall::SetVolume, volume, HResult::Ok);
}

HResult PrimaryBuffer::getStatus(std::uint32_t& status) {
    status = playing_ ? DSBSTATUS_PLAYING | DSBSTATUS_LOOPING : 0;
    return bank_->availability();
}

}  // namespace vek::platform::audio
