// Named sounds on the sound device: master buffers built from the waves, pools of play
// buffers that share their samples, and the listener that ties the list to the device.
#include "media/wave_list.hpp"

#include <algorithm>

#include "platform/platform.hpp"

namespace vek {

namespace {
constexpr const char* kWaveNotFound = "Wave '%s' not found";
constexpr std::uint32_t kWaitPollMs = 10;
}  // namespace

TWaveCollectionItem::~TWaveCollectionItem() {
    playBuffers_.clear();
    master_.reset();
}

TWaveCollection* TWaveCollectionItem::WaveCollection() const {
    // Items are only ever made by TWaveCollection::Add.
    return static_cast<TWaveCollection*>(Collection());
}

TDirectSound& TWaveCollectionItem::Device() const {
    auto* collection = WaveCollection();
    auto* device = collection && collection->DXSound() ? collection->DXSound()->DSound() : nullptr;
    if (!device) raiseDirectSoundNotMade();
    return *device;
}

void TWaveCollectionItem::Initialize() {
    Finalize();
    initialized_ = WaveCollection() && WaveCollection()->Initialized();
}

void TWaveCollectionItem::Finalize() {
    if (!initialized_) return;
    initialized_ = false;
    playBuffers_.clear();
    master_.reset();
}

void TWaveCollectionItem::Restore() {
    if (wave_.Size() == 0) return;
    if (!initialized_) {
        if (WaveCollection() && WaveCollection()->Initialized()) Initialize();
        if (!initialized_) return;
    }
    if (!master_) master_ = std::make_unique<TDirectSoundBuffer>(Device());
    master_->LoadFromWave(wave_);
    master_->SetFrequency(frequency_);
    master_->SetPan(pan_);
    master_->SetVolume(volume_);
}

TDirectSoundBuffer* TWaveCollectionItem::MasterBuffer() {
    if (initialized_ && !master_) Restore();
    return master_.get();
}

std::unique_ptr<TDirectSoundBuffer> TWaveCollectionItem::CreatePlayBuffer() {
    auto* master = MasterBuffer();
    if (!master) return nullptr;
    auto buffer = std::make_unique<TDirectSoundBuffer>(Device());
    bool made = buffer->Duplicate(*master);
    // A lost master has just been rebuilt by the restore sequence: duplicate the new one.
    if (!made && buffer->DXResult() == platform::audio::HResult::BufferLost)
        made = buffer->Duplicate(*master);
    // No output device just now (unplugged): nothing can sound, and nothing is wrong with
    // the list; the device answers again once an output is back.
    if (!made && buffer->DXResult() == platform::audio::HResult::NoDriver) return nullptr;
    // A buffer the device refused to duplicate has nothing to play and is not kept.
    if (!made) raiseSoundBufferNotMade();
    return buffer;
}

// The first free buffer where it stands; else a new one while the pool may grow; else the
// head of the pool, moved to the end and cut off.
TDirectSoundBuffer* TWaveCollectionItem::ChoosePlayBuffer() {
    for (std::size_t i = 0; i < playBuffers_.size();) {
        auto& buffer = *playBuffers_[i];
        if (buffer.Playing()) {
            ++i;
        } else if (buffer.Lost()) {
            // Its samples were taken away and the master rebuilt: it would play nothing
            // forever while always looking free. Drop it so a fresh copy takes its place.
            playBuffers_.erase(playBuffers_.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            return &buffer;
        }
    }
    if (maxPlayingCount_ == 0 || PlayBufferCount() < maxPlayingCount_) {
        auto buffer = CreatePlayBuffer();
        if (!buffer) return nullptr;
        playBuffers_.push_back(std::move(buffer));
        return playBuffers_.back().get();
    }
    std::rotate(playBuffers_.begin(), playBuffers_.begin() + 1, playBuffers_.end());
    return playBuffers_.back().get();
}

void TWaveCollectionItem::PlayLooped() {
    auto* master = MasterBuffer();
    if (!master) return;
    master->Stop();
    master->SetCurrentPosition(0);
    master->Play(true);
}

void TWaveCollectionItem::Play(bool wait) {
    if (!initialized_) return;
    if (looped_) {
        PlayLooped();
        return;
    }
    auto* buffer = ChoosePlayBuffer();
    if (!buffer) return;
    buffer->Stop();
    buffer->SetCurrentPosition(0);
    buffer->SetFrequency(frequency_);
    buffer->SetPan(pan_);
    buffer->SetVolume(volume_);
    buffer->Play(false);
    if (!wait) return;
    auto& clock = platform::current().clock();
    while (buffer->Playing()) clock.sleep(kWaitPollMs);
}

void TWaveCollectionItem::Stop() {
    if (!initialized_) return;
    if (master_ && master_->HasInterface()) master_->Stop();
    for (auto& buffer : playBuffers_) buffer->Stop();
}

void TWaveCollectionItem::SetLooped(bool value) {
    if (value == looped_) return;
    Stop();
    looped_ = value;
}

void TWaveCollectionItem::SetMaxPlayingCount(std::int32_t value) {
    value = std::max(value, 0);
    if (value == maxPlayingCount_) return;
    maxPlayingCount_ = value;
    if (initialized_) playBuffers_.clear();
}

void TWaveCollectionItem::Assign(const TWaveCollectionItem& source) {
    if (&source == this) return;
    const bool wasInitialized = initialized_;
    Finalize();
    looped_ = source.looped_;
    SetName(source.Name());
    maxPlayingCount_ = source.maxPlayingCount_;
    frequency_ = source.frequency_;
    pan_ = source.pan_;
    volume_ = source.volume_;
    wave_.Assign(&source.wave_);
    if (wasInitialized) Restore();
}

TWaveCollection::~TWaveCollection() {
    // Items go while this collection is still whole.
    Clear();
}

TWaveCollectionItem& TWaveCollection::Add() {
    return static_cast<TWaveCollectionItem&>(AddItem(std::make_unique<TWaveCollectionItem>()));
}

TWaveCollectionItem& TWaveCollection::Items(int index) const {
    return static_cast<TWaveCollectionItem&>(Item(index));
}

TWaveCollectionItem& TWaveCollection::Find(std::string_view name) const {
    auto* item = IndexOf(name);
    if (!item) throw EWaveCollectionError(formatMessage(kWaveNotFound, name));
    return static_cast<TWaveCollectionItem&>(*item);
}

void TWaveCollection::Initialize(TCustomDXSound& sound) {
    Finalize();
    dxSound_ = &sound;
    for (int i = 0; i < Count(); ++i) Items(i).Initialize();
}

void TWaveCollection::Finalize() {
    for (int i = 0; i < Count(); ++i) Items(i).Finalize();
    dxSound_ = nullptr;
}

void TWaveCollection::Restore() {
    for (int i = 0; i < Count(); ++i) Items(i).Restore();
}

bool TWaveCollection::Initialized() const {
    return dxSound_ && dxSound_->Initialized();
}

bool TWaveCollectionItem::ReadProperty(TPropertyReader& reader) {
    using I = TWaveCollectionItem;
    using R = TPropertyReader;
    static constexpr TPropertyEntry<I> kProperties[] = {
        {"Name", [](I& i, R& r) { i.SetName(r.ReadString()); }},
        {"Looped", [](I& i, R& r) { i.SetLooped(r.ReadBoolean()); }},
        {"MaxPlayingCount",
         [](I& i, R& r) { i.SetMaxPlayingCount(static_cast<std::int32_t>(r.ReadInteger(0, 0x7FFFFFFF))); }},
        {"WAVE",
         [](I& i, R& r) {
             TSpanStream data(r.ReadBinary());
             i.wave_.LoadFromStream(data);
         }},
    };
    return ReadPropertyFrom<I>(kProperties, *this, reader);
}

bool TCustomDXWaveList::ReadProperty(TPropertyReader& reader) {
    using L = TCustomDXWaveList;
    using R = TPropertyReader;
    static constexpr TPropertyEntry<L> kProperties[] = {
        {"DXSound",
         [](L& l, R& r) {
             l.ReadReference<TCustomDXSound>(r, [self = &l](TCustomDXSound* s) { self->SetDXSound(s); });
         }},
        {"Items",
         [](L& l, R& r) {
             l.items_->Clear();
             ReadCollectionItems(r, [&l]() -> TWaveCollectionItem& { return l.items_->Add(); });
         }},
    };
    return ReadPropertyFrom<L>(kProperties, *this, reader);
}

TCustomDXWaveList::TCustomDXWaveList(TComponent* owner)
    : TComponent(owner), items_(std::make_unique<TWaveCollection>()) {}

TCustomDXWaveList::~TCustomDXWaveList() {
    try {
        SetDXSound(nullptr);
    } catch (...) {
        // Leaving the device only drops buffers; nothing worth reporting from a destructor.
    }
}

void TCustomDXWaveList::SetDXSound(TCustomDXSound* sound) {
    if (dxSound_) dxSound_->UnRegisterNotifyEvent(&SoundNotify, this);
    dxSound_ = sound;
    if (dxSound_) dxSound_->RegisterNotifyEvent(&SoundNotify, this);
}

void TCustomDXWaveList::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    // By now the sound component has told us it is going; only the reference is left.
    if (operation == TOperation::opRemove && component == dxSound_) dxSound_ = nullptr;
}

void TCustomDXWaveList::SoundNotify(void* self, TCustomDXSound& sender, TSoundNotification notification) {
    static_cast<TCustomDXWaveList*>(self)->DXSoundNotify(sender, notification);
}

void TCustomDXWaveList::DXSoundNotify(TCustomDXSound& sender, TSoundNotification notification) {
    switch (notification) {
        case snDestroying:
            SetDXSound(nullptr);
            break;
        case snInitializing:
            break;
        case snInitialize:
            items_->Initialize(sender);
            break;
        case snFinalize:
            items_->Finalize();
            break;
        case snRestore:
            items_->Restore();
            break;
    }
}

}  // namespace vek
