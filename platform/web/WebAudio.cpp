// Web Audio: our mixer (platform/Mixer.h) feeding a script processor of the page's audio
// context, 16-bit stereo at the context's rate turned into the browser's float samples.
// Browsers start a context only after the person has clicked or pressed a key, so the
// context waits, suspended, and the page resumes it on the first such gesture. Everything
// runs on the page's one thread: no locks.
#include <emscripten.h>

#include <memory>
#include <vector>

#include "platform/Audio.h"
#include "platform/Mixer.h"

// clang-format off
// The context's sample rate, 0 when the browser has no Web Audio. `mix` is called with a
// frame count and returns the address of that many interleaved 16-bit stereo frames.
EM_JS(int, orbita_audio_open, (void* mix), {
    var Context = (typeof window != "undefined") && (window.AudioContext || window.webkitAudioContext);
    if (!Context) return 0;
    var ctx;
    try { ctx = new Context(); } catch (e) { return 0; }
    var node = ctx.createScriptProcessor(2048, 0, 2);
    var mixer = getWasmTableEntry(mix);
    node.onaudioprocess = function(ev) {
        var left = ev.outputBuffer.getChannelData(0), right = ev.outputBuffer.getChannelData(1);
        var n = left.length;
        var at = mixer(n) >> 1;
        for (var i = 0; i < n; ++i) {
            left[i] = HEAP16[at + 2 * i] / 32768;
            right[i] = HEAP16[at + 2 * i + 1] / 32768;
        }
    };
    node.connect(ctx.destination);
    var resume = function() { if (ctx.state != "running") ctx.resume(); };
    ["pointerdown", "keydown", "touchstart"].forEach(function(t) { window.addEventListener(t, resume, true); });
    Module.orbitaAudio = {context: ctx, node: node, resume: resume};
    return ctx.sampleRate | 0;
});

EM_JS(void, orbita_audio_close, (), {
    var a = Module.orbitaAudio;
    if (!a) return;
    ["pointerdown", "keydown", "touchstart"].forEach(function(t) { window.removeEventListener(t, a.resume, true); });
    a.node.disconnect();
    a.context.close();
    Module.orbitaAudio = null;
});

// clang-format on

namespace platform {

// Whether the page has the focus, as the web back-end last heard (WebPlatform.cpp).
bool webPageFocused();

namespace {

class WebAudio;
WebAudio* g_open = nullptr;  // the device the page's audio callback mixes for

class WebAudio : public AudioDevice {
public:
    ~WebAudio() override {
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
        if (g_open) return false;  // the page has one output
        const int rate = orbita_audio_open(reinterpret_cast<void*>(&WebAudio::mixForPage));
        if (rate <= 0) return false;
        mixer_ = std::make_unique<Mixer>(static_cast<uint32_t>(rate));
        openCount_ = 1;
        g_open = this;
        return true;
    }
    void close() override {
        if (openCount_ == 0) return;
        if (--openCount_ > 0) return;
        orbita_audio_close();
        g_open = nullptr;
        mixer_.reset();
    }
    bool isOpen() const override { return openCount_ > 0; }
    void setCooperativeLevel(bool, bool global) override { global_ = global; }
    bool createPrimary() override { return isOpen(); }

    VoiceId createBuffer(const PcmFormat& format, size_t size) override {
        return mixer_ ? mixer_->create(format, size) : 0;
    }
    bool writeBuffer(VoiceId id, const uint8_t* data, size_t size) override {
        return mixer_ && mixer_->write(id, data, size);
    }
    VoiceId duplicate(VoiceId id) override { return mixer_ ? mixer_->duplicate(id) : 0; }
    void release(VoiceId id) override {
        if (mixer_) mixer_->release(id);
    }
    void play(VoiceId id, bool looped) override {
        if (mixer_) mixer_->play(id, looped);
    }
    void stop(VoiceId id) override {
        if (mixer_) mixer_->stop(id);
    }
    void setPosition(VoiceId id, uint32_t bytes) override {
        if (mixer_) mixer_->setPosition(id, bytes);
    }
    uint32_t position(VoiceId id) override { return mixer_ ? mixer_->position(id) : 0; }
    bool isPlaying(VoiceId id) override { return mixer_ && mixer_->isPlaying(id); }
    bool isLooping(VoiceId id) override { return mixer_ && mixer_->isLooping(id); }
    void setFrequency(VoiceId id, uint32_t hz) override {
        if (mixer_) mixer_->setFrequency(id, hz);
    }
    void setVolume(VoiceId id, int volume) override {
        if (mixer_) mixer_->setVolume(id, volume);
    }
    void setPan(VoiceId id, int pan) override {
        if (mixer_) mixer_->setPan(id, pan);
    }
    // A page cannot block; nothing of the game waits for a sound to end.
    void wait(uint32_t) override {}
    int voiceCount() const override { return mixer_ ? mixer_->voiceCount() : 0; }

private:
    static int mixForPage(int frames) {
        static std::vector<int16_t> out;
        if (frames < 0) frames = 0;
        out.assign(static_cast<size_t>(frames) * 2, 0);
        if (g_open && g_open->mixer_)
            g_open->mixer_->mix(out.data(), frames, g_open->global_ || webPageFocused());
        return static_cast<int>(reinterpret_cast<intptr_t>(out.data()));
    }

    int openCount_ = 0;
    bool global_ = false;
    std::unique_ptr<Mixer> mixer_;
};

}  // namespace

std::unique_ptr<AudioDevice> createWebAudio() { return std::make_unique<WebAudio>(); }

}  // namespace platform
