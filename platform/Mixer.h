// Our software mixer, shared by every back-end: the voices (samples converted once to
// signed 16-bit, play once or looped, stop, rewind, rate, volume, pan) and their sum into
// 16-bit stereo at the output's rate. Back-ends with a device call mix() from their
// output; the headless back-end only advances the voices on its clock.
//
// Positions move by exact rational steps (source rate / output rate), so a voice at
// 22 050 Hz advanced by N milliseconds at an output rate of 1000 is at frame
// floor(N * 22050 / 1000), however the N milliseconds were split up.
//
// Loudness: the sum is taken in floating point, so nothing overflows before the limiter.
// Signals below -6 dBFS pass untouched; louder sums are pressed into the top 6 dB by a
// limiter that reacts at once and lets go over about 80 ms, and never reach full scale.
// Not thread-safe: a back-end with an audio thread holds its lock around every call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "platform/Audio.h"

namespace platform {

// The limiter at the end of the mix, usable on its own.
class SoftLimiter {
public:
    static constexpr float kThreshold = 0.5f;  // -6 dBFS: below it, samples are left as they are
    static constexpr float kCeiling = 0.97f;   // no output sample reaches this

    explicit SoftLimiter(uint32_t sampleRate);
    // The loudest allowed output for an input peak (both as fractions of full scale).
    static float curve(float peak);
    // Limits one stereo frame in place (samples as fractions of full scale).
    void process(float& left, float& right);
    float gain() const { return gain_; }

private:
    float gain_ = 1.0f;
    float release_;  // share of the way back to the target gain per frame
};

class Mixer {
public:
    // Larger buffers than this are refused: no sound of the game comes near it, and a
    // broken format record must not turn into an allocation of gigabytes.
    static constexpr size_t kMaxBufferBytes = size_t(64) << 20;

    explicit Mixer(uint32_t outputRate);
    uint32_t outputRate() const { return outputRate_; }

    // A stopped voice at position 0 holding silence in that format; 0 when the request
    // is unusable (no channels, rate 0, size beyond reason).
    VoiceId create(const PcmFormat& format, size_t size);
    bool write(VoiceId voice, const uint8_t* data, size_t size);
    VoiceId duplicate(VoiceId voice);
    void release(VoiceId voice);
    void clear();
    bool has(VoiceId voice) const { return find(voice) != nullptr; }

    void play(VoiceId voice, bool looped);
    void stop(VoiceId voice);
    void setPosition(VoiceId voice, uint32_t bytes);
    uint32_t position(VoiceId voice) const;
    bool isPlaying(VoiceId voice) const;
    bool isLooping(VoiceId voice) const;
    void setFrequency(VoiceId voice, uint32_t hz);
    void setVolume(VoiceId voice, int hundredthsDb);
    void setPan(VoiceId voice, int pan);
    int voiceCount() const { return static_cast<int>(voices_.size()); }
    // The player's volumes, 0..1: music (looped voices) and effects (the others).
    void setGroupGains(float music, float effects) {
        musicGain_ = music;
        effectsGain_ = effects;
    }

    // Moves every sounding voice on by `frames` output frames, producing nothing.
    void advance(uint64_t frames);
    // Writes `frames` interleaved stereo frames (left, right) of signed 16-bit. With
    // audible false the voices run on but the output is silence.
    void mix(int16_t* out, int frames, bool audible);

private:
    struct Samples {
        PcmFormat format;
        uint32_t block = 1;        // bytes per frame of the original data
        uint32_t frames = 0;       // whole frames
        bool audible = true;       // PCM of 8 or 16 bits, one or two channels
        std::vector<int16_t> pcm;  // frames * channels, converted
    };
    float musicGain_ = 1.0f, effectsGain_ = 1.0f;
    struct Voice {
        std::shared_ptr<Samples> samples;
        bool playing = false;
        bool looped = false;
        uint64_t frame = 0;  // position in source frames
        uint64_t frac = 0;   // and outputRate-ths of a frame
        uint32_t frequency = 0;
        int volume = 0, pan = 0;
        float gainL = 1.0f, gainR = 1.0f;
    };

    Voice* find(VoiceId id);
    const Voice* find(VoiceId id) const;
    uint32_t rateOf(const Voice& v) const;
    // Wraps or ends a voice that has run past its samples; false when it ended.
    static bool wrap(Voice& v);
    static void updateGains(Voice& v);

    uint32_t outputRate_;
    std::map<VoiceId, Voice> voices_;
    VoiceId lastId_ = 0;
    std::vector<float> acc_;
    SoftLimiter limiter_;
};

}  // namespace platform
