// The sound device component, the device object and its buffers. Platform results are
// recorded; errors are raised only where opening or building a buffer fails.
#include "media/dxsound.hpp"

#include <algorithm>
#include <cstring>
#include <exception>

#include "media/wave.hpp"
#include "platform/platform.hpp"
#include "platform/toolkit/form.hpp"

namespace vek {

namespace audio = platform::audio;

namespace {

constexpr const char* kCannotBeInitialized = "%s cannot be initialized";
constexpr const char* kCannotBeMade = "%s cannot be made";
constexpr const char* kCannotBeLocked = "%s cannot be locked";
constexpr const char* kSoundNotMade = "%s not made";

// Runs every step even when an earlier one fails, then raises the first failure.
template <typename... Steps>
void runEach(Steps&&... steps) {
    std::exception_ptr first;
    auto run = [&first](auto& step) {
        try {
            step();
        } catch (...) {
            if (!first) first = std::current_exception();
        }
    };
    (run(steps), ...);
    if (first) std::rethrow_exception(first);
}

std::uint32_t bufferFlags(const TDirectSound& device) {
    std::uint32_t flags = audio::DSBCAPS_CTRLFREQUENCY | audio::DSBCAPS_CTRLPAN | audio::DSBCAPS_CTRLVOLUME;
    if (device.StickyFocus())
        flags |= audio::DSBCAPS_STICKYFOCUS;
    else if (device.GlobalFocus())
        flags |= audio::DSBCAPS_GLOBALFOCUS;
    return flags;
}

// Copies the samples into the one or two regions a lock handed out, never past either.
void copyIntoRegions(const TWave& wave, void* part1, std::uint32_t size1, void* part2, std::uint32_t size2) {
    const auto total = static_cast<std::uint32_t>(wave.Size());
    const auto first = std::min(total, size1);
    if (part1 && first > 0) std::memcpy(part1, wave.Data(), first);
    const auto second = std::min(total - first, size2);
    if (part2 && second > 0) std::memcpy(part2, wave.Data() + first, second);
}

}  // namespace

void raiseDirectSoundNotMade() {
    throw EDirectSoundError(formatMessage(kSoundNotMade, "IDirectSound"));
}

void raiseSoundBufferNotMade() {
    throw EDirectSoundBufferError(formatMessage(kSoundNotMade, "IDirectSoundBuffer"));
}

TDirectSound::TDirectSound() {
    result_ = platform::current().audio().directSoundCreate(device_);
    if (!audio::succeeded(result_) || !device_)
        throw EDirectSoundError(formatMessage(kCannotBeInitialized, "DirectSound"));
}

TDirectSound::~TDirectSound() {
    // Buffer objects belong to whoever made them; those still here lose their platform
    // buffers now, last first, so that every buffer is released before its device.
    while (!buffers_.empty()) {
        buffers_.back()->Detach();
        buffers_.pop_back();
    }
    device_.reset();
}

audio::SoundDevice& TDirectSound::IDirectSound() {
    if (!device_) raiseDirectSoundNotMade();
    return *device_;
}

bool TDirectSound::Check(audio::HResult result) {
    result_ = result;
    return audio::succeeded(result);
}

void TDirectSound::BufferLost() {
    if (restoring_) return;
    restoring_ = true;
    try {
        DoRestore();
    } catch (...) {
        restoring_ = false;
        throw;
    }
    restoring_ = false;
}

TDirectSoundBuffer::TDirectSoundBuffer(TDirectSound& directSound) : dsound_(&directSound) {
    dsound_->buffers_.push_back(this);
}

TDirectSoundBuffer::~TDirectSoundBuffer() {
    buffer_.reset();
    if (dsound_) std::erase(dsound_->buffers_, this);
}

void TDirectSoundBuffer::Detach() {
    Release();
    dsound_ = nullptr;
}

audio::SoundBuffer& TDirectSoundBuffer::IBuffer() {
    if (!buffer_) raiseSoundBufferNotMade();
    return *buffer_;
}

bool TDirectSoundBuffer::Check(audio::HResult result) {
    result_ = result;
    const bool ok = audio::succeeded(result);
    if (result == audio::HResult::BufferLost) {
        lost_ = true;
        if (dsound_) dsound_->BufferLost();
    }
    return ok;
}

void TDirectSoundBuffer::Attach(std::unique_ptr<audio::SoundBuffer> buffer) {
    Release();
    buffer_ = std::move(buffer);
    lost_ = false;
    buffer_->getCaps(caps_);
    buffer_->getFormat(format_);
}

void TDirectSoundBuffer::Release() {
    buffer_.reset();
    caps_ = {};
    format_ = {};
    lock_ = {};
}

audio::SoundDevice& TDirectSoundBuffer::Device() {
    if (!dsound_) raiseDirectSoundNotMade();
    return dsound_->IDirectSound();
}

bool TDirectSoundBuffer::Adopt(audio::HResult result, std::unique_ptr<audio::SoundBuffer>& made) {
    if (!Check(result) || !made) return false;
    Attach(std::move(made));
    return true;
}

bool TDirectSoundBuffer::CreateBuffer(const audio::BufferDescription& description) {
    std::unique_ptr<audio::SoundBuffer> made;
    const auto result = Device().createSoundBuffer(description, made);
    return Adopt(result, made);
}

bool TDirectSoundBuffer::Duplicate(TDirectSoundBuffer& source) {
    std::unique_ptr<audio::SoundBuffer> made;
    const auto result = Device().duplicateSoundBuffer(source.IBuffer(), made);
    return Adopt(result, made);
}

void TDirectSoundBuffer::LoadFromWave(const TWave& wave) {
    audio::BufferDescription description;
    description.flags = dsound_ ? bufferFlags(*dsound_) : 0;
    description.bufferBytes = static_cast<std::uint32_t>(wave.Size());
    description.format = wave.Format();
    if (!CreateBuffer(description))
        throw EDirectSoundBufferError(formatMessage(kCannotBeMade, "Sound Buffer"));
    if (wave.Size() <= 0) return;
    void* part1 = nullptr;
    void* part2 = nullptr;
    std::uint32_t size1 = 0;
    std::uint32_t size2 = 0;
    if (!Lock(0, description.bufferBytes, &part1, &size1, &part2, &size2, 0)) {
        Release();
        throw EDirectSoundBufferError(formatMessage(kCannotBeLocked, "Sound Buffer"));
    }
    copyIntoRegions(wave, part1, size1, part2, size2);
    Unlock();
}

bool TDirectSoundBuffer::Lock(std::uint32_t offset, std::uint32_t bytes, void** part1, std::uint32_t* size1,
                              void** part2, std::uint32_t* size2, std::uint32_t flags) {
    if (lock_.locked) return Check(audio::HResult::InvalidCall);
    if (!Check(IBuffer().lock(offset, bytes, part1, size1, part2, size2, flags))) return false;
    lock_ = {true, part1 ? *part1 : nullptr, size1 ? *size1 : 0, part2 ? *part2 : nullptr,
             size2 ? *size2 : 0};
    return true;
}

bool TDirectSoundBuffer::Unlock() {
    if (!lock_.locked) return Check(audio::HResult::InvalidCall);
    const auto record = lock_;
    lock_ = {};
    return Check(IBuffer().unlock(record.part1, record.size1, record.part2, record.size2));
}

bool TDirectSoundBuffer::Play(bool looping) {
    return Check(IBuffer().play(looping ? audio::DSBPLAY_LOOPING : 0));
}

bool TDirectSoundBuffer::Stop() {
    return Check(IBuffer().stop());
}

bool TDirectSoundBuffer::SetCurrentPosition(std::uint32_t position) {
    return Check(IBuffer().setCurrentPosition(position));
}

bool TDirectSoundBuffer::SetFrequency(std::int32_t frequency) {
    return Check(IBuffer().setFrequency(static_cast<std::uint32_t>(frequency)));
}

bool TDirectSoundBuffer::SetPan(std::int32_t pan) {
    return Check(IBuffer().setPan(pan));
}

bool TDirectSoundBuffer::SetVolume(std::int32_t volume) {
    return Check(IBuffer().setVolume(volume));
}

std::uint32_t TDirectSoundBuffer::Status() {
    std::uint32_t status = 0;
    if (!Check(IBuffer().getStatus(status))) return 0;
    return status;
}

bool TDirectSoundBuffer::Playing() {
    return (Status() & (audio::DSBSTATUS_PLAYING | audio::DSBSTATUS_LOOPING)) != 0;
}

void TDXSoundDirectSound::DoRestore() {
    owner_.Restore();
}

TCustomDXSound::TCustomDXSound(TComponent* owner) : TComponent(owner) {}

TCustomDXSound::~TCustomDXSound() {
    try {
        Finalize();
    } catch (...) {
        // A destructor cannot report; the device is closed either way.
    }
    NotifyEventList(snDestroying);
}

void TCustomDXSound::Initialize() {
    Finalize();
    form_ = OwnerForm();
    if (!form_) throw EDXSoundError(kFormNotFound);
    NotifyEventList(snInitializing);
    FireInitializing();
    started_ = true;
    try {
        OpenDevice();
    } catch (...) {
        try {
            Finalize();
        } catch (...) {
            // The failure to open is the one to report.
        }
        throw;
    }
    NotifyEventList(snInitialize);
    calledDoInitialize_ = true;
    FireInitialize();
    Restore();
}

void TCustomDXSound::OpenDevice() {
    dsound_ = std::make_unique<TDXSoundDirectSound>(*this);
    dsound_->SetGlobalFocus(nowOptions_.Contains(soGlobalFocus));
    dsound_->SetStickyFocus(nowOptions_.Contains(soStickyFocus));
    primary_ = std::make_unique<TDirectSoundBuffer>(*dsound_);
    audio::BufferDescription description;
    description.flags = audio::DSBCAPS_PRIMARYBUFFER;
    if (!primary_->CreateBuffer(description))
        throw EDXSoundError(formatMessage(kCannotBeMade, "Primary Buffer"));
    initialized_ = true;
    AttachToForm();
}

void TCustomDXSound::AttachToForm() {
    DetachFromForm();
    formHook_ = form_->HookMessages([this](platform::FormMessage message) {
        if (message == platform::FormMessage::HandleCreated) AttachToForm();
    });
    const auto level = nowOptions_.Contains(soExclusive) ? audio::DSSCL_EXCLUSIVE : audio::DSSCL_NORMAL;
    dsound_->Check(dsound_->IDirectSound().setCooperativeLevel(form_->Handle(), level));
}

void TCustomDXSound::DetachFromForm() {
    if (form_ && formHook_ != 0) form_->UnhookMessages(formHook_);
    formHook_ = 0;
}

void TCustomDXSound::Finalize() {
    if (!started_) return;
    runEach([this] { DetachFromForm(); },
            [this] {
                if (!calledDoInitialize_) return;
                calledDoInitialize_ = false;
                FireFinalize();
            },
            [this] { NotifyEventList(snFinalize); }, [this] { CloseDevice(); });
}

void TCustomDXSound::CloseDevice() {
    initialized_ = false;
    started_ = false;
    nowOptions_ = options_;
    primary_.reset();
    dsound_.reset();
}

void TCustomDXSound::Restore() {
    if (!initialized_) return;
    NotifyEventList(snRestore);
    FireRestore();
}

void TCustomDXSound::SetOptions(TDXSoundOptions value) {
    options_ = value;
    if (!initialized_) {
        nowOptions_ = value;
        return;
    }
    // Exclusivity is settled when the device opens.
    nowOptions_ = value.With(soExclusive, nowOptions_.Contains(soExclusive));
    dsound_->SetGlobalFocus(nowOptions_.Contains(soGlobalFocus));
    dsound_->SetStickyFocus(nowOptions_.Contains(soStickyFocus));
}

void TCustomDXSound::RegisterNotifyEvent(TSoundNotifyHandler handler, void* listener) {
    const Listener entry{handler, listener};
    if (auto it = std::find(listeners_.begin(), listeners_.end(), entry); it != listeners_.end())
        listeners_.erase(it);
    listeners_.push_back(entry);
    if (!initialized_) return;
    handler(listener, *this, snInitialize);
    handler(listener, *this, snRestore);
}

void TCustomDXSound::UnRegisterNotifyEvent(TSoundNotifyHandler handler, void* listener) {
    const Listener entry{handler, listener};
    const auto it = std::find(listeners_.begin(), listeners_.end(), entry);
    if (it == listeners_.end()) return;
    listeners_.erase(it);
    if (initialized_) handler(listener, *this, snFinalize);
}

void TCustomDXSound::NotifyEventList(TSoundNotification notification) {
    // Listeners may register or leave while they are told; each one still registered
    // when its turn comes hears the news once, the last registered first.
    const auto snapshot = listeners_;
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it)
        if (std::find(listeners_.begin(), listeners_.end(), *it) != listeners_.end())
            it->handler(it->object, *this, notification);
}

bool TCustomDXSound::ReadProperty(TPropertyReader& reader) {
    using S = TCustomDXSound;
    using R = TPropertyReader;
    static constexpr std::array<std::string_view, 3> kOptionNames{"soGlobalFocus", "soStickyFocus",
                                                                  "soExclusive"};
    static constexpr TPropertyEntry<S> kProperties[] = {
        {"AutoInitialize", [](S& s, R& r) { s.SetAutoInitialize(r.ReadBoolean()); }},
        {"Options",
         [](S& s, R& r) {
             const std::uint64_t mask = r.ReadSet(kOptionNames);
             TDXSoundOptions options;
             for (int o = soGlobalFocus; o <= soExclusive; ++o)
                 options = options.With(static_cast<TDXSoundOption>(o), (mask >> o) & 1);
             s.SetOptions(options);
         }},
        {"OnFinalize", [](S& s, R& r) { s.ReadEvent(r, s.OnFinalize); }},
        {"OnInitialize", [](S& s, R& r) { s.ReadEvent(r, s.OnInitialize); }},
        {"OnInitializing", [](S& s, R& r) { s.ReadEvent(r, s.OnInitializing); }},
        {"OnRestore", [](S& s, R& r) { s.ReadEvent(r, s.OnRestore); }},
    };
    return ReadPropertyFrom<S>(kProperties, *this, reader);
}

void TCustomDXSound::Loaded() {
    TComponent::Loaded();
    if (!autoInitialize_) return;
    try {
        Initialize();
    } catch (const EDirectSoundError&) {
        // No sound device: the program runs without sound.
    }
}

void TCustomDXSound::FireFinalize() {
    if (OnFinalize) OnFinalize(*this);
}

void TCustomDXSound::FireInitialize() {
    if (OnInitialize) OnInitialize(*this);
}

void TCustomDXSound::FireInitializing() {
    if (OnInitializing) OnInitializing(*this);
}

void TCustomDXSound::FireRestore() {
    if (OnRestore) OnRestore(*this);
}

}  // namespace vek
