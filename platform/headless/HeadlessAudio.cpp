// Headless audio: no device. Every voice keeps its state on the platform's clock, so a
// one-shot voice stops by itself once its samples' duration has passed and a looped voice
// sounds until it is stopped. Also home of the process-wide audio device accessor.
#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "platform/Audio.h"
#include "platform/Platform.h"

namespace platform {

namespace {

// Larger buffers than this are refused: no sound of the game comes near it, and a broken
// format record must not turn into an allocation of gigabytes.
constexpr size_t kMaxBufferBytes = size_t(64) << 20;

struct Samples {
    PcmFormat format;
    std::vector<uint8_t> bytes;
};

struct Voice {
    std::shared_ptr<Samples> samples;
    bool playing = false;
    bool looped = false;
    uint32_t startTick = 0;  // clock when play began
    uint32_t startPos = 0;   // byte position when play began
    uint32_t pos = 0;        // byte position while stopped
    uint32_t frequency = 0;
    int volume = 0;
    int pan = 0;
};

uint32_t blockOf(const PcmFormat& f) {
    if (f.blockAlign) return f.blockAlign;
    uint32_t b = uint32_t(f.channels) * ((f.bitsPerSample + 7u) / 8u);
    return b ? b : 1;
}

class HeadlessAudio : public AudioDevice, public HeadlessAudioControl {
public:
    explicit HeadlessAudio(Platform& platform) : platform_(platform) {}

    bool isHeadless() const override { return true; }

    bool open() override {
        if (openFails_) return false;
        ++openCount_;
        return true;
    }
    void close() override {
        if (openCount_ == 0) return;
        if (--openCount_ == 0) {
            voices_.clear();
            primary_ = false;
        }
    }
    bool isOpen() const override { return openCount_ > 0; }
    void setCooperativeLevel(bool, bool) override {}
    bool createPrimary() override {
        if (!isOpen() || primaryFails_) return false;
        primary_ = true;
        return true;
    }

    VoiceId createBuffer(const PcmFormat& format, size_t size) override {
        if (!isOpen() || createFails_) return 0;
        if (format.channels == 0 || format.sampleRate == 0 || size > kMaxBufferBytes) return 0;
        auto s = std::make_shared<Samples>();
        s->format = format;
        s->bytes.assign(size, format.bitsPerSample == 8 ? 0x80 : 0x00);
        Voice v;
        v.samples = std::move(s);
        return add(std::move(v));
    }
    bool writeBuffer(VoiceId id, const uint8_t* data, size_t size) override {
        Voice* v = find(id);
        if (!v || writeFails_) return false;
        size_t n = std::min(size, v->samples->bytes.size());
        if (n) std::copy(data, data + n, v->samples->bytes.begin());
        return true;
    }
    VoiceId duplicate(VoiceId id) override {
        Voice* v = find(id);
        if (!v || createFails_) return 0;
        Voice copy;
        copy.samples = v->samples;
        return add(std::move(copy));
    }
    void release(VoiceId id) override { voices_.erase(id); }

    void play(VoiceId id, bool looped) override {
        Voice* v = find(id);
        if (!v) return;
        ++playCount_;
        uint32_t p = current(*v);
        if (v->samples->bytes.empty()) {
            v->playing = false;
            return;
        }
        v->playing = true;
        v->looped = looped;
        v->startTick = platform_.ticks();
        v->startPos = p;
    }
    void stop(VoiceId id) override {
        Voice* v = find(id);
        if (!v) return;
        v->pos = current(*v);
        v->playing = false;
    }
    void setPosition(VoiceId id, uint32_t bytes) override {
        Voice* v = find(id);
        if (!v) return;
        uint32_t size = static_cast<uint32_t>(v->samples->bytes.size());
        uint32_t b = std::min(bytes, size);
        b -= b % blockOf(v->samples->format);
        current(*v);
        if (v->playing) {
            v->startTick = platform_.ticks();
            v->startPos = b;
        }
        v->pos = b;
    }
    uint32_t position(VoiceId id) override {
        Voice* v = find(id);
        return v ? current(*v) : 0;
    }
    bool isPlaying(VoiceId id) override {
        Voice* v = find(id);
        if (!v) return false;
        current(*v);
        return v->playing;
    }
    bool isLooping(VoiceId id) override {
        Voice* v = find(id);
        if (!v) return false;
        current(*v);
        return v->playing && v->looped;
    }
    void setFrequency(VoiceId id, uint32_t hz) override {
        Voice* v = find(id);
        if (!v) return;
        // Re-anchor the running playback so that the new rate counts from now on.
        uint32_t p = current(*v);
        if (v->playing) {
            v->startTick = platform_.ticks();
            v->startPos = p;
        }
        v->frequency = hz;
    }
    void setVolume(VoiceId id, int volume) override {
        if (Voice* v = find(id)) v->volume = volume;
    }
    void setPan(VoiceId id, int pan) override {
        if (Voice* v = find(id)) v->pan = pan;
    }

    void wait(uint32_t ms) override { platform_.waitEvents(ms); }
    int voiceCount() const override { return static_cast<int>(voices_.size()); }

    // --- test hooks ---
    void setOpenFails(bool fails) override { openFails_ = fails; }
    void setPrimaryFails(bool fails) override { primaryFails_ = fails; }
    void setCreateFails(bool fails) override { createFails_ = fails; }
    void setWriteFails(bool fails) override { writeFails_ = fails; }
    int playCount() const override { return playCount_; }

private:
    VoiceId add(Voice&& v) {
        VoiceId id = ++lastId_;
        voices_.emplace(id, std::move(v));
        return id;
    }
    Voice* find(VoiceId id) {
        auto it = voices_.find(id);
        return it == voices_.end() ? nullptr : &it->second;
    }

    // Brings the voice up to the clock and returns its byte position.
    uint32_t current(Voice& v) {
        if (!v.playing) return v.pos;
        const PcmFormat& f = v.samples->format;
        uint64_t size = v.samples->bytes.size();
        uint64_t rate = v.frequency ? v.frequency : f.sampleRate;
        uint64_t block = blockOf(f);
        uint64_t elapsedMs = uint32_t(platform_.ticks() - v.startTick);  // wraps like the clock
        uint64_t played = elapsedMs * rate / 1000 * block;
        if (v.looped) {
            return static_cast<uint32_t>(size ? (v.startPos + played) % size : 0);
        }
        if (v.startPos + played >= size) {
            v.playing = false;
            v.pos = 0;
            return 0;
        }
        return static_cast<uint32_t>(v.startPos + played);
    }

    Platform& platform_;
    std::map<VoiceId, Voice> voices_;
    VoiceId lastId_ = 0;
    int openCount_ = 0;
    bool primary_ = false;
    bool openFails_ = false, primaryFails_ = false, createFails_ = false, writeFails_ = false;
    int playCount_ = 0;
};

AudioDevice* g_audio = nullptr;
// Devices made on first use for a running platform; never destroyed, because sound
// buffers may still be released through them while the program shuts down.
std::vector<std::pair<Platform*, AudioDevice*>>& madeDevices() {
    static auto* made = new std::vector<std::pair<Platform*, AudioDevice*>>();
    return *made;
}

}  // namespace

std::unique_ptr<AudioDevice> createHeadlessAudio(Platform& platform) {
    return std::make_unique<HeadlessAudio>(platform);
}

HeadlessAudioControl* headlessAudioControl(AudioDevice& device) {
    return dynamic_cast<HeadlessAudioControl*>(&device);
}

AudioDevice* currentAudio() {
    if (g_audio) return g_audio;
    if (!hasCurrent()) return nullptr;
    Platform* p = &current();
    for (auto& m : madeDevices())
        if (m.first == p && m.second->isHeadless() == p->isHeadless()) return m.second;
    AudioDevice* d = p->isHeadless() ? createHeadlessAudio(*p).release() : createSdlAudio().release();
    madeDevices().emplace_back(p, d);
    return d;
}

void setCurrentAudio(AudioDevice* device) {
    g_audio = device;
}

}  // namespace platform
