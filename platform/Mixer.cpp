#include "platform/Mixer.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

constexpr float kFullScale = 32768.0f;
constexpr double kReleaseSeconds = 0.08;

float dbToGain(int hundredths) {
    if (hundredths <= -10000) return 0.0f;
    return static_cast<float>(std::pow(10.0, hundredths / 2000.0));
}

}  // namespace

// ---------------------------------------------------------------------------------------
// SoftLimiter

SoftLimiter::SoftLimiter(uint32_t sampleRate)
    : release_(static_cast<float>(1.0 - std::exp(-1.0 / (kReleaseSeconds * std::max<uint32_t>(sampleRate, 1))))) {}

float SoftLimiter::curve(float peak) {
    if (peak <= kThreshold) return peak;
    // Slope 1 at the threshold, flattening towards the ceiling.
    const float room = kCeiling - kThreshold;
    return kThreshold + room * std::tanh((peak - kThreshold) / room) * 0.999f;
}

void SoftLimiter::process(float& left, float& right) {
    const float peak = std::max(std::fabs(left), std::fabs(right));
    const float target = peak > kThreshold ? curve(peak) / peak : 1.0f;
    // At once down to what this frame needs; slowly back up. The gain is never above the
    // target of the frame it is applied to, so no frame exceeds the curve.
    if (target < gain_) {
        gain_ = target;
    } else {
        gain_ += (target - gain_) * release_;
        if (target - gain_ < 1e-4f) gain_ = target;  // home: quiet sound is untouched again
    }
    left *= gain_;
    right *= gain_;
}

// ---------------------------------------------------------------------------------------
// Mixer

Mixer::Mixer(uint32_t outputRate) : outputRate_(std::max<uint32_t>(outputRate, 1)), limiter_(outputRate_) {}

Mixer::Voice* Mixer::find(VoiceId id) {
    auto it = voices_.find(id);
    return it == voices_.end() ? nullptr : &it->second;
}

const Mixer::Voice* Mixer::find(VoiceId id) const {
    auto it = voices_.find(id);
    return it == voices_.end() ? nullptr : &it->second;
}

VoiceId Mixer::create(const PcmFormat& format, size_t size) {
    if (format.channels == 0 || format.sampleRate == 0 || size > kMaxBufferBytes) return 0;
    auto s = std::make_shared<Samples>();
    s->format = format;
    const uint32_t natural = uint32_t(format.channels) * ((format.bitsPerSample + 7u) / 8u);
    s->block = format.blockAlign ? format.blockAlign : (natural ? natural : 1);
    s->frames = static_cast<uint32_t>(size / s->block);
    s->audible = format.formatTag == 1 && (format.bitsPerSample == 8 || format.bitsPerSample == 16) &&
                 format.channels <= 2 && s->block >= natural;
    s->pcm.assign(s->audible ? size_t(s->frames) * format.channels : 0, 0);
    Voice v;
    v.samples = std::move(s);
    const VoiceId id = ++lastId_;
    voices_.emplace(id, std::move(v));
    return id;
}

bool Mixer::write(VoiceId id, const uint8_t* data, size_t size) {
    Voice* v = find(id);
    if (!v) return false;
    Samples& s = *v->samples;
    if (!s.audible || !data) return true;
    const uint32_t ch = s.format.channels;
    const uint32_t frames = static_cast<uint32_t>(std::min<size_t>(s.frames, size / s.block));
    for (uint32_t f = 0; f < frames; ++f) {
        const uint8_t* src = data + size_t(f) * s.block;
        for (uint32_t c = 0; c < ch; ++c) {
            int16_t value;
            if (s.format.bitsPerSample == 8)
                value = static_cast<int16_t>((int(src[c]) - 128) * 256);
            else
                value = static_cast<int16_t>(uint16_t(src[2 * c]) | (uint16_t(src[2 * c + 1]) << 8));
            s.pcm[size_t(f) * ch + c] = value;
        }
    }
    return true;
}

VoiceId Mixer::duplicate(VoiceId id) {
    Voice* v = find(id);
    if (!v) return 0;
    Voice copy;
    copy.samples = v->samples;
    const VoiceId nid = ++lastId_;
    voices_.emplace(nid, std::move(copy));
    return nid;
}

void Mixer::release(VoiceId id) { voices_.erase(id); }

void Mixer::clear() { voices_.clear(); }

void Mixer::play(VoiceId id, bool looped) {
    Voice* v = find(id);
    if (!v || v->samples->frames == 0) return;
    v->playing = true;
    v->looped = looped;
    v->frac = 0;  // a playback counts from the whole frame it starts on
}

void Mixer::stop(VoiceId id) {
    if (Voice* v = find(id)) {
        v->playing = false;
        v->frac = 0;
    }
}

void Mixer::setPosition(VoiceId id, uint32_t bytes) {
    Voice* v = find(id);
    if (!v) return;
    v->frame = std::min<uint64_t>(bytes / v->samples->block, v->samples->frames);
    v->frac = 0;
}

uint32_t Mixer::position(VoiceId id) const {
    const Voice* v = find(id);
    return v ? static_cast<uint32_t>(v->frame * v->samples->block) : 0;
}

bool Mixer::isPlaying(VoiceId id) const {
    const Voice* v = find(id);
    return v && v->playing;
}

bool Mixer::isLooping(VoiceId id) const {
    const Voice* v = find(id);
    return v && v->playing && v->looped;
}

void Mixer::setFrequency(VoiceId id, uint32_t hz) {
    if (Voice* v = find(id)) {
        v->frequency = hz;
        v->frac = 0;  // the new rate counts from the current whole frame
    }
}

void Mixer::updateGains(Voice& v) {
    const float g = dbToGain(v.volume);
    v.gainL = g * (v.pan > 0 ? dbToGain(-v.pan) : 1.0f);
    v.gainR = g * (v.pan < 0 ? dbToGain(v.pan) : 1.0f);
}

void Mixer::setVolume(VoiceId id, int hundredthsDb) {
    if (Voice* v = find(id)) {
        v->volume = std::clamp(hundredthsDb, -10000, 0);
        updateGains(*v);
    }
}

void Mixer::setPan(VoiceId id, int pan) {
    if (Voice* v = find(id)) {
        v->pan = std::clamp(pan, -10000, 10000);
        updateGains(*v);
    }
}

uint32_t Mixer::rateOf(const Voice& v) const { return v.frequency ? v.frequency : v.samples->format.sampleRate; }

bool Mixer::wrap(Voice& v) {
    const uint64_t end = v.samples->frames;
    if (v.frame < end) return true;
    if (v.looped && end) {
        v.frame %= end;
        return true;
    }
    v.playing = false;
    v.frame = 0;
    v.frac = 0;
    return false;
}

void Mixer::advance(uint64_t frames) {
    for (auto& entry : voices_) {
        Voice& v = entry.second;
        if (!v.playing || frames == 0) continue;
        const uint64_t total = v.frac + frames * rateOf(v);
        v.frame += total / outputRate_;
        v.frac = total % outputRate_;
        wrap(v);
    }
}

void Mixer::mix(int16_t* out, int frames, bool audible) {
    if (frames <= 0) return;
    acc_.assign(size_t(frames) * 2, 0.0f);
    for (auto& entry : voices_) {
        Voice& v = entry.second;
        if (!v.playing) continue;
        const Samples& s = *v.samples;
        const uint32_t rate = rateOf(v);
        const uint64_t whole = rate / outputRate_;
        const uint64_t part = rate % outputRate_;
        const uint32_t ch = s.audible ? s.format.channels : 0;
        // The player's volumes: looped voices are the music, the others the effects.
        const float group = v.looped ? musicGain_ : effectsGain_;
        const float gl = v.gainL * group / kFullScale;
        const float gr = v.gainR * group / kFullScale;
        for (int f = 0; f < frames; ++f) {
            if (!wrap(v)) break;
            if (ch) {
                const size_t i = size_t(v.frame) * ch;
                const float l = s.pcm[i];
                const float r = ch == 2 ? s.pcm[i + 1] : l;
                acc_[size_t(f) * 2] += l * gl;
                acc_[size_t(f) * 2 + 1] += r * gr;
            }
            v.frame += whole;
            v.frac += part;
            if (v.frac >= outputRate_) {
                v.frac -= outputRate_;
                ++v.frame;
            }
        }
        if (v.playing) wrap(v);
    }
    for (int f = 0; f < frames; ++f) {
        float l = acc_[size_t(f) * 2];
        float r = acc_[size_t(f) * 2 + 1];
        limiter_.process(l, r);
        if (!audible) l = r = 0.0f;
        out[size_t(f) * 2] = static_cast<int16_t>(std::clamp(std::lrint(l * kFullScale), -32768L, 32767L));
        out[size_t(f) * 2 + 1] = static_cast<int16_t>(std::clamp(std::lrint(r * kFullScale), -32768L, 32767L));
    }
}

}  // namespace platform
