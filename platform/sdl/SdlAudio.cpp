// SDL audio: a small mixer of our own on the SDL audio callback. Every buffer's samples
// are converted once to signed 16-bit at their own rate; the callback resamples each
// sounding voice to the device rate, applies volume and pan and sums into 16-bit stereo.
// Voices are unlimited, so every copy of a wave gets its own.
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

#include "platform/Audio.h"

namespace platform {

namespace {

constexpr size_t kMaxBufferBytes = size_t(64) << 20;
constexpr int kDeviceRate = 44100;

struct Samples {
    PcmFormat format;
    uint32_t block = 1;   // bytes per frame of the original data
    uint32_t frames = 0;  // whole frames
    bool audible = true;  // PCM of 8 or 16 bits; anything else plays silence
    std::vector<int16_t> pcm;  // frames * channels, converted
};

struct Voice {
    std::shared_ptr<Samples> samples;
    bool playing = false;
    bool looped = false;
    uint64_t pos = 0;  // frame position, 32.32 fixed point
    uint32_t frequency = 0;
    float gainL = 1.0f, gainR = 1.0f;
    int volume = 0, pan = 0;
};

float dbToGain(int hundredths) {
    if (hundredths <= -10000) return 0.0f;
    return static_cast<float>(std::pow(10.0, hundredths / 2000.0));
}

class SdlAudio : public AudioDevice {
public:
    ~SdlAudio() override {
        if (openCount_ > 0) {
            openCount_ = 1;
            close();
        }
    }

    bool isHeadless() const override { return false; }

    bool open() override {
        if (openCount_ > 0) {
            ++openCount_;
            return true;
        }
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        SDL_AudioSpec want{};
        SDL_AudioSpec have{};
        want.freq = kDeviceRate;
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = 512;
        want.callback = &SdlAudio::callback;
        want.userdata = this;
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
        if (device_ == 0) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        rate_ = have.freq > 0 ? have.freq : kDeviceRate;
        focused_ = true;  // focus changes of the window arrive through the event watch
        SDL_AddEventWatch(&SdlAudio::watch, this);
        openCount_ = 1;
        return true;
    }

    void close() override {
        if (openCount_ == 0) return;
        if (--openCount_ > 0) return;
        SDL_DelEventWatch(&SdlAudio::watch, this);
        SDL_CloseAudioDevice(device_);
        device_ = 0;
        voices_.clear();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool isOpen() const override { return openCount_ > 0; }

    void setCooperativeLevel(bool, bool global) override { global_ = global; }

    bool createPrimary() override {
        if (!isOpen()) return false;
        SDL_PauseAudioDevice(device_, 0);
        return true;
    }

    VoiceId createBuffer(const PcmFormat& format, size_t size) override {
        if (!isOpen() || format.channels == 0 || format.sampleRate == 0 || size > kMaxBufferBytes) return 0;
        auto s = std::make_shared<Samples>();
        s->format = format;
        uint32_t natural = uint32_t(format.channels) * ((format.bitsPerSample + 7u) / 8u);
        s->block = format.blockAlign ? format.blockAlign : (natural ? natural : 1);
        s->frames = static_cast<uint32_t>(size / s->block);
        s->audible = format.formatTag == 1 && (format.bitsPerSample == 8 || format.bitsPerSample == 16) &&
                     format.channels <= 2 && s->block >= natural;
        s->pcm.assign(size_t(s->frames) * (s->audible ? format.channels : 1), 0);
        Voice v;
        v.samples = std::move(s);
        Lock lock(device_);
        VoiceId id = ++lastId_;
        voices_.emplace(id, std::move(v));
        return id;
    }

    bool writeBuffer(VoiceId id, const uint8_t* data, size_t size) override {
        Lock lock(device_);
        Voice* v = find(id);
        if (!v) return false;
        Samples& s = *v->samples;
        if (!s.audible) return true;
        const uint32_t ch = s.format.channels;
        const uint32_t frames = static_cast<uint32_t>(std::min<size_t>(s.frames, size / s.block));
        for (uint32_t f = 0; f < frames; ++f) {
            const uint8_t* src = data + size_t(f) * s.block;
            for (uint32_t c = 0; c < ch; ++c) {
                int16_t value;
                if (s.format.bitsPerSample == 8) {
                    value = static_cast<int16_t>((int(src[c]) - 128) * 256);
                } else {
                    value = static_cast<int16_t>(uint16_t(src[2 * c]) | (uint16_t(src[2 * c + 1]) << 8));
                }
                s.pcm[size_t(f) * ch + c] = value;
            }
        }
        return true;
    }

    VoiceId duplicate(VoiceId id) override {
        Lock lock(device_);
        Voice* v = find(id);
        if (!v) return 0;
        Voice copy;
        copy.samples = v->samples;
        VoiceId nid = ++lastId_;
        voices_.emplace(nid, std::move(copy));
        return nid;
    }

    void release(VoiceId id) override {
        std::shared_ptr<Samples> keep;  // freed outside the lock
        Lock lock(device_);
        auto it = voices_.find(id);
        if (it == voices_.end()) return;
        keep = std::move(it->second.samples);
        voices_.erase(it);
    }

    void play(VoiceId id, bool looped) override {
        Lock lock(device_);
        Voice* v = find(id);
        if (!v || v->samples->frames == 0) return;
        v->playing = true;
        v->looped = looped;
    }
    void stop(VoiceId id) override {
        Lock lock(device_);
        if (Voice* v = find(id)) v->playing = false;
    }
    void setPosition(VoiceId id, uint32_t bytes) override {
        Lock lock(device_);
        Voice* v = find(id);
        if (!v) return;
        uint64_t frame = std::min<uint64_t>(bytes / v->samples->block, v->samples->frames);
        v->pos = frame << 32;
    }
    uint32_t position(VoiceId id) override {
        Lock lock(device_);
        Voice* v = find(id);
        if (!v) return 0;
        return static_cast<uint32_t>((v->pos >> 32) * v->samples->block);
    }
    bool isPlaying(VoiceId id) override {
        Lock lock(device_);
        Voice* v = find(id);
        return v && v->playing;
    }
    bool isLooping(VoiceId id) override {
        Lock lock(device_);
        Voice* v = find(id);
        return v && v->playing && v->looped;
    }
    void setFrequency(VoiceId id, uint32_t hz) override {
        Lock lock(device_);
        if (Voice* v = find(id)) v->frequency = hz;
    }
    void setVolume(VoiceId id, int volume) override {
        Lock lock(device_);
        if (Voice* v = find(id)) {
            v->volume = std::clamp(volume, -10000, 0);
            updateGains(*v);
        }
    }
    void setPan(VoiceId id, int pan) override {
        Lock lock(device_);
        if (Voice* v = find(id)) {
            v->pan = std::clamp(pan, -10000, 10000);
            updateGains(*v);
        }
    }

    void wait(uint32_t ms) override { SDL_Delay(ms); }

    int voiceCount() const override { return static_cast<int>(voices_.size()); }

private:
    // Holds the audio device's lock (no-op while the device is closed).
    struct Lock {
        explicit Lock(SDL_AudioDeviceID d) : dev(d) {
            if (dev) SDL_LockAudioDevice(dev);
        }
        ~Lock() {
            if (dev) SDL_UnlockAudioDevice(dev);
        }
        SDL_AudioDeviceID dev;
    };

    Voice* find(VoiceId id) {
        auto it = voices_.find(id);
        return it == voices_.end() ? nullptr : &it->second;
    }

    static void updateGains(Voice& v) {
        float g = dbToGain(v.volume);
        v.gainL = g * (v.pan > 0 ? dbToGain(-v.pan) : 1.0f);
        v.gainR = g * (v.pan < 0 ? dbToGain(v.pan) : 1.0f);
    }

    static int SDLCALL watch(void* userdata, SDL_Event* e) {
        auto* self = static_cast<SdlAudio*>(userdata);
        if (e->type == SDL_WINDOWEVENT) {
            if (e->window.event == SDL_WINDOWEVENT_FOCUS_GAINED) self->focused_ = true;
            if (e->window.event == SDL_WINDOWEVENT_FOCUS_LOST) self->focused_ = false;
        }
        return 1;
    }

    static void SDLCALL callback(void* userdata, Uint8* stream, int len) {
        static_cast<SdlAudio*>(userdata)->mix(reinterpret_cast<int16_t*>(stream), len / 4);
    }

    // Runs on the audio thread with the device lock held by SDL.
    void mix(int16_t* out, int frames) {
        acc_.assign(size_t(frames) * 2, 0);
        const bool audible = global_ || focused_;
        for (auto& entry : voices_) {
            Voice& v = entry.second;
            if (!v.playing) continue;
            const Samples& s = *v.samples;
            const uint32_t rate = v.frequency ? v.frequency : s.format.sampleRate;
            const uint64_t step = (uint64_t(rate) << 32) / uint64_t(rate_);
            const uint64_t end = uint64_t(s.frames) << 32;
            const uint32_t ch = s.audible ? s.format.channels : 0;
            const float gl = audible ? v.gainL : 0.0f;
            const float gr = audible ? v.gainR : 0.0f;
            for (int f = 0; f < frames; ++f) {
                if (v.pos >= end) {
                    if (v.looped && end) {
                        v.pos %= end;
                    } else {
                        v.playing = false;
                        v.pos = 0;
                        break;
                    }
                }
                if (ch) {
                    size_t i = size_t(v.pos >> 32) * ch;
                    float l = s.pcm[i];
                    float r = ch == 2 ? s.pcm[i + 1] : l;
                    acc_[size_t(f) * 2] += static_cast<int32_t>(l * gl);
                    acc_[size_t(f) * 2 + 1] += static_cast<int32_t>(r * gr);
                }
                v.pos += step;
            }
        }
        for (size_t i = 0; i < acc_.size(); ++i)
            out[i] = static_cast<int16_t>(std::clamp<int32_t>(acc_[i], -32768, 32767));
    }

    SDL_AudioDeviceID device_ = 0;
    int openCount_ = 0;
    int rate_ = kDeviceRate;
    std::atomic<bool> focused_{true};
    std::atomic<bool> global_{false};
    std::map<VoiceId, Voice> voices_;
    VoiceId lastId_ = 0;
    std::vector<int32_t> acc_;
};

}  // namespace

std::unique_ptr<AudioDevice> createSdlAudio() {
    return std::make_unique<SdlAudio>();
}

}  // namespace platform
