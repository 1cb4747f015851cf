// The wave list component: named sounds, each with one master buffer holding its samples
// and a pool of play buffers over those samples for copies that overlap. It follows the
// sound component it listens to, building and dropping buffers as the device comes and goes.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "media/dxsound.hpp"
#include "media/wave.hpp"
#include "runtime/component.hpp"
#include "runtime/exception.hpp"
#include "runtime/hash_collection.hpp"

namespace vek {

VEK_DECLARE_ERROR(EWaveCollectionError, Exception);

class TWaveCollection;

class TWaveCollectionItem : public THashCollectionItem {
public:
    TWaveCollectionItem() = default;
    ~TWaveCollectionItem() override;

    // Starts the sound; with wait, returns once it has finished (not for a looped sound).
    void Play(bool wait);
    void Stop();
    void Initialize();
    void Finalize();
    void Restore();
    // Copies the settings, name and wave of source; a target that was initialised is
    // rebuilt afterwards.
    void Assign(const TWaveCollectionItem& source);

    bool Initialized() const { return initialized_; }
    TWaveCollection* WaveCollection() const;

    // The stored properties: Name, Looped, MaxPlayingCount and WAVE (RIFF WAVE data).
    bool ReadProperty(TPropertyReader& reader);

    bool Looped() const { return looped_; }
    void SetLooped(bool value);
    std::int32_t MaxPlayingCount() const { return maxPlayingCount_; }
    void SetMaxPlayingCount(std::int32_t value);
    // Frequency, pan and volume reach the buffers at the next Restore or Play.
    std::int32_t Frequency() const { return frequency_; }
    void SetFrequency(std::int32_t value) { frequency_ = value; }
    std::int32_t Pan() const { return pan_; }
    void SetPan(std::int32_t value) { pan_ = value; }
    std::int32_t Volume() const { return volume_; }
    void SetVolume(std::int32_t value) { volume_ = value; }
    TWave& Wave() { return wave_; }
    const TWave& Wave() const { return wave_; }
    void SetWave(const TWave& wave) { wave_.Assign(&wave); }

    // The master buffer, built first if the item is initialised and has none; null for
    // an empty wave.
    TDirectSoundBuffer* MasterBuffer();
    int PlayBufferCount() const { return static_cast<int>(playBuffers_.size()); }
    TDirectSoundBuffer& PlayBuffers(int index) const {
        return *playBuffers_.at(static_cast<std::size_t>(index));
    }

private:
    TDirectSound& Device() const;
    std::unique_ptr<TDirectSoundBuffer> CreatePlayBuffer();
    TDirectSoundBuffer* ChoosePlayBuffer();
    void PlayLooped();

    std::unique_ptr<TDirectSoundBuffer> master_;
    std::vector<std::unique_ptr<TDirectSoundBuffer>> playBuffers_;
    std::int32_t frequency_ = 0;
    bool initialized_ = false;
    bool looped_ = false;
    std::int32_t maxPlayingCount_ = 0;
    std::int32_t pan_ = 0;
    std::int32_t volume_ = 0;
    TWave wave_;
};

class TWaveCollection : public THashCollection {
public:
    TWaveCollection() = default;
    ~TWaveCollection() override;

    TWaveCollectionItem& Add();
    TWaveCollectionItem& Items(int index) const;
    // EWaveCollectionError "Wave '<name>' not found" when no item carries the name.
    TWaveCollectionItem& Find(std::string_view name) const;

    void Initialize(TCustomDXSound& sound);
    void Finalize();
    void Restore();
    // It has a sound component, and that component is initialised.
    bool Initialized() const;
    TCustomDXSound* DXSound() const { return dxSound_; }

private:
    TCustomDXSound* dxSound_ = nullptr;
};

class TCustomDXWaveList : public TComponent {
public:
    explicit TCustomDXWaveList(TComponent* owner);
    ~TCustomDXWaveList() override;

    TCustomDXSound* DXSound() const { return dxSound_; }
    // Leaves the old sound component's listeners and joins the new one's.
    void SetDXSound(TCustomDXSound* sound);
    TWaveCollection& Items() { return *items_; }
    const TWaveCollection& Items() const { return *items_; }

    // The stored properties: DXSound and the Items collection.
    bool ReadProperty(TPropertyReader& reader) override;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    static void SoundNotify(void* self, TCustomDXSound& sender, TSoundNotification notification);
    void DXSoundNotify(TCustomDXSound& sender, TSoundNotification notification);

    TCustomDXSound* dxSound_ = nullptr;
    std::unique_ptr<TWaveCollection> items_;
};

class TDXWaveList : public TCustomDXWaveList {
public:
    using TCustomDXWaveList::TCustomDXWaveList;
    std::string_view ClassName() const override { return "TDXWaveList"; }
};

}  // namespace vek
