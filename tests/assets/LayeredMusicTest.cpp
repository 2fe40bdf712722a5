// The menu music and each loop the levels lay over it, mixed as the game mixes them: "hudba"
// loops from the menu on and a level's loop is started over it at whatever moment the level or
// its cue begins, both looped, at full music volume. A pair must never reach full scale, and it
// is mastered so that the mixer's limiter hardly ever presses it down by more than 1 dB: a
// limiter at work on music is heard as pumping. And a layer leaves the bass to the menu music.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "platform/Mixer.h"
#include "tools/assets/Assets.h"

namespace {

double Sample(const media::TWave& w, size_t i) { return (int(w.Data[i]) - 128) / 128.0; }

struct Layer {
    int level;
    int item;
};

// The themes levels 1, 2, 3, 6 and 8 start as they begin, and the loops the cues of levels 5
// to 7 start in play.
constexpr double kOneDbDown = 0.891;

constexpr Layer kLayers[] = {{1, 0}, {2, 0}, {3, 0}, {5, 0}, {6, 0}, {6, 1}, {7, 0}, {7, 1}, {8, 0}};

}  // namespace

TEST(LayeredMusic, EveryPairWithTheMenuMusicStaysClearOfFullScaleAndOfTheLimiter) {
    const auto effects = assets::BuildEffects();
    ASSERT_GE(effects.size(), 10u);
    const media::TWave& menu = *effects[8].Wave;
    ASSERT_EQ(menu.Format.BitsPerSample, 8);
    const size_t n = menu.Data.size();
    const size_t beat = n / 48;
    for (const Layer& l : kLayers) {
        const auto list = assets::BuildMusic(l.level);
        ASSERT_GT(list.size(), size_t(l.item));
        const media::TWave& loop = *list[l.item].Wave;
        ASSERT_EQ(loop.Format.BitsPerSample, 8);
        // On the beat, off it by a third, and at odd moments.
        for (size_t offset : {size_t(0), n / 3 + beat / 3, n / 2 + 1234, 2 * n / 3 + beat / 2 + 77}) {
            SCOPED_TRACE("level " + std::to_string(l.level) + " item " + std::to_string(l.item) + ", started " +
                         std::to_string(offset) + " samples into the menu music");
            // At the waves' own rate, so every output frame is one sample of each.
            platform::Mixer mixer(22050);
            auto voiceOf = [&](const media::TWave& w) {
                platform::VoiceId v = mixer.create(w.Pcm(), w.Data.size());
                mixer.write(v, w.Data.data(), w.Data.size());
                return v;
            };
            const platform::VoiceId a = voiceOf(menu), b = voiceOf(loop);
            ASSERT_TRUE(a && b);
            mixer.play(a, true);
            mixer.advance(offset);
            mixer.play(b, true);
            std::vector<int16_t> out(2 * n);
            mixer.mix(out.data(), static_cast<int>(n), true);
            long clipped = 0, pressed = 0;
            double peak = 0, energy = 0, menuEnergy = 0;
            for (size_t i = 0; i < n; ++i) {
                const double sum = Sample(menu, (offset + i) % n) + Sample(loop, i % loop.Data.size());
                const double got = out[2 * i] / 32768.0;
                clipped += out[2 * i] >= 32767 || out[2 * i] <= -32767;
                pressed += std::fabs(sum) > 0.05 && std::fabs(got) < kOneDbDown * std::fabs(sum);
                peak = std::max(peak, std::fabs(sum));
                energy += got * got;
                menuEnergy += Sample(menu, (offset + i) % n) * Sample(menu, (offset + i) % n);
            }
            std::cout << "  level " << l.level << " item " << l.item << " from " << offset << ": sum peak "
                      << 20 * std::log10(peak) << " dBFS, mix " << 10 * std::log10(energy / n) << " dBFS RMS, "
                      << 100.0 * pressed / n << " % pressed over 1 dB\n";
            EXPECT_EQ(clipped, 0);
            EXPECT_LT(peak, 0.9) << "the plain sum comes close to full scale";
            EXPECT_LT(double(pressed) / n, 0.001) << pressed << " samples pressed down by more than 1 dB";
            // The layer is heard: the pair is clearly louder than the menu music alone.
            EXPECT_GT(std::sqrt(energy / menuEnergy), 1.2);
        }
    }
}

TEST(LayeredMusic, LayersLeaveTheLowEndToTheMenuMusic) {
    // The menu music carries the bass; a layer started at any moment over it would put a second
    // bass line under the first, on another chord. Below about 120 Hz a layer is nearly silent.
    auto lowRms = [](const media::TWave& w) {
        const double a = 1 - std::exp(-2 * M_PI * 120 / 22050.0);
        double y[4] = {}, e = 0;
        for (size_t pass = 0; pass < 2; ++pass)  // the first pass settles the filter on the loop
            for (size_t i = 0; i < w.Data.size(); ++i) {
                double x = Sample(w, i);
                for (double& s : y) x = s += a * (x - s);
                if (pass) e += x * x;
            }
        return std::sqrt(e / w.Data.size());
    };
    const auto effects = assets::BuildEffects();
    const double menu = lowRms(*effects[8].Wave);
    for (const Layer& l : kLayers) {
        const double layer = lowRms(*assets::BuildMusic(l.level)[l.item].Wave);
        std::cout << "  level " << l.level << " item " << l.item << ": below 120 Hz " << 20 * std::log10(layer / menu)
                  << " dB against the menu music\n";
        EXPECT_LT(layer, 0.2 * menu) << "level " << l.level << " item " << l.item;
    }
}
