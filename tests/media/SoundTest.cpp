// The sound device, wave lists and their items on the headless audio back-end, whose
// voices run on the platform's virtual clock.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "media/CollectionFile.h"
#include "media/DXSound.h"
#include "media/Errors.h"
#include "media/Forms.h"
#include "platform/Audio.h"
#include "platform/Platform.h"
#include "platform/headless/HeadlessControl.h"

using namespace media;

namespace {

// A mono 22 050 Hz wave lasting `ms` milliseconds.
TWave MakeWave(int bits, int ms) {
    TWave w;
    w.Format.BitsPerSample = static_cast<uint16_t>(bits);
    w.Format.BlockAlign = static_cast<uint16_t>(bits / 8);
    w.Format.AvgBytesPerSec = 22050u * (bits / 8);
    w.Data.assign(size_t(22050) * (bits / 8) * ms / 1000, bits == 8 ? 0x90 : 0x10);
    return w;
}

class Sound : public ::testing::Test {
protected:
    void SetUp() override {
        Application().ResetForTests();
        platform_ = platform::createHeadlessPlatform(25);
        platform::setCurrent(platform_.get());
        clock_ = platform::headlessControl(*platform_);
        audio_ = platform::createHeadlessAudio(*platform_);
        hooks_ = platform::headlessAudioControl(*audio_);
        platform::setCurrentAudio(audio_.get());
        form_ = std::make_unique<TDXForm>();
        sound_ = std::make_unique<TDXSound>(form_.get());
        list_ = std::make_unique<TDXWaveList>();
        list_->SetDXSound(sound_.get());
    }
    void TearDown() override {
        list_.reset();
        sound_.reset();
        form_.reset();
        platform::setCurrentAudio(nullptr);
        platform::setCurrent(nullptr);
        audio_.reset();
        platform_.reset();
    }
    // An item of the list holding a 100 ms 16-bit effect.
    TWaveCollectionItem* Effect(int ms = 100) {
        TWaveCollectionItem* item = list_->Items.Add();
        item->SetWave(MakeWave(16, ms));
        return item;
    }
    void Advance(uint32_t ms) { clock_->advanceClock(ms); }
    int PlayingCopies(const TWaveCollectionItem* item) {
        int n = 0;
        for (int i = 0; i < item->CopyCount(); ++i) n += item->Copy(i)->Playing();
        return n;
    }

    std::unique_ptr<platform::Platform> platform_;
    platform::HeadlessControl* clock_ = nullptr;
    std::unique_ptr<platform::AudioDevice> audio_;
    platform::HeadlessAudioControl* hooks_ = nullptr;
    std::unique_ptr<TDXForm> form_;
    std::unique_ptr<TDXSound> sound_;
    std::unique_ptr<TDXWaveList> list_;
};

template <class E, class F>
std::string MessageOf(F f) {
    try {
        f();
    } catch (const E& e) {
        return e.what();
    }
    return "(nothing raised)";
}

}  // namespace

TEST_F(Sound, DeviceStartsWithItsFormAndNeedsOne) {
    TDXSound orphan;
    EXPECT_EQ(MessageOf<EDXSoundError>([&] { orphan.Initialize(); }), "Form not found");
    EXPECT_FALSE(orphan.Initialized());

    sound_->AutoInitialize = false;
    sound_->Loaded();
    EXPECT_FALSE(sound_->Initialized());
    sound_->AutoInitialize = true;
    sound_->Loaded();
    EXPECT_TRUE(sound_->Initialized());
    EXPECT_TRUE(audio_->isOpen());
    sound_->Finalize();
    EXPECT_FALSE(sound_->Initialized());
    EXPECT_FALSE(audio_->isOpen());
}

TEST_F(Sound, NotificationsRunFromLastListenerToFirstAroundTheEvents) {
    std::vector<std::string> log;
    int a = 0, b = 0;
    sound_->RegisterNotifyEvent(&a, [&](TDXSound*, TDXSoundNotifyType k) { log.push_back("a" + std::to_string(k)); });
    sound_->RegisterNotifyEvent(&b, [&](TDXSound*, TDXSoundNotifyType k) { log.push_back("b" + std::to_string(k)); });
    sound_->OnInitializing = [&](TObject*) { log.push_back("OnInitializing"); };
    sound_->OnInitialize = [&](TObject*) { log.push_back("OnInitialize"); };
    sound_->OnRestore = [&](TObject*) { log.push_back("OnRestore"); };
    sound_->OnFinalize = [&](TObject*) { log.push_back("OnFinalize"); };
    sound_->Initialize();
    sound_->Finalize();
    EXPECT_EQ(log, (std::vector<std::string>{"OnInitializing", "b1", "a1", "b2", "a2", "OnInitialize", "b4", "a4",
                                             "OnRestore", "OnFinalize", "b3", "a3"}));

    // A listener attached to an open device is brought up at once; detaching closes it.
    sound_->Initialize();
    log.clear();
    int c = 0;
    sound_->RegisterNotifyEvent(&c, [&](TDXSound*, TDXSoundNotifyType k) { log.push_back("c" + std::to_string(k)); });
    sound_->UnRegisterNotifyEvent(&c);
    EXPECT_EQ(log, (std::vector<std::string>{"c2", "c4", "c3"}));
    sound_->UnRegisterNotifyEvent(&a);
    sound_->UnRegisterNotifyEvent(&b);
    sound_->OnFinalize = nullptr;  // the log goes before the device
}

TEST_F(Sound, WithoutADeviceEverythingIsSilent) {
    TWaveCollectionItem* item = Effect();
    hooks_->setOpenFails(true);
    EXPECT_NO_THROW(sound_->Initialize());
    EXPECT_FALSE(sound_->Initialized());
    EXPECT_FALSE(item->Initialized());
    item->Play(false);
    item->Play(true);  // must not wait for a playback that never started
    EXPECT_EQ(item->CopyCount(), 0);
    EXPECT_FALSE(item->Playing());
    EXPECT_EQ(hooks_->playCount(), 0);

    // No platform running and no device set: still silent, never a crash.
    platform::setCurrentAudio(nullptr);
    platform::setCurrent(nullptr);
    EXPECT_EQ(platform::currentAudio(), nullptr);
    EXPECT_NO_THROW(sound_->Initialize());
    EXPECT_FALSE(sound_->Initialized());
    item->Play(false);
    EXPECT_FALSE(item->Playing());
}

TEST_F(Sound, BufferAndPrimaryFailuresCarryTheirMessages) {
    Effect();
    hooks_->setPrimaryFails(true);
    EXPECT_EQ(MessageOf<EDXSoundError>([&] { sound_->Initialize(); }), "Primary Buffer cannot be made");
    EXPECT_FALSE(sound_->Initialized());
    EXPECT_FALSE(audio_->isOpen());
    hooks_->setPrimaryFails(false);

    hooks_->setCreateFails(true);
    EXPECT_EQ(MessageOf<EDirectSoundBufferError>([&] { sound_->Initialize(); }), "Sound Buffer cannot be made");
    hooks_->setCreateFails(false);
    hooks_->setWriteFails(true);
    EXPECT_EQ(MessageOf<EDirectSoundBufferError>([&] { sound_->Initialize(); }), "Sound Buffer cannot be locked");
    EXPECT_EQ(audio_->voiceCount(), 0);  // the unwritable buffer was given back
}

TEST_F(Sound, OneShotCopiesOverlapFinishAndAreReused) {
    TWaveCollectionItem* item = Effect(100);
    sound_->Initialize();
    ASSERT_NE(item->MainBuffer(), nullptr);  // built on restore

    for (int i = 0; i < 10; ++i) item->Play(false);
    EXPECT_EQ(item->CopyCount(), 10);
    EXPECT_EQ(PlayingCopies(item), 10);
    EXPECT_FALSE(item->MainBuffer()->Playing());  // one-shots never use the main buffer

    Advance(50);
    item->Play(false);  // all ten still sound: an eleventh copy
    EXPECT_EQ(item->CopyCount(), 11);
    Advance(60);        // the first ten are done, the eleventh is not
    EXPECT_EQ(PlayingCopies(item), 1);
    const TDirectSoundBuffer* first = item->Copy(0);
    item->Play(false);
    EXPECT_EQ(item->CopyCount(), 11);
    EXPECT_TRUE(first->Playing());  // the first idle copy was taken
    EXPECT_EQ(first->Position(), 0u);
    Advance(100);
    EXPECT_FALSE(item->Playing());
    EXPECT_EQ(audio_->voiceCount(), 12);  // main buffer and eleven copies remain
}

TEST_F(Sound, PlayingCountLimitCutsOffTheOldest) {
    TWaveCollectionItem* item = Effect(100);
    item->SetMaxPlayingCount(2);
    sound_->Initialize();
    item->Play(false);
    const TDirectSoundBuffer* oldest = item->Copy(0);
    Advance(10);
    item->Play(false);
    const TDirectSoundBuffer* younger = item->Copy(1);
    Advance(10);
    EXPECT_GT(oldest->Position(), 0u);
    item->Play(false);  // both sound: the oldest restarts and moves to the end
    ASSERT_EQ(item->CopyCount(), 2);
    EXPECT_EQ(item->Copy(0), younger);
    EXPECT_EQ(item->Copy(1), oldest);
    EXPECT_EQ(oldest->Position(), 0u);
    Advance(95);  // the younger copy ends at 110 ms, the restarted one at 120 ms
    EXPECT_FALSE(younger->Playing());
    EXPECT_TRUE(oldest->Playing());

    // With a limit of one, every Play restarts the same copy.
    item->SetMaxPlayingCount(1);
    EXPECT_EQ(item->CopyCount(), 0);  // a new limit destroys the copies
    item->Play(false);
    const TDirectSoundBuffer* only = item->Copy(0);
    Advance(30);
    item->Play(false);
    EXPECT_EQ(item->CopyCount(), 1);
    EXPECT_EQ(item->Copy(0), only);
    EXPECT_EQ(only->Position(), 0u);

    // The same limit again keeps the copies; a negative one means no limit.
    item->SetMaxPlayingCount(1);
    EXPECT_EQ(item->CopyCount(), 1);
    item->SetMaxPlayingCount(-5);
    EXPECT_EQ(item->MaxPlayingCount(), 0);
    item->Play(false);
    item->Play(false);
    EXPECT_EQ(item->CopyCount(), 2);
}

TEST_F(Sound, LoopedItemsRestartOnTheMainBufferAndStopWhenSwitchedOff) {
    TWaveCollectionItem* music = Effect(100);
    sound_->Initialize();
    music->Play(false);  // a one-shot copy still sounding when looping is switched on
    EXPECT_TRUE(music->Playing());
    music->SetLooped(true);
    EXPECT_FALSE(music->Playing());  // a change of Looped stops every copy

    music->Play(false);
    Advance(250);  // far beyond the wave's length
    EXPECT_TRUE(music->MainBuffer()->Looping());
    EXPECT_NEAR(music->MainBuffer()->Position(), 2205.0, 2.0);  // 250 ms into a 100 ms loop
    music->Play(false);  // restarts from the beginning, does not layer a second loop
    EXPECT_EQ(music->MainBuffer()->Position(), 0u);
    EXPECT_EQ(music->CopyCount(), 1);
    EXPECT_EQ(PlayingCopies(music), 0);

    music->SetLooped(true);  // unchanged: nothing happens
    EXPECT_TRUE(music->Playing());
    music->SetLooped(false);
    EXPECT_FALSE(music->Playing());

    // Setting the current value does not stop a one-shot playback either.
    music->Play(false);
    music->SetLooped(false);
    EXPECT_TRUE(music->Playing());
}

TEST_F(Sound, AnEmptyWavePlaysNothingUntilSamplesArrive) {
    TWaveCollectionItem* placeholder = list_->Items.Add();
    placeholder->Name = "hudba1";
    sound_->Initialize();
    EXPECT_TRUE(placeholder->Initialized());
    placeholder->SetLooped(true);
    placeholder->Play(false);
    placeholder->SetLooped(false);
    placeholder->Play(false);
    EXPECT_EQ(placeholder->MainBuffer(), nullptr);
    EXPECT_EQ(placeholder->CopyCount(), 0);
    EXPECT_EQ(audio_->voiceCount(), 0);

    placeholder->SetWave(MakeWave(8, 100));
    placeholder->Play(false);
    EXPECT_TRUE(placeholder->Playing());
}

TEST_F(Sound, PlayWithWaitReturnsWhenThatPlaybackHasEnded) {
    TWaveCollectionItem* item = Effect(100);
    sound_->Initialize();
    uint32_t start = platform_->ticks();
    item->Play(true);
    EXPECT_FALSE(item->Playing());
    EXPECT_GE(platform_->ticks() - start, 100u);
}

TEST_F(Sound, ListsFollowTheirDevice) {
    TWaveCollectionItem* item = Effect();
    sound_->Initialize();
    item->Play(false);
    EXPECT_EQ(audio_->voiceCount(), 2);

    list_->SetDXSound(nullptr);  // detaching releases every buffer
    EXPECT_FALSE(item->Initialized());
    EXPECT_EQ(audio_->voiceCount(), 0);
    list_->SetDXSound(sound_.get());  // attaching to an open device rebuilds them
    EXPECT_TRUE(item->Initialized());
    EXPECT_NE(item->MainBuffer(), nullptr);

    // The device going first leaves the list detached, not dangling.
    sound_.reset();
    EXPECT_EQ(list_->DXSound(), nullptr);
    EXPECT_FALSE(item->Initialized());
    EXPECT_FALSE(audio_->isOpen());
    item->Play(false);

    EXPECT_EQ(MessageOf<EListError>([&] { list_->Items.Items(1); }), "List index out of bounds (1)");
    EXPECT_EQ(MessageOf<EListError>([&] { list_->Items.Items(-1); }), "List index out of bounds (-1)");
}

class SoundFiles : public Sound {
protected:
    void SetUp() override {
        Sound::SetUp();
        dir_ = testing::TempDir() + "sound_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed());
        path_ = dir_ + "_d1.dxg";
    }
    void TearDown() override {
        std::remove(path_.c_str());
        Sound::TearDown();
    }
    std::vector<WaveItemData> TwoItems() {
        std::vector<WaveItemData> items(2);
        items[0].Name = "hudba";
        items[0].Looped = true;
        items[0].Wave = std::make_shared<TWave>(MakeWave(8, 200));
        items[1].Name = "boom";
        items[1].MaxPlayingCount = 3;
        items[1].Wave = std::make_shared<TWave>(MakeWave(16, 50));
        return items;
    }
    std::string dir_, path_;
};

TEST_F(SoundFiles, LoadingReplacesTheItemsAndBuildsThemForAnOpenDevice) {
    list_->Items.Add()->Name = "hudba1";
    list_->Items.Add()->Name = "hudba2";
    sound_->Initialize();
    TWaveCollectionItem* old = Effect();
    old->Play(false);
    WriteWaveCollectionFile(path_, TwoItems());

    list_->Items.LoadFromFile(path_);
    ASSERT_EQ(list_->Items.Count(), 2);
    TWaveCollectionItem* music = list_->Items.Items(0);
    TWaveCollectionItem* boom = list_->Items.Items(1);
    EXPECT_EQ(music->Name, "hudba");
    EXPECT_TRUE(music->Looped());
    EXPECT_EQ(boom->MaxPlayingCount(), 3);
    EXPECT_EQ(boom->Wave().Data.size(), 2205u);
    EXPECT_NE(music->MainBuffer(), nullptr);
    EXPECT_EQ(audio_->voiceCount(), 2);  // the old item and its copy are gone
    music->Play(false);
    EXPECT_TRUE(music->MainBuffer()->Looping());

    // Loaded while the device is closed, the items get their buffers when it opens.
    sound_->Finalize();
    list_->Items.LoadFromFile(path_);
    EXPECT_FALSE(list_->Items.Items(0)->Initialized());
    sound_->Initialize();
    EXPECT_NE(list_->Items.Items(1)->MainBuffer(), nullptr);
}

TEST_F(SoundFiles, AFailedLoadKeepsWhatItHasOrWhatWasRead) {
    list_->Items.Add()->Name = "hudba1";
    sound_->Initialize();
    const std::string missing = dir_ + "_missing\\d9.dxg";
    EXPECT_EQ(MessageOf<EFOpenError>([&] { list_->Items.LoadFromFile(missing); }), "Cannot open file " + missing);
    ASSERT_EQ(list_->Items.Count(), 1);
    EXPECT_EQ(list_->Items.Items(0)->Name, "hudba1");

    // A file cut off inside its second item: the first is in place and playable.
    std::vector<uint8_t> bytes = WriteWaveCollection(TwoItems());
    bytes.resize(bytes.size() - 1000);
    std::ofstream(path_, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
    EXPECT_THROW(list_->Items.LoadFromFile(path_), Exception);
    ASSERT_GE(list_->Items.Count(), 1);
    EXPECT_LE(list_->Items.Count(), 2);  // the broken item may be kept as far as it was read
    EXPECT_EQ(list_->Items.Items(0)->Name, "hudba");
    list_->Items.Items(0)->Play(false);
    EXPECT_TRUE(list_->Items.Items(0)->Playing());
}
