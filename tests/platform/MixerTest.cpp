// The shared mixer: sums that never reach full scale, quiet sounds that come through
// bit for bit, exact positions however the time is split, volume and pan.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/Mixer.h"

using namespace platform;

namespace {

PcmFormat Mono16(uint32_t rate = 22050) {
    PcmFormat f;
    f.bitsPerSample = 16;
    f.blockAlign = 2;
    f.sampleRate = rate;
    return f;
}

std::vector<uint8_t> Bytes16(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> b;
    for (int16_t s : samples) {
        b.push_back(static_cast<uint8_t>(uint16_t(s) & 0xFF));
        b.push_back(static_cast<uint8_t>(uint16_t(s) >> 8));
    }
    return b;
}

VoiceId AddVoice(Mixer& m, const PcmFormat& f, const std::vector<uint8_t>& bytes) {
    VoiceId v = m.create(f, bytes.size());
    EXPECT_NE(v, 0);
    EXPECT_TRUE(m.write(v, bytes.data(), bytes.size()));
    return v;
}

// A full-scale square wave of the given period in samples.
std::vector<int16_t> Square(int samples, int period) {
    std::vector<int16_t> s(samples);
    for (int i = 0; i < samples; ++i) s[i] = (i / (period / 2)) % 2 ? -32768 : 32767;
    return s;
}

bool Clipped(int16_t s) { return s >= 32767 || s <= -32768; }

}  // namespace

TEST(Mixer, ManyFullScaleVoicesNeverClip) {
    Mixer m(44100);
    // Twenty full-scale voices: ten in phase (the worst sum), ten at other pitches, one
    // 8-bit voice at its extremes, all looped.
    for (int i = 0; i < 10; ++i) m.play(AddVoice(m, Mono16(), Bytes16(Square(2205, 50))), true);
    for (int i = 0; i < 10; ++i) m.play(AddVoice(m, Mono16(11025 + 1000 * i), Bytes16(Square(2205, 30 + 4 * i))), true);
    PcmFormat eight;  // 8-bit unsigned
    std::vector<uint8_t> extremes(2205);
    for (size_t i = 0; i < extremes.size(); ++i) extremes[i] = (i / 7) % 2 ? 0 : 255;
    m.play(AddVoice(m, eight, extremes), true);

    std::vector<int16_t> out(2 * 44100);
    m.mix(out.data(), 44100, true);
    int clipped = 0, loud = 0;
    for (int16_t s : out) {
        clipped += Clipped(s);
        loud += std::abs(int(s)) > 16384;
    }
    EXPECT_EQ(clipped, 0);
    EXPECT_GT(loud, 44100);  // limited, not silenced
    const int peak = std::abs(int(*std::max_element(out.begin(), out.end(), [](int16_t a, int16_t b) {
        return std::abs(int(a)) < std::abs(int(b));
    })));
    EXPECT_LT(peak, int(SoftLimiter::kCeiling * 32768));
}

TEST(Mixer, QuietSoundsPassUnchangedAlsoAfterALoudBurst) {
    Mixer m(22050);  // the samples' own rate: one output frame per sample
    std::vector<int16_t> quiet(4410);
    for (size_t i = 0; i < quiet.size(); ++i)
        quiet[i] = static_cast<int16_t>(std::lround(16000 * std::sin(double(i) * 0.07)));  // about -6.2 dBFS
    const std::vector<uint8_t> quietBytes = Bytes16(quiet);
    VoiceId v = AddVoice(m, Mono16(), quietBytes);
    m.play(v, false);
    std::vector<int16_t> out(2 * quiet.size());
    m.mix(out.data(), static_cast<int>(quiet.size()), true);
    for (size_t i = 0; i < quiet.size(); ++i) {
        ASSERT_EQ(out[2 * i], quiet[i]) << i;
        ASSERT_EQ(out[2 * i + 1], quiet[i]) << i;
    }
    EXPECT_FALSE(m.isPlaying(v));

    // A burst of eight full-scale voices pulls the gain down; a second later the quiet
    // sound is again untouched.
    std::vector<VoiceId> burst;
    for (int i = 0; i < 8; ++i) {
        burst.push_back(AddVoice(m, Mono16(), Bytes16(Square(2205, 40))));
        m.play(burst.back(), false);
    }
    m.mix(out.data(), 2205, true);
    for (int i = 0; i < 2205 * 2; ++i) ASSERT_FALSE(Clipped(out[i])) << i;
    std::vector<int16_t> rest(2 * 22050);
    m.mix(rest.data(), 22050, true);  // silence while the limiter lets go
    m.setPosition(v, 0);
    m.play(v, false);
    m.mix(out.data(), static_cast<int>(quiet.size()), true);
    for (size_t i = 0; i < quiet.size(); ++i) ASSERT_EQ(out[2 * i], quiet[i]) << i;
}

TEST(Mixer, LimiterCurveIsSmoothAndBounded) {
    EXPECT_EQ(SoftLimiter::curve(0.25f), 0.25f);
    EXPECT_EQ(SoftLimiter::curve(SoftLimiter::kThreshold), SoftLimiter::kThreshold);
    float previous = 0.0f;
    for (float p = 0.0f; p < 40.0f; p += 0.01f) {
        const float c = SoftLimiter::curve(p);
        ASSERT_GE(c, previous) << p;       // louder in, never quieter out
        ASSERT_LE(c - previous, 0.0101f);  // no jump anywhere, slope at most 1
        ASSERT_LT(c, SoftLimiter::kCeiling);
        previous = c;
    }
}

TEST(Mixer, PositionsAreExactHoweverTheTimeIsSplit) {
    Mixer whole(1000), split(1000);
    const std::vector<uint8_t> bytes(4410, 0);  // 100 ms of 16-bit mono
    VoiceId a = AddVoice(whole, Mono16(), bytes);
    VoiceId b = AddVoice(split, Mono16(), bytes);
    whole.play(a, false);
    split.play(b, false);
    whole.advance(73);
    for (int i = 0; i < 73; ++i) split.advance(1);
    EXPECT_EQ(whole.position(a), 2u * (73 * 22050 / 1000));
    EXPECT_EQ(split.position(b), whole.position(a));
    split.advance(27);  // exactly at the end: stopped and back at the start
    EXPECT_FALSE(split.isPlaying(b));
    EXPECT_EQ(split.position(b), 0u);

    // A loop wraps and keeps running; twice the rate covers twice the samples.
    split.setFrequency(b, 44100);
    split.play(b, true);
    split.advance(60);
    EXPECT_TRUE(split.isLooping(b));
    EXPECT_EQ(split.position(b), 2u * (60 * 44100 / 1000 - 2205));

    // At twice the samples' rate each sample is heard twice.
    Mixer up(44100);
    VoiceId c = AddVoice(up, Mono16(), Bytes16({100, 200, 300}));
    up.play(c, false);
    std::vector<int16_t> out(2 * 8, 1);
    up.mix(out.data(), 8, true);
    EXPECT_EQ(out, (std::vector<int16_t>{100, 100, 100, 100, 200, 200, 200, 200, 300, 300, 300, 300, 0, 0, 0, 0}));
}

TEST(Mixer, VolumePanSilenceAndUnusableRequests) {
    Mixer m(22050);
    VoiceId v = AddVoice(m, Mono16(), Bytes16(std::vector<int16_t>(100, 10000)));
    m.setPan(v, 10000);  // hard right
    m.play(v, true);
    std::vector<int16_t> out(2 * 10);
    m.mix(out.data(), 10, true);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 10000);
    m.setPan(v, 0);
    m.setVolume(v, -600);  // -6 dB: about half
    m.mix(out.data(), 10, true);
    EXPECT_NEAR(out[0], 5012, 2);
    m.setVolume(v, -10000);
    m.mix(out.data(), 10, true);
    EXPECT_EQ(out[0], 0);
    m.setVolume(v, 0);
    m.mix(out.data(), 10, false);  // not audible: silence, but the voice runs on
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(m.position(v), 2u * 40);

    PcmFormat noRate = Mono16(0);
    EXPECT_EQ(m.create(noRate, 10), 0);
    EXPECT_EQ(m.create(Mono16(), Mixer::kMaxBufferBytes + 1), 0);
    EXPECT_EQ(m.duplicate(999), 0);
    EXPECT_FALSE(m.write(999, nullptr, 0));
    PcmFormat adpcm = Mono16();
    adpcm.formatTag = 2;  // held, but silent
    VoiceId odd = AddVoice(m, adpcm, std::vector<uint8_t>(40, 0x7F));
    m.stop(v);
    m.play(odd, false);
    m.mix(out.data(), 10, true);
    EXPECT_EQ(out[0], 0);
    EXPECT_TRUE(m.isPlaying(odd));
}
