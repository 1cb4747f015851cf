// The sound device component on the headless sound service: opening and its failures,
// listeners and events in order, options and cooperation, buffers and the lost-buffer
// restore sequence.
#include "media/dxsound.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "media/sound_fixture.hpp"
#include "platform/toolkit/form.hpp"

namespace vek {
namespace {

using testing::errorOf;

using platform::audio::BufferCall;
using platform::audio::HResult;

// Writes what it hears into a shared journal as "<name>:<notification>".
struct Recorder {
    std::string name;
    std::vector<std::string>* journal;

    static void Handle(void* self, TCustomDXSound&, TSoundNotification n) {
        static const char* const kNames[] = {"destroying", "initializing", "initialize", "finalize",
                                             "restore"};
        auto* r = static_cast<Recorder*>(self);
        r->journal->push_back(r->name + ":" + kNames[n]);
    }
};

class DXSoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        sound->OnInitializing = [this](TCustomDXSound&) { journal.push_back("OnInitializing"); };
        sound->OnInitialize = [this](TCustomDXSound&) { journal.push_back("OnInitialize"); };
        sound->OnRestore = [this](TCustomDXSound&) { journal.push_back("OnRestore"); };
        sound->OnFinalize = [this](TCustomDXSound&) { journal.push_back("OnFinalize"); };
    }
    void listen(Recorder& r) { sound->RegisterNotifyEvent(&Recorder::Handle, &r); }

    testing::SoundTestPlatform platform;
    platform::TCustomForm form{nullptr};
    std::vector<std::string> journal;
    Recorder a{"A", &journal};
    Recorder b{"B", &journal};
    std::unique_ptr<TDXSound> sound = std::make_unique<TDXSound>(&form);
};

TEST_F(DXSoundTest, OpenAndCloseTellListenersLastRegisteredFirst) {
    listen(a);
    listen(b);
    sound->Initialize();
    EXPECT_TRUE(sound->Initialized());
    sound->Finalize();
    EXPECT_FALSE(sound->Initialized());
    sound.reset();
    const std::vector<std::string> expected = {
        "B:initializing", "A:initializing", "OnInitializing", "B:initialize", "A:initialize",
        "OnInitialize",   "B:restore",      "A:restore",      "OnRestore",    "OnFinalize",
        "B:finalize",     "A:finalize",     "B:destroying",   "A:destroying"};
    EXPECT_EQ(journal, expected);
}

TEST_F(DXSoundTest, ListenersJoiningOrLeavingAnOpenDeviceHearAtOnce) {
    sound->Initialize();
    journal.clear();
    listen(a);
    listen(b);
    listen(a);  // the same pair again: moved to the end, not doubled
    EXPECT_EQ(journal, (std::vector<std::string>{"A:initialize", "A:restore", "B:initialize", "B:restore",
                                                 "A:initialize", "A:restore"}));
    journal.clear();
    sound->Restore();
    EXPECT_EQ(journal, (std::vector<std::string>{"A:restore", "B:restore", "OnRestore"}));
    journal.clear();
    sound->UnRegisterNotifyEvent(&Recorder::Handle, &b);
    sound->UnRegisterNotifyEvent(&Recorder::Handle, &b);  // no longer registered: nothing
    EXPECT_EQ(journal, (std::vector<std::string>{"B:finalize"}));
    sound->Finalize();
    sound->UnRegisterNotifyEvent(&Recorder::Handle, &a);  // closed: leaves silently
    EXPECT_EQ(journal.back(), "A:finalize");
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "A:finalize"), 1);
}

TEST_F(DXSoundTest, InitializeWithoutAFormFails) {
    TDXSound orphan(nullptr);
    orphan.RegisterNotifyEvent(&Recorder::Handle, &a);
    EXPECT_EQ(errorOf([&] { orphan.Initialize(); }), "EDXSoundError: Form not found");
    EXPECT_FALSE(orphan.Initialized());
    EXPECT_TRUE(journal.empty());
    orphan.UnRegisterNotifyEvent(&Recorder::Handle, &a);
}

TEST_F(DXSoundTest, NoDeviceFailsAndLeavesTheComponentClosed) {
    listen(a);
    platform.sound().failures().noDevice = true;
    EXPECT_EQ(errorOf([&] { sound->Initialize(); }), "EDirectSoundError: DirectSound cannot be initialized");
    EXPECT_FALSE(sound->Initialized());
    EXPECT_EQ(sound->DSound(), nullptr);
    // OnFinalize stays silent because OnInitialize was never raised.
    EXPECT_EQ(journal, (std::vector<std::string>{"A:initializing", "OnInitializing", "A:finalize"}));
    platform.sound().failures().noDevice = false;
    sound->Initialize();
    EXPECT_TRUE(sound->Initialized());
}

TEST_F(DXSoundTest, RefusedPrimaryBufferClosesTheDeviceAgain) {
    platform.sound().failures().createPrimary = HResult::OutOfMemory;
    EXPECT_EQ(errorOf([&] { sound->Initialize(); }), "EDXSoundError: Primary Buffer cannot be made");
    EXPECT_FALSE(sound->Initialized());
    EXPECT_EQ(platform.sound().device(), nullptr);
    EXPECT_EQ(platform.sound().devicesOpened(), 1);
}

TEST_F(DXSoundTest, AutoInitializeAtTheEndOfLoadingSwallowsOnlyDeviceErrors) {
    platform.sound().failures().noDevice = true;
    sound->BeginLoading();
    EXPECT_NO_THROW(sound->EndLoading());
    EXPECT_FALSE(sound->Initialized());
    platform.sound().failures().noDevice = false;
    sound->BeginLoading();
    sound->EndLoading();
    EXPECT_TRUE(sound->Initialized());

    TDXSound orphan(nullptr);
    orphan.BeginLoading();
    EXPECT_THROW(orphan.EndLoading(), EDXSoundError);
    TDXSound manual(&form);
    manual.SetAutoInitialize(false);
    manual.BeginLoading();
    manual.EndLoading();
    EXPECT_FALSE(manual.Initialized());
}

TEST_F(DXSoundTest, ExclusivityIsSettledWhenTheDeviceOpens) {
    sound->SetOptions({soExclusive});
    sound->Initialize();
    EXPECT_EQ(platform.sound().device()->cooperativeLevel(), platform::audio::DSSCL_EXCLUSIVE);
    sound->SetOptions({soGlobalFocus});
    EXPECT_EQ(sound->Options(), TDXSoundOptions({soGlobalFocus}));
    EXPECT_EQ(sound->NowOptions(), TDXSoundOptions({soGlobalFocus, soExclusive}));
    EXPECT_TRUE(sound->DSound()->GlobalFocus());
    sound->Initialize();
    EXPECT_EQ(platform.sound().device()->cooperativeLevel(), platform::audio::DSSCL_NORMAL);
    sound->SetOptions({soExclusive, soStickyFocus});
    EXPECT_EQ(platform.sound().device()->cooperativeLevel(), platform::audio::DSSCL_NORMAL);
    EXPECT_FALSE(sound->NowOptions().Contains(soExclusive));
    EXPECT_TRUE(sound->DSound()->StickyFocus());
}

TEST_F(DXSoundTest, ANewWindowHandleIsAttachedAgain) {
    sound->Initialize();
    auto* device = platform.sound().device();
    ASSERT_EQ(device->cooperativeLevel(), platform::audio::DSSCL_NORMAL);
    sound->SetOptions({soExclusive});  // takes effect on the next open only
    ASSERT_EQ(device->setCooperativeLevel(nullptr, platform::audio::DSSCL_PRIORITY), HResult::Ok);
    form.Dispatch(platform::FormMessage::HandleCreated);
    EXPECT_EQ(device->cooperativeLevel(), platform::audio::DSSCL_NORMAL);
    sound->Finalize();
    form.Dispatch(platform::FormMessage::HandleCreated);  // the filter is gone with the device
    EXPECT_EQ(platform.sound().device(), nullptr);
}

class SoundBufferTest : public DXSoundTest {
protected:
    void SetUp() override {
        DXSoundTest::SetUp();
        sound->Initialize();
    }
    TDirectSound& device() { return *sound->DSound(); }
};

TEST_F(SoundBufferTest, LoadFromWaveCopiesTheSamplesAndSetsFocusFlags) {
    const auto wave = testing::makeWave(300);
    TDirectSoundBuffer plain(device());
    plain.LoadFromWave(wave);
    EXPECT_EQ(plain.Caps().bufferBytes, 300u);
    EXPECT_EQ(plain.Caps().flags, 0xE0u);
    EXPECT_EQ(plain.Format().samplesPerSec, 11025u);
    void* part1 = nullptr;
    std::uint32_t size1 = 0;
    ASSERT_TRUE(plain.Lock(0, 300, &part1, &size1, nullptr, nullptr, 0));
    EXPECT_EQ(std::vector<std::uint8_t>(static_cast<std::uint8_t*>(part1),
                                        static_cast<std::uint8_t*>(part1) + size1),
              std::vector<std::uint8_t>(wave.Data(), wave.Data() + 300));
    void* again = nullptr;
    EXPECT_FALSE(plain.Lock(0, 300, &again, &size1, nullptr, nullptr, 0));  // one lock at a time
    EXPECT_EQ(plain.DXResult(), HResult::InvalidCall);
    EXPECT_TRUE(plain.Unlock());

    device().SetGlobalFocus(true);
    TDirectSoundBuffer global(device());
    global.LoadFromWave(wave);
    EXPECT_EQ(global.Caps().flags, 0xE0u | platform::audio::DSBCAPS_GLOBALFOCUS);
    device().SetStickyFocus(true);
    TDirectSoundBuffer sticky(device());
    sticky.LoadFromWave(wave);
    EXPECT_EQ(sticky.Caps().flags, 0xE0u | platform::audio::DSBCAPS_STICKYFOCUS);
}

TEST_F(SoundBufferTest, UnplayableFormatsAndRefusedLocksRaiseBufferErrors) {
    TDirectSoundBuffer buffer(device());
    EXPECT_EQ(errorOf([&] { buffer.LoadFromWave(testing::makeWave(100, 11025, 8, 3)); }),
              "EDirectSoundBufferError: Sound Buffer cannot be made");
    EXPECT_EQ(errorOf([&] { buffer.LoadFromWave(testing::makeWave(100, 11025, 24)); }),
              "EDirectSoundBufferError: Sound Buffer cannot be made");
    EXPECT_FALSE(buffer.HasInterface());
    EXPECT_EQ(errorOf([&] { buffer.Play(false); }), "EDirectSoundBufferError: IDirectSoundBuffer not made");
    platform.sound().failures().lock = HResult::Generic;
    EXPECT_EQ(errorOf([&] { buffer.LoadFromWave(testing::makeWave(100)); }),
              "EDirectSoundBufferError: Sound Buffer cannot be locked");
    EXPECT_FALSE(buffer.HasInterface());  // the unfilled buffer is dropped
}

TEST_F(SoundBufferTest, BufferCallsRecordResultsWithoutRaising) {
    TDirectSoundBuffer buffer(device());
    buffer.LoadFromWave(testing::makeWave(100));
    EXPECT_FALSE(buffer.SetVolume(5));  // out of range
    EXPECT_EQ(buffer.DXResult(), HResult::InvalidParam);
    EXPECT_TRUE(buffer.SetFrequency(22050));
    EXPECT_TRUE(buffer.Play(true));
    EXPECT_TRUE(buffer.Playing());
    EXPECT_EQ(buffer.Status(), platform::audio::DSBSTATUS_PLAYING | platform::audio::DSBSTATUS_LOOPING);
    EXPECT_TRUE(buffer.Stop());
    EXPECT_FALSE(buffer.Playing());
}

TEST_F(SoundBufferTest, ALostBufferRunsOneRestoreAtATime) {
    TDirectSoundBuffer buffer(device());
    buffer.LoadFromWave(testing::makeWave(100));
    int restores = 0;
    sound->OnRestore = [&](TCustomDXSound&) {
        ++restores;
        buffer.Stop();  // still lost: must not start a second restore inside the first
    };
    platform.sound().loseBuffers();
    EXPECT_FALSE(buffer.Play(false));
    EXPECT_EQ(buffer.DXResult(), HResult::BufferLost);
    EXPECT_TRUE(buffer.Lost());
    EXPECT_EQ(restores, 1);
    buffer.LoadFromWave(testing::makeWave(100));  // what an item's restore does
    EXPECT_FALSE(buffer.Lost());
    EXPECT_TRUE(buffer.Play(false));
}

TEST_F(SoundBufferTest, DestroyingTheDeviceReleasesBuffersStillMadeOnIt) {
    auto survivor = std::make_unique<TDirectSoundBuffer>(device());
    survivor->LoadFromWave(testing::makeWave(100));
    EXPECT_EQ(device().BufferCount(), 2);  // the primary buffer and this one
    sound->Finalize();
    EXPECT_EQ(survivor->DSound(), nullptr);
    EXPECT_FALSE(survivor->HasInterface());
    EXPECT_EQ(errorOf([&] { survivor->Stop(); }), "EDirectSoundBufferError: IDirectSoundBuffer not made");
    // A buffer whose device has gone can neither be made nor be a duplicate.
    EXPECT_EQ(errorOf([&] { survivor->LoadFromWave(testing::makeWave(100)); }),
              "EDirectSoundError: IDirectSound not made");
    EXPECT_EQ(errorOf([&] { survivor->Duplicate(*survivor); }), "EDirectSoundError: IDirectSound not made");
    survivor.reset();  // leaves no dangling registration behind
}

}  // namespace
}  // namespace vek
