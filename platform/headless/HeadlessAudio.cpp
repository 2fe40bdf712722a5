// Headless audio: no device. Every voice runs on the platform's clock, so a one-shot voice
// stops by itself once its samples' duration has passed and a looped voice sounds until it
// is stopped. Also home of the process-wide audio device accessor.
#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "platform/Audio.h"
#include "platform/Mixer.h"
#include "platform/OpenCount.h"
#include "platform/Platform.h"

namespace platform {

namespace {

// The voices run on our mixer at an output rate of one frame per millisecond of the
// platform's clock; nothing is summed, they only move on.
constexpr uint32_t kClockRate = 1000;

class HeadlessAudio : public AudioDevice, public HeadlessAudioControl {
public:
    explicit HeadlessAudio(Platform& platform) : platform_(platform), mixer_(kClockRate) {}

    bool isHeadless() const override { return true; }

    bool open() override {
        if (openFails_) return false;
        if (!users_.join()) {
            synced_ = platform_.ticks();
            users_.opened();
        }
        return true;
    }
    void close() override {
        if (users_.leave()) {
            mixer_.clear();
            primary_ = false;
        }
    }
    bool isOpen() const override { return users_.isOpen(); }
    void setCooperativeLevel(bool, bool) override {}
    bool createPrimary() override {
        if (!isOpen() || primaryFails_) return false;
        primary_ = true;
        return true;
    }

    VoiceId createBuffer(const PcmFormat& format, size_t size) override {
        if (!isOpen() || createFails_) return 0;
        sync();
        return mixer_.create(format, size);
    }
    bool writeBuffer(VoiceId id, const uint8_t* data, size_t size) override {
        if (writeFails_) return false;
        return mixer_.write(id, data, size);
    }
    VoiceId duplicate(VoiceId id) override {
        if (createFails_) return 0;
        sync();
        return mixer_.duplicate(id);
    }
    void release(VoiceId id) override { mixer_.release(id); }

    void play(VoiceId id, bool looped) override {
        if (!mixer_.has(id)) return;
        ++playCount_;
        sync();
        mixer_.play(id, looped);
    }
    void stop(VoiceId id) override {
        sync();
        mixer_.stop(id);
    }
    void setPosition(VoiceId id, uint32_t bytes) override {
        sync();
        mixer_.setPosition(id, bytes);
    }
    uint32_t position(VoiceId id) override {
        sync();
        return mixer_.position(id);
    }
    bool isPlaying(VoiceId id) override {
        sync();
        return mixer_.isPlaying(id);
    }
    bool isLooping(VoiceId id) override {
        sync();
        return mixer_.isLooping(id);
    }
    void setFrequency(VoiceId id, uint32_t hz) override {
        sync();
        mixer_.setFrequency(id, hz);
    }
    void setVolume(VoiceId id, int volume) override { mixer_.setVolume(id, volume); }
    void setPan(VoiceId id, int pan) override { mixer_.setPan(id, pan); }

    void wait(uint32_t ms) override { platform_.waitEvents(ms); }
    int voiceCount() const override { return mixer_.voiceCount(); }

    // --- test hooks ---
    void setOpenFails(bool fails) override { openFails_ = fails; }
    void setPrimaryFails(bool fails) override { primaryFails_ = fails; }
    void setCreateFails(bool fails) override { createFails_ = fails; }
    void setWriteFails(bool fails) override { writeFails_ = fails; }
    int playCount() const override { return playCount_; }

private:
    // Brings every voice up to the clock (which wraps like a 32-bit system clock).
    void sync() {
        const uint32_t now = platform_.ticks();
        mixer_.advance(uint32_t(now - synced_));
        synced_ = now;
    }

    Platform& platform_;
    Mixer mixer_;
    uint32_t synced_ = 0;
    OpenCount users_;
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
    AudioDevice* d = p->isHeadless() ? createHeadlessAudio(*p).release() : createWindowedAudio().release();
    madeDevices().emplace_back(p, d);
    return d;
}

void setCurrentAudio(AudioDevice* device) {
    g_audio = device;
}

}  // namespace platform
