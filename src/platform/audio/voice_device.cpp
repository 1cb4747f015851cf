// Creating and duplicating buffers on a device's voice bank.
#include "platform/audio/voice_device.hpp"

namespace vek::platform::audio {

namespace {

std::shared_ptr<SampleMemory> silentMemory(const WaveFormat& format, std::uint32_t bytes) {
    auto memory = std::make_shared<SampleMemory>();
    memory->format = format;
    memory->bytes.assign(bytes, format.bitsPerSample == 8 ? 0x80 : 0x00);
    memory->block = decodePcm(memory->bytes, format.bitsPerSample, format.channels);
    return memory;
}

}  // namespace

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
    HResult result = bank_->admit(BufferCall::CreatePrimary);
    if (succeeded(result) && (description.bufferBytes != 0 || !description.format.empty())) {
        result = HResult::InvalidParam;
    }
    int id = 0;
    if (succeeded(result)) {
        auto primary = std::make_unique<PrimaryBuffer>(bank_, description.flags);
        id = primary->id();
        buffer = std::move(primary);
    }
    bank_->record(id, BufferCall::CreatePrimary, description.flags, result);
    return result;
}

HResult VoiceDevice::createSecondary(const BufferDescription& description,
                                     std::unique_ptr<SoundBuffer>& buffer) {
    HResult result = bank_->admit(BufferCall::Create);
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
    bank_->record(id, BufferCall::Create, bytes, result);
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
    bank_->record(id, BufferCall::Duplicate, source->id(), result);
    return result;
}

}  // namespace vek::platform::audio
