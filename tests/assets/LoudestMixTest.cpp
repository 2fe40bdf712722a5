// The loudest sound the game makes, mixed as it plays: the menu music looping under a level's
// theme while fire is held at weapon level 5, every weapon sound started again as fast as the
// guns fire, with explosions on top. The mixer must keep it below full scale.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/Mixer.h"
#include "tools/assets/Assets.h"

namespace {

platform::VoiceId voiceOf(platform::Mixer& mixer, const media::TWave& wave) {
    platform::VoiceId v = mixer.create(wave.Pcm(), wave.Data.size());
    if (v) mixer.write(v, wave.Data.data(), wave.Data.size());
    return v;
}

}  // namespace

TEST(LoudestMix, MenuMusicThemeAndEveryWeaponSoundOfLevel5DoNotClip) {
    const auto effects = assets::BuildEffects();
    const auto theme = assets::BuildMusic(5);
    ASSERT_GE(effects.size(), 10u);
    ASSERT_FALSE(theme.empty());
    constexpr uint32_t kRate = 44100;
    platform::Mixer mixer(kRate);
    // 0 kul (launches), 1 vybuch, 2 raket1, 3 raket2 (heavy shot), 8 hudba (the menu music).
    platform::VoiceId menu = voiceOf(mixer, *effects[8].Wave);
    platform::VoiceId music = voiceOf(mixer, *theme[0].Wave);
    ASSERT_TRUE(menu && music);
    mixer.play(menu, true);
    mixer.play(music, true);
    std::vector<platform::VoiceId> shots;
    for (int i : {0, 1, 2, 3}) shots.push_back(voiceOf(mixer, *effects[i].Wave));

    // Ten seconds in frames of 25 ms: the guns start their sounds every fifth frame, one
    // explosion every tenth; each start is a new copy, as the game's sound items make them.
    constexpr int kFrame = kRate / 40;
    std::vector<int16_t> out(2 * kFrame);
    long clipped = 0, samples = 0;
    int peak = 0;
    std::vector<platform::VoiceId> copies;
    for (int frame = 0; frame < 400; ++frame) {
        for (size_t k = 0; k < shots.size(); ++k) {
            const bool explosion = k == 1;
            if (frame % (explosion ? 10 : 5) != static_cast<int>(k)) continue;
            platform::VoiceId c = mixer.duplicate(shots[k]);
            mixer.play(c, false);
            copies.push_back(c);
        }
        mixer.mix(out.data(), kFrame, true);
        for (int16_t s : out) {
            peak = std::max(peak, std::abs(static_cast<int>(s)));
            clipped += s >= 32767 || s <= -32767;
            ++samples;
        }
        // Copies that ended are let go, as the items do with their finished copies.
        copies.erase(std::remove_if(copies.begin(), copies.end(),
                                    [&](platform::VoiceId c) {
                                        if (mixer.isPlaying(c)) return false;
                                        mixer.release(c);
                                        return true;
                                    }),
                     copies.end());
    }
    EXPECT_EQ(clipped, 0) << "of " << samples << " samples; peak " << peak;
    EXPECT_LT(peak, 32767 * 0.97);
    EXPECT_GT(peak, 32767 / 4) << "the mix is not silent";
}
