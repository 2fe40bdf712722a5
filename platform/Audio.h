// Audio voices: buffers of PCM samples that play once or looped, stop (keeping their
// position), rewind and report whether they still sound. Two back-ends: `sdl` mixes the
// voices on the SDL audio callback; `headless` has no device and runs every voice on the
// platform's virtual clock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {

class Platform;

// Format of a buffer's samples, as the wave's format record gives it.
struct PcmFormat {
    uint16_t formatTag = 1;  // 1 = PCM; other tags are held but play silently
    uint16_t channels = 1;
    uint32_t sampleRate = 22050;
    uint16_t blockAlign = 1;
    uint16_t bitsPerSample = 8;  // PCM: 8 (unsigned) or 16 (signed)
};

using VoiceId = int;  // 0: no voice

class AudioDevice {
public:
    virtual ~AudioDevice() = default;

    virtual bool isHeadless() const = 0;

    // Opens the output; false when there is no usable device (the caller then plays
    // nothing). Opening an open device only counts the user; close() undoes one open().
    virtual bool open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Exclusive or normal access; global: voices stay audible while the application is
    // in the background (otherwise only while it has the input focus).
    virtual void setCooperativeLevel(bool exclusive, bool global) = 0;
    // Starts the mixing output (the primary buffer); false when it cannot be made.
    virtual bool createPrimary() = 0;

    // A stopped voice at position 0 holding `size` bytes of silence in that format;
    // 0 when it cannot be made (closed device, unusable format, size beyond reason).
    virtual VoiceId createBuffer(const PcmFormat& format, size_t size) = 0;
    // Copies the samples in (at most the buffer's size); false when the buffer cannot be
    // written.
    virtual bool writeBuffer(VoiceId voice, const uint8_t* data, size_t size) = 0;
    // A new stopped voice at position 0 that shares the samples of `voice`; 0 on failure.
    virtual VoiceId duplicate(VoiceId voice) = 0;
    virtual void release(VoiceId voice) = 0;

    // Starts from the current position; a one-shot voice stops by itself at the end of
    // its samples (and its position returns to 0), a looped one plays until stopped.
    virtual void play(VoiceId voice, bool looped) = 0;
    // Stops, keeping the position.
    virtual void stop(VoiceId voice) = 0;
    // Position in bytes of the samples (clamped to the size).
    virtual void setPosition(VoiceId voice, uint32_t bytes) = 0;
    virtual uint32_t position(VoiceId voice) = 0;
    virtual bool isPlaying(VoiceId voice) = 0;
    virtual bool isLooping(VoiceId voice) = 0;
    // 0 = the samples' own rate.
    virtual void setFrequency(VoiceId voice, uint32_t hz) = 0;
    // Hundredths of a decibel: 0 full, -10000 silent.
    virtual void setVolume(VoiceId voice, int volume) = 0;
    // -10000 left .. 0 centre .. 10000 right.
    virtual void setPan(VoiceId voice, int pan) = 0;
    // The player's volumes in percent (0..100): music (looped voices) and effects.
    virtual void setPlayerVolumes(int music, int effects) {
        (void)music;
        (void)effects;
    }

    // Waits `ms` milliseconds (headless: the virtual clock advances by that much).
    virtual void wait(uint32_t ms) = 0;

    // Number of voices that exist (for tests and diagnostics).
    virtual int voiceCount() const = 0;
};

// The device the media layer uses. When none has been set and a platform is running,
// one of the matching kind (headless, or the windowed back-end's) is made on first use and kept.
AudioDevice* currentAudio();
// Sets the device the media layer uses; the caller keeps ownership. nullptr returns to
// the automatic choice above.
void setCurrentAudio(AudioDevice* device);

std::unique_ptr<AudioDevice> createSdlAudio();
std::unique_ptr<AudioDevice> createWebAudio();  // built only for the browser
// The output of the back-end with a real display: sdl on the desktop, Web Audio in the browser.
std::unique_ptr<AudioDevice> createWindowedAudio();
std::unique_ptr<AudioDevice> createHeadlessAudio(Platform& platform);

// Test hooks of the headless back-end.
class HeadlessAudioControl {
public:
    virtual ~HeadlessAudioControl() = default;
    virtual void setOpenFails(bool fails) = 0;     // open() reports no device
    virtual void setPrimaryFails(bool fails) = 0;  // createPrimary() fails
    virtual void setCreateFails(bool fails) = 0;   // createBuffer()/duplicate() fail
    virtual void setWriteFails(bool fails) = 0;    // writeBuffer() fails
    // Voices started so far (play calls), for checking what was heard.
    virtual int playCount() const = 0;
};
HeadlessAudioControl* headlessAudioControl(AudioDevice& device);  // nullptr unless headless

}  // namespace platform
