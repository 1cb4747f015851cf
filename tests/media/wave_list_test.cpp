// The wave list on the headless sound service: finding sounds, the pool of play buffers,
// looping and waiting, following the device as it opens, closes and loses its buffers.
#include "media/wave_list.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "media/sound_fixture.hpp"
#include "platform/toolkit/form.hpp"

namespace vek {
namespace {

using testing::errorOf;

using platform::audio::BufferCall;
using platform::audio::HResult;
using platform::headless::HeadlessAudioSystem;

class WaveListTest : public ::testing::Test {
protected:
    WaveListTest() {
        addItem("SceneMov", testing::makeWave(2205));
        addItem("Explosion", testing::makeWave(1102));  // 100 ms at 11025 samples per second
        addItem("kan!!", testing::makeWave(287, 22050, 16));
        list->SetDXSound(sound.get());
    }
    TWaveCollectionItem& addItem(const std::string& name, const TWave& wave) {
        auto& item = list->Items().Add();
        item.SetName(name);
        item.SetWave(wave);
        return item;
    }
    TWaveCollectionItem& explosion() { return list->Items().Find("Explosion"); }
    HeadlessAudioSystem& audio() { return platform.sound(); }
    int idOf(TDirectSoundBuffer& buffer) { return HeadlessAudioSystem::idOf(buffer.IBuffer()); }

    testing::SoundTestPlatform platform;
    platform::TCustomForm form{nullptr};
    std::unique_ptr<TDXSound> sound = std::make_unique<TDXSound>(&form);
    std::unique_ptr<TDXWaveList> list = std::make_unique<TDXWaveList>(&form);
};

TEST_F(WaveListTest, FindIgnoresCaseAndPrefersTheLatestName) {
    EXPECT_EQ(&list->Items().Find("EXPLOSION"), &list->Items().Items(1));
    auto& later = addItem("explosion", testing::makeWave(10));
    EXPECT_EQ(&list->Items().Find("Explosion"), &later);
    EXPECT_EQ(errorOf([&] { list->Items().Find("Boom"); }), "EWaveCollectionError: Wave 'Boom' not found");
}

TEST_F(WaveListTest, PlayWithoutAnOpenDeviceDoesNothing) {
    EXPECT_NO_THROW(explosion().Play(false));
    EXPECT_NO_THROW(explosion().Play(true));
    EXPECT_FALSE(explosion().Initialized());
    EXPECT_EQ(explosion().MasterBuffer(), nullptr);
    EXPECT_EQ(explosion().PlayBufferCount(), 0);
    EXPECT_TRUE(audio().log().empty());
    sound->Initialize();
    sound->Finalize();
    audio().clearLog();
    explosion().Play(false);  // sound switched off again
    EXPECT_TRUE(audio().log().empty());
}

TEST_F(WaveListTest, OpeningTheDeviceBuildsEveryMasterBuffer) {
    auto& empty = addItem("Silent", TWave());
    sound->Initialize();
    EXPECT_EQ(audio().count(BufferCall::Create), 3);
    for (int i = 0; i < 3; ++i) {
        auto& item = list->Items().Items(i);
        EXPECT_TRUE(item.Initialized());
        ASSERT_NE(item.MasterBuffer(), nullptr);
        EXPECT_EQ(item.MasterBuffer()->Caps().bufferBytes, static_cast<std::uint32_t>(item.Wave().Size()));
    }
    EXPECT_TRUE(empty.Initialized());
    EXPECT_EQ(empty.MasterBuffer(), nullptr);
    EXPECT_NO_THROW(empty.Play(false));
    EXPECT_EQ(empty.PlayBufferCount(), 0);
}

TEST_F(WaveListTest, AListJoiningAnOpenDeviceBuildsItsBuffersAtOnce) {
    sound->Initialize();
    TDXWaveList late(&form);
    auto& item = late.Items().Add();
    item.SetName("Late");
    item.SetWave(testing::makeWave(500));
    audio().clearLog();
    late.SetDXSound(sound.get());
    EXPECT_TRUE(item.Initialized());
    EXPECT_EQ(audio().count(BufferCall::Create), 1);
    ASSERT_NE(item.MasterBuffer(), nullptr);
    EXPECT_TRUE(item.MasterBuffer()->HasInterface());
    late.SetDXSound(nullptr);
    EXPECT_FALSE(item.Initialized());
    EXPECT_EQ(item.MasterBuffer(), nullptr);
}

TEST_F(WaveListTest, UnlimitedPoolGrowsPerOverlapAndReusesAFinishedBufferInPlace) {
    sound->Initialize();
    auto& item = explosion();
    for (int i = 0; i < 4; ++i) {
        item.Play(false);
        platform.run(20);
    }
    ASSERT_EQ(item.PlayBufferCount(), 4);
    EXPECT_EQ(audio().playingCount(), 4);
    auto* first = &item.PlayBuffers(0);
    auto* second = &item.PlayBuffers(1);
    platform.run(25);  // the first copy ends, the second is still sounding
    ASSERT_FALSE(first->Playing());
    ASSERT_TRUE(second->Playing());
    item.Play(false);
    EXPECT_EQ(item.PlayBufferCount(), 4);
    EXPECT_EQ(&item.PlayBuffers(0), first);
    EXPECT_TRUE(first->Playing());
}

TEST_F(WaveListTest, FullPoolRestartsItsHeadAndMovesItToTheEnd) {
    sound->Initialize();
    auto& item = explosion();
    item.SetMaxPlayingCount(2);
    item.SetFrequency(22050);
    item.SetPan(-500);
    item.SetVolume(-1200);
    item.Play(false);
    item.Play(false);
    ASSERT_EQ(item.PlayBufferCount(), 2);
    auto* first = &item.PlayBuffers(0);
    auto* second = &item.PlayBuffers(1);
    audio().clearLog();
    item.Play(false);
    EXPECT_EQ(item.PlayBufferCount(), 2);
    EXPECT_EQ(&item.PlayBuffers(0), second);
    EXPECT_EQ(&item.PlayBuffers(1), first);
    const auto calls = audio().logOf(idOf(*first));
    ASSERT_EQ(calls.size(), 6u);
    const BufferCall order[] = {BufferCall::Stop,   BufferCall::SetCurrentPosition, BufferCall::SetFrequency,
                                BufferCall::SetPan, BufferCall::SetVolume,          BufferCall::Play};
    const std::int64_t values[] = {0, 0, 22050, -500, -1200, 0};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(calls[i].call, order[i]) << i;
        EXPECT_EQ(calls[i].value, values[i]) << i;
    }
    EXPECT_TRUE(audio().logOf(idOf(*second)).empty());
    item.Play(false);
    EXPECT_EQ(&item.PlayBuffers(0), first);
    EXPECT_EQ(&item.PlayBuffers(1), second);
    EXPECT_EQ(audio().logOf(idOf(*second)).size(), 6u);
    EXPECT_EQ(audio().count(BufferCall::Duplicate), 0);
}

TEST_F(WaveListTest, ChangingMaxPlayingCountEmptiesThePool) {
    sound->Initialize();
    auto& item = explosion();
    item.Play(false);
    item.Play(false);
    item.SetMaxPlayingCount(0);  // unchanged
    EXPECT_EQ(item.PlayBufferCount(), 2);
    item.SetMaxPlayingCount(-3);  // also 0
    EXPECT_EQ(item.PlayBufferCount(), 2);
    item.SetMaxPlayingCount(1);
    EXPECT_EQ(item.PlayBufferCount(), 0);
    EXPECT_EQ(audio().playingCount(), 0);
}

TEST_F(WaveListTest, SoundOffAndOnRebuildsMastersWithEmptyPools) {
    sound->Initialize();
    explosion().Play(false);
    explosion().Play(false);
    sound->Finalize();
    EXPECT_FALSE(explosion().Initialized());
    EXPECT_EQ(explosion().PlayBufferCount(), 0);
    audio().clearLog();
    sound->Initialize();
    EXPECT_EQ(audio().count(BufferCall::Create), 3);
    EXPECT_EQ(explosion().PlayBufferCount(), 0);
    ASSERT_NE(explosion().MasterBuffer(), nullptr);
    EXPECT_TRUE(explosion().MasterBuffer()->HasInterface());
    explosion().Play(false);
    EXPECT_EQ(audio().playingCount(), 1);
}

TEST_F(WaveListTest, LoopedSoundsPlayTheMasterAndStopWhenUnlooped) {
    sound->Initialize();
    auto& item = explosion();
    item.SetLooped(true);
    item.Play(true);  // no waiting for a looped sound
    EXPECT_TRUE(platform.mixingClock().sleeps().empty());
    EXPECT_EQ(item.PlayBufferCount(), 0);
    EXPECT_EQ(item.MasterBuffer()->Status(),
              platform::audio::DSBSTATUS_PLAYING | platform::audio::DSBSTATUS_LOOPING);
    platform.run(500);
    EXPECT_TRUE(item.MasterBuffer()->Playing());
    item.SetLooped(false);
    EXPECT_FALSE(item.MasterBuffer()->Playing());
}

TEST_F(WaveListTest, WaitPollsEveryTenMillisecondsUntilTheSoundEnds) {
    sound->Initialize();
    auto& item = explosion();
    item.Play(true);
    const auto& sleeps = platform.mixingClock().sleeps();
    EXPECT_EQ(sleeps.size(), 10u);  // 100 ms of sound
    EXPECT_EQ(std::count(sleeps.begin(), sleeps.end(), 10u), static_cast<long>(sleeps.size()));
    EXPECT_FALSE(item.PlayBuffers(0).Playing());
}

TEST_F(WaveListTest, StopSilencesEveryBufferOfTheItem) {
    sound->Initialize();
    explosion().Play(false);
    explosion().Play(false);
    list->Items().Find("kan!!").Play(false);
    explosion().Stop();
    EXPECT_EQ(audio().playingCount(), 1);
}

TEST_F(WaveListTest, RefusedDuplicateRaisesAndKeepsNoBuffer) {
    sound->Initialize();
    audio().failures().duplicate = HResult::OutOfMemory;
    EXPECT_EQ(errorOf([&] { explosion().Play(false); }),
              "EDirectSoundBufferError: IDirectSoundBuffer not made");
    EXPECT_EQ(explosion().PlayBufferCount(), 0);
    audio().failures().duplicate = HResult::Ok;
    explosion().Play(false);
    EXPECT_EQ(explosion().PlayBufferCount(), 1);
}

// An unplugged output is no error of the list: nothing plays until an output is back.
TEST_F(WaveListTest, WhileTheOutputIsGonePlayDoesNothingAndReportsNothing) {
    sound->Initialize();
    list->Items().Find("kan!!").Play(false);
    audio().disconnect();
    EXPECT_NO_THROW(explosion().Play(false));  // never played before: needs a new play buffer
    EXPECT_NO_THROW(list->Items().Find("kan!!").Play(false));
    EXPECT_EQ(explosion().PlayBufferCount(), 0);
    EXPECT_EQ(audio().playingCount(), 0);
    audio().reconnect();
    explosion().Play(false);
    list->Items().Find("kan!!").Play(false);
    EXPECT_EQ(explosion().PlayBufferCount(), 1);
    EXPECT_EQ(audio().playingCount(), 2);
}

TEST_F(WaveListTest, UnplayableWaveFailsAfterTheDeviceIsOpen) {
    addItem("Float", testing::makeWave(100, 11025, 32, 3));
    EXPECT_EQ(errorOf([&] { sound->Initialize(); }), "EDirectSoundBufferError: Sound Buffer cannot be made");
    EXPECT_TRUE(sound->Initialized());
    explosion().Play(false);
    EXPECT_EQ(audio().playingCount(), 1);
}

TEST_F(WaveListTest, LostBuffersAreRebuiltAndSoundsPlayAgain) {
    sound->Initialize();
    int restores = 0;
    sound->OnRestore = [&](TCustomDXSound&) { ++restores; };
    explosion().Play(false);
    explosion().Play(false);
    platform.run(150);
    audio().loseBuffers();
    explosion().Play(false);
    EXPECT_GE(restores, 1);
    EXPECT_EQ(explosion().PlayBufferCount(), 1);  // the lost copies are gone
    EXPECT_EQ(audio().playingCount(), 1);
    EXPECT_FALSE(explosion().MasterBuffer()->Lost());

    // With an empty pool the lost master is found when it is duplicated.
    auto& kan = list->Items().Find("kan!!");
    audio().loseBuffers();
    restores = 0;
    kan.Play(false);
    EXPECT_EQ(restores, 1);
    EXPECT_EQ(kan.PlayBufferCount(), 1);
    EXPECT_TRUE(kan.PlayBuffers(0).Playing());
}

TEST_F(WaveListTest, AssignCopiesSettingsAndRebuildsAnInitialisedTarget) {
    sound->Initialize();
    auto& source = list->Items().Find("kan!!");
    source.SetLooped(true);
    source.SetMaxPlayingCount(3);
    source.SetVolume(-300);
    auto& target = explosion();
    target.Play(false);
    target.Assign(source);
    EXPECT_EQ(target.Name(), "kan!!");
    EXPECT_TRUE(target.Looped());
    EXPECT_EQ(target.MaxPlayingCount(), 3);
    EXPECT_EQ(target.Volume(), -300);
    EXPECT_EQ(target.PlayBufferCount(), 0);
    ASSERT_NE(target.MasterBuffer(), nullptr);
    EXPECT_EQ(target.MasterBuffer()->Caps().bufferBytes, 574u);
    EXPECT_EQ(&list->Items().Find("KAN!!"), &target);  // renamed last, found first
}

TEST_F(WaveListTest, EitherComponentMayGoFirst) {
    sound->Initialize();
    explosion().Play(false);
    sound.reset();
    EXPECT_EQ(list->DXSound(), nullptr);
    EXPECT_FALSE(explosion().Initialized());
    EXPECT_EQ(explosion().PlayBufferCount(), 0);

    sound = std::make_unique<TDXSound>(&form);
    list->SetDXSound(sound.get());
    sound->Initialize();
    list.reset();
    EXPECT_NO_THROW(sound->Restore());
    EXPECT_NO_THROW(sound->Finalize());
}

}  // namespace
}  // namespace vek
