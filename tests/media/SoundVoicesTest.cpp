// The audio voices underneath the wave lists: the headless back-end's voices on the
// virtual clock, and a smoke test of the real device where one can be opened.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/Audio.h"
#include "platform/Platform.h"
#include "platform/headless/HeadlessControl.h"

namespace {

platform::PcmFormat Mono16() {
    platform::PcmFormat f;
    f.bitsPerSample = 16;
    f.blockAlign = 2;
    return f;
}

class HeadlessVoices : public ::testing::Test {
protected:
    void SetUp() override {
        platform_ = platform::createHeadlessPlatform(25);
        clock_ = platform::headlessControl(*platform_);
        audio_ = platform::createHeadlessAudio(*platform_);
        ASSERT_TRUE(audio_->open());
        ASSERT_TRUE(audio_->createPrimary());
    }
    // A 16-bit voice of 100 ms (4410 bytes).
    platform::VoiceId Voice100() {
        std::vector<uint8_t> bytes(4410, 7);
        platform::VoiceId v = audio_->createBuffer(Mono16(), bytes.size());
        EXPECT_NE(v, 0);
        EXPECT_TRUE(audio_->writeBuffer(v, bytes.data(), bytes.size()));
        return v;
    }
    std::unique_ptr<platform::Platform> platform_;
    platform::HeadlessControl* clock_ = nullptr;
    std::unique_ptr<platform::AudioDevice> audio_;
};

}  // namespace

TEST_F(HeadlessVoices, OneShotsEndWithTheirSamplesLoopsDoNot) {
    platform::VoiceId once = Voice100();
    platform::VoiceId loop = audio_->duplicate(once);
    ASSERT_NE(loop, 0);
    EXPECT_EQ(audio_->voiceCount(), 2);
    audio_->play(once, false);
    audio_->play(loop, true);
    clock_->advanceClock(99);
    EXPECT_TRUE(audio_->isPlaying(once));
    EXPECT_FALSE(audio_->isLooping(once));
    clock_->advanceClock(1);
    EXPECT_FALSE(audio_->isPlaying(once));
    EXPECT_EQ(audio_->position(once), 0u);  // back at the start once it ran out
    clock_->advanceClock(10000);
    EXPECT_TRUE(audio_->isLooping(loop));

    // Releasing the original leaves the duplicate with the shared samples.
    audio_->release(once);
    EXPECT_TRUE(audio_->isPlaying(loop));
    EXPECT_EQ(audio_->voiceCount(), 1);
}

TEST_F(HeadlessVoices, StopKeepsThePositionAndPlayGoesOnFromIt) {
    platform::VoiceId v = Voice100();
    audio_->play(v, false);
    clock_->advanceClock(40);
    audio_->stop(v);
    const uint32_t at = audio_->position(v);
    EXPECT_NEAR(at, 1764.0, 2.0);  // 40 ms of 16-bit samples
    clock_->advanceClock(500);
    EXPECT_EQ(audio_->position(v), at);
    audio_->play(v, false);
    clock_->advanceClock(59);
    EXPECT_TRUE(audio_->isPlaying(v));
    clock_->advanceClock(1);
    EXPECT_FALSE(audio_->isPlaying(v));

    // Positions stay inside the samples and on whole frames.
    audio_->setPosition(v, 99999);
    EXPECT_EQ(audio_->position(v), 4410u);
    audio_->setPosition(v, 1001);
    EXPECT_EQ(audio_->position(v), 1000u);
    // Twice the rate, half the time.
    audio_->setPosition(v, 0);
    audio_->setFrequency(v, 44100);
    audio_->play(v, false);
    clock_->advanceClock(50);
    EXPECT_FALSE(audio_->isPlaying(v));
}

TEST_F(HeadlessVoices, UnusableRequestsAreRefusedNotFatal) {
    platform::PcmFormat bad = Mono16();
    bad.sampleRate = 0;
    EXPECT_EQ(audio_->createBuffer(bad, 100), 0);
    EXPECT_EQ(audio_->createBuffer(Mono16(), size_t(1) << 40), 0);  // no allocation beyond reason
    EXPECT_EQ(audio_->duplicate(12345), 0);
    audio_->play(12345, true);
    EXPECT_FALSE(audio_->isPlaying(12345));

    // An empty buffer never sounds.
    platform::VoiceId empty = audio_->createBuffer(Mono16(), 0);
    audio_->play(empty, true);
    EXPECT_FALSE(audio_->isPlaying(empty));

    audio_->close();
    EXPECT_EQ(audio_->createBuffer(Mono16(), 100), 0);
}

TEST(SdlAudio, RealDeviceSmoke) {
    auto audio = platform::createSdlAudio();
    if (!audio->open()) GTEST_SKIP() << "no audio device can be opened here";
    ASSERT_TRUE(audio->createPrimary());
    std::vector<uint8_t> bytes(2205, 0x80);  // 100 ms of 8-bit silence
    platform::PcmFormat f;
    platform::VoiceId v = audio->createBuffer(f, bytes.size());
    ASSERT_NE(v, 0);
    ASSERT_TRUE(audio->writeBuffer(v, bytes.data(), bytes.size()));
    platform::VoiceId copy = audio->duplicate(v);
    ASSERT_NE(copy, 0);
    audio->play(v, true);
    audio->play(copy, false);
    EXPECT_TRUE(audio->isLooping(v));
    audio->stop(v);
    audio->stop(copy);
    EXPECT_FALSE(audio->isPlaying(v));
    EXPECT_FALSE(audio->isPlaying(copy));
    audio->setPosition(v, 1000);
    EXPECT_EQ(audio->position(v), 1000u);
    audio->release(v);
    audio->release(copy);
    EXPECT_EQ(audio->voiceCount(), 0);
    audio->close();
    EXPECT_FALSE(audio->isOpen());
}
