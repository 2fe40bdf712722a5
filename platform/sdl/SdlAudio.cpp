// SDL audio: our mixer (platform/Mixer.h) on the SDL audio callback, 16-bit stereo at the
// device's rate. Voices are unlimited, so every copy of a wave gets its own.
#include <SDL.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>

#include "platform/Audio.h"
#include "platform/Mixer.h"
#include "platform/OpenCount.h"

namespace platform {

namespace {

constexpr int kDeviceRate = 44100;

// While the sound library looks for a device, what its drivers print (the ALSA library's
// chatter about missing cards) goes nowhere: the player is told once, in our own words.
class QuietStandardError {
public:
    QuietStandardError() {
        std::fflush(stderr);
        saved_ = dup(2);
        const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0) dup2(null, 2);
        if (null >= 0) close(null);
    }
    ~QuietStandardError() {
        std::fflush(stderr);
        if (saved_ >= 0) {
            dup2(saved_, 2);
            close(saved_);
        }
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved_ = -1;
};

class SdlAudio : public AudioDevice {
public:
    ~SdlAudio() override {
        if (users_.leaveAll()) closeDevice();
    }

    bool isHeadless() const override { return false; }

    bool open() override {
        if (users_.join()) return true;
        bool opened;
        {
            QuietStandardError quiet;
            opened = openDevice();
        }
        // No device: said once, and the game plays on without sound.
        if (!opened && !saidSilent_) {
            std::fprintf(stderr, "orbita: no sound device; the game plays silently\n");
            saidSilent_ = true;
        }
        return opened;
    }

    bool openDevice() {
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
        mixer_ = std::make_unique<Mixer>(have.freq > 0 ? uint32_t(have.freq) : uint32_t(kDeviceRate));
        mixer_->setGroupGains(gainOf(musicPercent_), gainOf(effectsPercent_));
        focused_ = true;  // focus changes of the window arrive through the event watch
        SDL_AddEventWatch(&SdlAudio::watch, this);
        users_.opened();
        return true;
    }

    void close() override {
        if (users_.leave()) closeDevice();
    }

    void closeDevice() {
        SDL_DelEventWatch(&SdlAudio::watch, this);
        SDL_CloseAudioDevice(device_);
        device_ = 0;
        mixer_.reset();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool isOpen() const override { return users_.isOpen(); }

    void setCooperativeLevel(bool, bool global) override { global_ = global; }

    bool createPrimary() override {
        if (!isOpen()) return false;
        SDL_PauseAudioDevice(device_, 0);
        return true;
    }

    VoiceId createBuffer(const PcmFormat& format, size_t size) override {
        if (!isOpen()) return 0;
        Lock lock(device_);
        return mixer_->create(format, size);
    }
    bool writeBuffer(VoiceId id, const uint8_t* data, size_t size) override {
        Lock lock(device_);
        return mixer_ && mixer_->write(id, data, size);
    }
    VoiceId duplicate(VoiceId id) override {
        Lock lock(device_);
        return mixer_ ? mixer_->duplicate(id) : 0;
    }
    void release(VoiceId id) override {
        Lock lock(device_);
        if (mixer_) mixer_->release(id);
    }
    void play(VoiceId id, bool looped) override {
        Lock lock(device_);
        if (mixer_) mixer_->play(id, looped);
    }
    void stop(VoiceId id) override {
        Lock lock(device_);
        if (mixer_) mixer_->stop(id);
    }
    void setPosition(VoiceId id, uint32_t bytes) override {
        Lock lock(device_);
        if (mixer_) mixer_->setPosition(id, bytes);
    }
    uint32_t position(VoiceId id) override {
        Lock lock(device_);
        return mixer_ ? mixer_->position(id) : 0;
    }
    bool isPlaying(VoiceId id) override {
        Lock lock(device_);
        return mixer_ && mixer_->isPlaying(id);
    }
    bool isLooping(VoiceId id) override {
        Lock lock(device_);
        return mixer_ && mixer_->isLooping(id);
    }
    void setFrequency(VoiceId id, uint32_t hz) override {
        Lock lock(device_);
        if (mixer_) mixer_->setFrequency(id, hz);
    }
    void setVolume(VoiceId id, int volume) override {
        Lock lock(device_);
        if (mixer_) mixer_->setVolume(id, volume);
    }
    void setPlayerVolumes(int music, int effects) override {
        musicPercent_ = std::clamp(music, 0, 100);
        effectsPercent_ = std::clamp(effects, 0, 100);
        Lock lock(device_);
        if (mixer_) mixer_->setGroupGains(gainOf(musicPercent_), gainOf(effectsPercent_));
    }
    void setPan(VoiceId id, int pan) override {
        Lock lock(device_);
        if (mixer_) mixer_->setPan(id, pan);
    }

    void wait(uint32_t ms) override { SDL_Delay(ms); }

    int voiceCount() const override { return mixer_ ? mixer_->voiceCount() : 0; }

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

    static int SDLCALL watch(void* userdata, SDL_Event* e) {
        auto* self = static_cast<SdlAudio*>(userdata);
        if (e->type == SDL_WINDOWEVENT) {
            if (e->window.event == SDL_WINDOWEVENT_FOCUS_GAINED) self->focused_ = true;
            if (e->window.event == SDL_WINDOWEVENT_FOCUS_LOST) self->focused_ = false;
        }
        return 1;
    }

    // Runs on the audio thread with the device lock held by SDL.
    static void SDLCALL callback(void* userdata, Uint8* stream, int len) {
        auto* self = static_cast<SdlAudio*>(userdata);
        auto* out = reinterpret_cast<int16_t*>(stream);
        if (!self->mixer_) {
            std::fill(out, out + len / 2, int16_t(0));
            return;
        }
        self->mixer_->mix(out, len / 4, self->global_ || self->focused_);
    }

    SDL_AudioDeviceID device_ = 0;
    OpenCount users_;
    bool saidSilent_ = false;
    int musicPercent_ = 100, effectsPercent_ = 100;
    // Percent to a gain that sounds even: the square of the share.
    static float gainOf(int percent) { return float(percent) * float(percent) / 10000.0f; }
    std::atomic<bool> focused_{true};
    std::atomic<bool> global_{false};
    std::unique_ptr<Mixer> mixer_;
};

}  // namespace

std::unique_ptr<AudioDevice> createSdlAudio() {
    return std::make_unique<SdlAudio>();
}

}  // namespace platform
