// Web Audio: our mixer (platform/Mixer.h) feeding an AudioWorklet of the page's audio
// context, 16-bit stereo turned into the browser's float samples. The worklet runs on the
// browser's audio thread and keeps a few thousand frames queued; when its queue runs low it
// asks the page's thread, where the mixer lives, for more. Browsers start a context only
// after the person has clicked, touched or pressed a key, so the context is made at the
// first such gesture, at the mixer's rate; before that nothing is mixed. A gain node after
// the worklet is the page's mute and volume control. Everything of ours runs on the page's
// one thread: no locks.
#include <emscripten.h>

#include <memory>
#include <vector>

#include "platform/Audio.h"
#include "platform/Mixer.h"
#include "platform/OpenCount.h"

// clang-format off
// The mixer's sample rate, 0 when the browser has no Web Audio or no AudioWorklet. `mix` is
// called with a frame count and returns the address of that many interleaved 16-bit stereo
// frames.
EM_JS(int, orbita_audio_open, (void* mix), {
    var Context = (typeof window != "undefined") && (window.AudioContext || window.webkitAudioContext);
    if (!Context || typeof AudioWorkletNode != "function") return 0;
    var rate = 48000;
    var mixer = getWasmTableEntry(mix);
    var worklet = [
        "class OrbitaOutput extends AudioWorkletProcessor {",
        "  constructor() { super(); this.queue = []; this.at = 0; this.queued = 0; this.asked = 0; this.played = 0;",
        "    this.port.onmessage = (e) => { this.asked -= e.data.length / 2; this.queued += e.data.length / 2; this.queue.push(e.data); }; }",
        "  process(inputs, outputs) {",
        "    var left = outputs[0][0], right = outputs[0][1] || outputs[0][0], n = left.length, i = 0;",
        "    while (i < n && this.queue.length) {",
        "      var q = this.queue[0];",
        "      while (i < n && this.at < q.length) { left[i] = q[this.at]; right[i] = q[this.at + 1]; this.at += 2; ++i; }",
        "      if (this.at >= q.length) { this.queue.shift(); this.at = 0; }",
        "    }",
        "    this.queued -= i; this.played += i;",
        "    for (; i < n; ++i) left[i] = right[i] = 0;",
        "    if (this.queued + this.asked < 4096) { this.asked += 1024; this.port.postMessage({need: 1024, played: this.played}); }",
        "    return true;",
        "  }",
        "}",
        "registerProcessor('orbita-output', OrbitaOutput);"].join("\n");
    var a = {context: null, node: null, gain: null, frames: 0, closed: false};
    a.start = function() {
        if (a.closed) return;
        if (a.context) { if (a.context.state != "running") a.context.resume(); return; }
        try { a.context = new Context({sampleRate: rate}); } catch (e) { a.closed = true; return; }
        var url = URL.createObjectURL(new Blob([worklet], {type: "application/javascript"}));
        a.context.audioWorklet.addModule(url).then(function() {
            URL.revokeObjectURL(url);
            if (a.closed) return;
            a.node = new AudioWorkletNode(a.context, "orbita-output", {numberOfInputs: 0, numberOfOutputs: 1,
                                                                        outputChannelCount: [2]});
            a.gain = a.context.createGain();
            a.gain.gain.value = Module["orbitaSound"] ? Module["orbitaSound"]() : 1;
            a.node.port.onmessage = function(ev) {
                var n = ev.data.need;
                var at = mixer(n) >> 1;
                var out = new Float32Array(2 * n);
                for (var i = 0; i < 2 * n; ++i) out[i] = HEAP16[at + i] / 32768;
                a.frames += n;
                a.node.port.postMessage(out, [out.buffer]);
            };
            a.node.connect(a.gain);
            a.gain.connect(a.context.destination);
        }).catch(function() { URL.revokeObjectURL(url); });
    };
    ["pointerdown", "keydown", "touchstart"].forEach(function(t) { window.addEventListener(t, a.start, true); });
    Module.orbitaAudio = a;
    return rate;
});

EM_JS(void, orbita_audio_close, (), {
    var a = Module.orbitaAudio;
    if (!a) return;
    a.closed = true;
    ["pointerdown", "keydown", "touchstart"].forEach(function(t) { window.removeEventListener(t, a.start, true); });
    if (a.node) { a.node.port.onmessage = null; a.node.disconnect(); }
    if (a.context) a.context.close();
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
        if (users_.leaveAll()) closeDevice();
    }

    bool isHeadless() const override { return false; }

    bool open() override {
        if (users_.join()) return true;
        if (g_open) return false;  // the page has one output
        const int rate = orbita_audio_open(reinterpret_cast<void*>(&WebAudio::mixForPage));
        if (rate <= 0) return false;
        mixer_ = std::make_unique<Mixer>(static_cast<uint32_t>(rate));
        users_.opened();
        g_open = this;
        return true;
    }
    void close() override {
        if (users_.leave()) closeDevice();
    }
    void closeDevice() {
        orbita_audio_close();
        g_open = nullptr;
        mixer_.reset();
    }
    bool isOpen() const override { return users_.isOpen(); }
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

    OpenCount users_;
    bool global_ = false;
    std::unique_ptr<Mixer> mixer_;
};

}  // namespace

std::unique_ptr<AudioDevice> createWebAudio() { return std::make_unique<WebAudio>(); }

}  // namespace platform
