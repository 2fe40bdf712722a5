// Sound effects and music: oscillators, noise, envelopes and a small sequencer, rendered at
// 22 050 Hz mono. Effects are 16-bit, music 8-bit. Loops are rendered on a circular buffer, so
// the tails of the last notes sound over the start of the loop and the seam does not click.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "tools/assets/Assets.h"
#include "tools/assets/Noise.h"

namespace assets {
namespace {

constexpr double kRate = 22050.0;
constexpr double kTau = 2 * M_PI;

using Samples = std::vector<double>;

double MidiHz(double m) { return 440.0 * std::pow(2.0, (m - 69) / 12.0); }

// Mastering levels: effects and the stone cues near -6 dBFS, music near -9 dBFS. The mixer sums
// everything that plays, so these leave it headroom.
constexpr double kEffectDbfs = -6.0;
constexpr double kMusicDbfs = -9.0;

double FromDbfs(double db) { return std::pow(10.0, db / 20.0); }

// Removes the mean. Only for loops: a constant shift keeps their seam continuous, while a one-shot
// must keep starting and ending at silence.
void RemoveDc(Samples& s) {
    if (s.empty()) return;
    double mean = 0;
    for (double v : s) mean += v;
    mean /= double(s.size());
    for (double& v : s) v -= mean;
}

// Peak-normalises to `peakDbfs` and converts to PCM bytes. 8-bit samples are rounded to the level
// nearest to 128 + 127 v, so the written peak is within half a step of the target.
std::shared_ptr<media::TWave> ToWave(Samples s, int bits, double peakDbfs, bool loop = false) {
    if (loop) RemoveDc(s);
    double m = 1e-9;
    for (double v : s) m = std::max(m, std::fabs(v));
    const double g = FromDbfs(peakDbfs) / m;
    auto w = std::make_shared<media::TWave>();
    w->Format.BitsPerSample = static_cast<uint16_t>(bits);
    w->Format.BlockAlign = static_cast<uint16_t>(bits / 8);
    w->Format.AvgBytesPerSec = static_cast<uint32_t>(kRate) * (bits / 8);
    w->Format.SamplesPerSec = static_cast<uint32_t>(kRate);
    for (double v : s) {
        v = std::clamp(v * g, -1.0, 1.0);
        if (bits == 16) {
            int16_t q = static_cast<int16_t>(std::lround(v * 32767));
            w->Data.push_back(static_cast<uint8_t>(q & 0xFF));
            w->Data.push_back(static_cast<uint8_t>((q >> 8) & 0xFF));
        } else {
            w->Data.push_back(static_cast<uint8_t>(std::clamp<long>(std::lround(128 + v * 127), 0, 255)));
        }
    }
    return w;
}

std::shared_ptr<media::TWave> Effect(Samples s) { return ToWave(std::move(s), 16, kEffectDbfs); }
std::shared_ptr<media::TWave> Music(Samples s, bool loop) { return ToWave(std::move(s), 8, kMusicDbfs, loop); }

media::WaveItemData WaveItem(const std::string& name, std::shared_ptr<media::TWave> w) {
    media::WaveItemData it;
    it.Name = name;
    it.Wave = std::move(w);
    return it;
}

// Simple one-pole low-pass.
struct LowPass {
    double y = 0;
    double Step(double x, double cutoffHz) {
        double a = 1 - std::exp(-kTau * cutoffHz / kRate);
        y += a * (x - y);
        return y;
    }
};

double Saw(double ph) { return 2 * (ph - std::floor(ph + 0.5)); }
// A pulse wave of the given duty, shifted so that its mean is zero: a narrow pulse carries no
// constant offset into the mix.
double Square(double ph, double duty = 0.5) { return ((ph - std::floor(ph)) < duty ? 1.0 : -1.0) + (1 - 2 * duty); }
double Tri(double ph) { double f = ph - std::floor(ph); return f < 0.5 ? 4 * f - 1 : 3 - 4 * f; }

// Fades the first and last few milliseconds so a one-shot starts and ends at silence.
void EdgeFade(Samples& s, int in = 40, int out = 200) {
    for (int i = 0; i < in && i < int(s.size()); ++i) s[i] *= double(i) / in;
    for (int i = 0; i < out && i < int(s.size()); ++i) s[s.size() - 1 - i] *= double(i) / out;
}

// ---------------------------------------------------------------- effects

Samples Shot(size_t n) {  // "kul": a short bright blaster shot
    Samples s(n);
    double ph = 0, ph2 = 0;
    Rng r(11);
    LowPass lp;
    for (size_t i = 0; i < n; ++i) {
        double t = i / kRate;
        double f = 180 + 1500 * std::exp(-t * 18);
        ph += f / kRate;
        ph2 += f * 1.5 / kRate;
        double env = std::exp(-t * 9) * std::min(1.0, t * 800);
        double v = 0.6 * Square(ph, 0.3) + 0.3 * Saw(ph2);
        double noise = lp.Step(r.Range(-1, 1), 4000) * std::exp(-t * 60);
        s[i] = (v * env + 0.6 * noise) * 0.8;
    }
    EdgeFade(s);
    return s;
}

// A deep blast that thumps: a short band-limited crack, a sub-bass punch falling from 110 to
// 40 Hz, a body of low-passed noise whose filter closes as it dies away, and a rumble under it
// to the end. Most of the energy lies below a few hundred hertz.
Samples Explosion(size_t n, uint32_t seed, double length) {
    Samples s(n);
    Rng r(seed);
    LowPass crack1, crack2, body1, body2, body3, rum1, rum2, dc;
    double ph = 0, ph2 = 0;
    for (size_t i = 0; i < n; ++i) {
        double t = i / kRate;
        double attack = std::min(1.0, t * 400);
        double crack = crack2.Step(crack1.Step(r.Range(-1, 1), 1500), 1500) * std::exp(-t * 60);
        double f = 40 + 70 * std::exp(-t * 14);
        ph += f / kRate;
        ph2 += f * 1.5 / kRate;
        double punch = (std::sin(kTau * ph) + 0.25 * std::sin(kTau * ph2)) * std::exp(-t * 4.0 / length);
        double cutoff = 110 + 700 * std::exp(-t * 7 / length);
        double body = body3.Step(body2.Step(body1.Step(r.Range(-1, 1), cutoff), cutoff), cutoff) * std::exp(-t * 2.6 / length);
        double rumble = rum2.Step(rum1.Step(r.Range(-1, 1), 90), 90) * std::min(1.0, t * 8) * std::exp(-t * 1.8 / length);
        double v = attack * (0.8 * crack + 1.1 * punch + 7.0 * body + 9.0 * rumble);
        s[i] = v - dc.Step(v, 20);  // nothing below 20 Hz: a drift only eats headroom
    }
    EdgeFade(s, 20, 1500);
    return s;
}

Samples Rocket(size_t n, double f0, double f1, uint32_t seed) {  // a rocket leaving its tube
    Samples s(n);
    Rng r(seed);
    LowPass lp, lp2;
    double ph = 0;
    for (size_t i = 0; i < n; ++i) {
        double t = double(i) / n;
        double env = std::min(1.0, t * 12) * std::pow(1 - t, 1.6);
        double cut = 600 + 3500 * t;
        double hiss = r.Range(-1, 1);
        double band = lp.Step(hiss, cut) - lp2.Step(hiss, cut * 0.35);
        double f = f0 + (f1 - f0) * t;
        ph += f / kRate;
        s[i] = env * (1.6 * band + 0.25 * Tri(ph) + 0.15 * std::sin(kTau * ph * 2.01));
    }
    EdgeFade(s);
    return s;
}

Samples Laser(size_t n, double f0, double f1, double wobble, double decay) {  // a beam
    Samples s(n);
    double ph = 0, lfo = 0, ph2 = 0;
    LowPass lp;
    for (size_t i = 0; i < n; ++i) {
        double t = double(i) / n;
        lfo += (18 + 12 * t) / kRate;
        double f = (f0 * std::pow(f1 / f0, t)) * (1 + wobble * std::sin(kTau * lfo));
        ph += f / kRate;
        ph2 += f * 1.007 / kRate;
        double env = std::min(1.0, t * 60) * std::pow(1 - t, decay);
        double v = 0.5 * Saw(ph) + 0.5 * Saw(ph2) + 0.3 * std::sin(kTau * ph * 0.5);
        s[i] = env * lp.Step(v, 2500 + 3000 * (1 - t));
    }
    EdgeFade(s);
    return s;
}

Samples Release(size_t n) {  // "pust": the pod unlatching, a hiss and a docking clunk
    Samples s(n);
    Rng r(77);
    LowPass lp, lp2;
    double ph = 0;
    for (size_t i = 0; i < n; ++i) {
        double t = i / kRate;
        double clunk = std::sin(kTau * ph) * std::exp(-t * 30);
        ph += (90 + 200 * std::exp(-t * 40)) / kRate;
        double metal = std::sin(kTau * 1310 * t) * std::exp(-t * 25) * 0.3 + std::sin(kTau * 2117 * t) * std::exp(-t * 32) * 0.2;
        double hissEnv = std::min(1.0, t * 30) * std::exp(-t * 6);
        double hiss = r.Range(-1, 1);
        double hi = hiss - lp.Step(hiss, 2500);
        double clunk2 = 0;
        double t2 = t - 0.32;
        if (t2 > 0) clunk2 = std::sin(kTau * 140 * t2) * std::exp(-t2 * 35) * 0.8 + lp2.Step(r.Range(-1, 1), 900) * std::exp(-t2 * 50);
        s[i] = clunk + metal + 0.5 * hi * hissEnv + clunk2;
    }
    EdgeFade(s);
    return s;
}

// ---------------------------------------------------------------- sequencer

enum class Inst { Bass, Lead, Pad, Arp, Bell, Kick, Snare, Hat, Organ, Pluck, Flute };

struct Note {
    double beat;
    double len;
    double midi;
    Inst inst;
    double vel;
};

double InstrumentSample(Inst inst, double t, double len, double hz, double& ph, double& ph2, LowPass& lp, Rng& r) {
    ph += hz / kRate;
    ph2 += hz * 1.006 / kRate;
    double rel = std::max(0.0, t - len);
    switch (inst) {
    case Inst::Bass: {
        double env = std::min(1.0, t * 200) * (t < len ? 1.0 : std::exp(-rel * 40)) * (0.7 + 0.3 * std::exp(-t * 8));
        return env * lp.Step(Saw(ph) + 0.5 * Square(ph * 0.5), 350 + 1400 * std::exp(-t * 10));
    }
    case Inst::Lead: {
        double env = std::min(1.0, t * 60) * (t < len ? 0.8 + 0.2 * std::exp(-t * 4) : std::exp(-rel * 14));
        return env * lp.Step(0.6 * Square(ph, 0.25) + 0.4 * Saw(ph2), 2600);
    }
    case Inst::Pad: {
        double env = std::min(1.0, t * 2.5) * (t < len ? 1.0 : std::exp(-rel * 3));
        return env * lp.Step(Saw(ph) + Saw(ph2) + 0.5 * Saw(ph * 0.997), 900);
    }
    case Inst::Arp: {
        double env = std::min(1.0, t * 300) * std::exp(-t * 9) * (t < len ? 1.0 : std::exp(-rel * 30));
        return env * Square(ph, 0.125 + 0.1 * std::sin(t * 3));
    }
    case Inst::Bell: {
        double env = std::min(1.0, t * 400) * std::exp(-t * 2.2);
        return env * (std::sin(kTau * ph) + 0.4 * std::sin(kTau * ph * 2.76) * std::exp(-t * 4) + 0.2 * std::sin(kTau * ph * 5.4) * std::exp(-t * 8));
    }
    case Inst::Organ: {
        double env = std::min(1.0, t * 40) * (t < len ? 1.0 : std::exp(-rel * 12));
        return env * (std::sin(kTau * ph) + 0.5 * std::sin(kTau * ph * 2) + 0.3 * std::sin(kTau * ph * 3) + 0.2 * Tri(ph2 * 4));
    }
    case Inst::Pluck: {
        double env = std::min(1.0, t * 500) * std::exp(-t * 5);
        return env * lp.Step(Saw(ph) + 0.3 * Square(ph2), 300 + 4000 * std::exp(-t * 14));
    }
    case Inst::Flute: {  // a mellow lead: triangle and sine with a late, gentle vibrato
        double vib = 1 + 0.004 * std::min(1.0, t * 3) * std::sin(kTau * 5.2 * t);
        ph += hz * (vib - 1) / kRate;
        double env = std::min(1.0, t * 40) * (t < len ? 0.85 + 0.15 * std::exp(-t * 6) : std::exp(-rel * 10));
        return env * lp.Step(0.7 * Tri(ph) + 0.5 * std::sin(kTau * ph) + 0.12 * Saw(ph2), 1800);
    }
    case Inst::Kick: {
        double f = 45 + 110 * std::exp(-t * 30);
        ph += f / kRate - hz / kRate;
        return std::sin(kTau * ph) * std::exp(-t * 9) * 1.4;
    }
    case Inst::Snare: {
        double n = r.Range(-1, 1);
        return (0.9 * (n - lp.Step(n, 1500)) * std::exp(-t * 16) + 0.5 * std::sin(kTau * 190 * t) * std::exp(-t * 25));
    }
    case Inst::Hat: {
        double n = r.Range(-1, 1);
        return 0.5 * (n - lp.Step(n, 6000)) * std::exp(-t * 45);
    }
    }
    return 0;
}

double Gain(Inst i) {
    switch (i) {
    case Inst::Bass: return 0.55;
    case Inst::Lead: return 0.32;
    case Inst::Pad: return 0.14;
    case Inst::Arp: return 0.15;
    case Inst::Bell: return 0.25;
    case Inst::Organ: return 0.16;
    case Inst::Pluck: return 0.28;
    case Inst::Flute: return 0.34;
    case Inst::Kick: return 0.7;
    case Inst::Snare: return 0.45;
    case Inst::Hat: return 0.35;
    }
    return 0.3;
}

// Renders notes into a buffer of n samples; with `loop` the tails wrap around to the start.
Samples Render(const std::vector<Note>& notes, double bpm, size_t n, bool loop, uint32_t seed) {
    Samples out(n, 0.0);
    const double spb = 60.0 / bpm * kRate;
    Rng r(seed);
    for (const auto& nt : notes) {
        const double hz = MidiHz(nt.midi);
        const double lenS = nt.len * spb / kRate;
        double tail = 0.25;
        if (nt.inst == Inst::Pad) tail = 1.2;
        if (nt.inst == Inst::Bell) tail = 1.8;
        const size_t count = static_cast<size_t>((lenS + tail) * kRate);
        const size_t start = static_cast<size_t>(nt.beat * spb);
        double ph = 0, ph2 = 0.3;
        LowPass lp;
        const double g = Gain(nt.inst) * nt.vel;
        for (size_t i = 0; i < count; ++i) {
            size_t at = start + i;
            if (at >= n) {
                if (!loop) break;
                at %= n;
            }
            out[at] += g * InstrumentSample(nt.inst, i / kRate, lenS, hz, ph, ph2, lp, r);
        }
    }
    return out;
}

// A-minor family: chord roots as semitones above A; the themes share the key of the menu music
// that sounds under them.
struct Theme {
    double bpm;
    std::vector<int> chords;  // one per bar, semitones from A (0 = Am, 8 = F, 10 = G, 3 = C, 5 = Dm, 7 = Em)
    int bars;
    uint32_t seed;
    int style;  // 0 driving, 1 sparse/eerie, 2 heroic, 3 industrial, 4 calm
    // A theme laid over the menu music, which carries the bass and the drums, leaves them out
    // and keeps its pad low: at whatever moment it starts, two bass lines would only rumble.
    bool layer = false;
};

// Chord tones (minor or major triad by the diatonic degree in A minor).
std::vector<int> Triad(int root) {
    bool minor = (root == 0 || root == 5 || root == 7 || root == 2);
    return {root, root + (minor ? 3 : 4), root + 7};
}

std::vector<Note> Compose(const Theme& th) {
    std::vector<Note> notes;
    Rng r(th.seed);
    static const int scale[] = {0, 2, 3, 5, 7, 8, 10};  // A natural minor
    auto scaleNote = [&](int degree) {
        int oct = degree >= 0 ? degree / 7 : (degree - 6) / 7;
        int d = degree - oct * 7;
        return 12 * oct + scale[d];
    };
    // A melody motif of 8 steps, reused with variations: the tune has a recognisable shape.
    std::vector<int> motif(8);
    int deg = 7;
    for (auto& m : motif) { deg += r.Int(5) - 2; deg = std::clamp(deg, 3, 12); m = deg; }
    const int A2 = 45;
    for (int bar = 0; bar < th.bars; ++bar) {
        int root = th.chords[bar % th.chords.size()];
        auto tri = Triad(root);
        double b0 = bar * 4.0;
        // Bass (a layer has the menu music's).
        if (th.layer) {
            // none
        } else if (th.style == 4) {
            notes.push_back({b0, 3.8, double(A2 + root - (root > 6 ? 12 : 0)), Inst::Bass, 0.8});
        } else if (th.style == 1) {  // a slow pulse on the beat
            for (int q = 0; q < 4; ++q) notes.push_back({b0 + q, 0.7, double(A2 + root - (root > 6 ? 12 : 0)), Inst::Bass, q ? 0.6 : 0.8});
        } else {
            for (int e = 0; e < 8; ++e) {
                int n = A2 + root - (root > 6 ? 12 : 0) + ((e % 4 == 3 && th.style == 0) ? 12 : 0);
                if (th.style == 3 && e % 2 == 1) n += 7;
                notes.push_back({b0 + e * 0.5, 0.4, double(n), Inst::Bass, e % 2 ? 0.75 : 1.0});
            }
        }
        // Pad chord.
        for (int t : tri) notes.push_back({b0, 4.0, double(57 + t - (root > 6 ? 12 : 0)), Inst::Pad, (th.style == 1 ? 1.2 : 0.9) * (th.layer ? 0.5 : 1.0)});
        // Arpeggio.
        if (th.style != 4) {
            int steps = th.style == 1 ? 4 : (th.style == 0 ? 16 : 8);
            for (int e = 0; e < steps; ++e) {
                int n = 69 + tri[e % 3] + (e / 3 % 2) * 12 - (root > 6 ? 12 : 0);
                notes.push_back({b0 + e * (4.0 / steps), 4.0 / steps, double(n), th.style == 1 ? Inst::Bell : Inst::Arp, 0.9});
            }
        }
        // Melody: the motif in phrases of four bars, rests in the first phrase of each eight.
        bool melodyBar = (bar % 8) >= 2 || th.style == 2;
        if (melodyBar) {
            int variant = (bar / 4) % 2;
            for (int e = 0; e < 8; ++e) {
                if ((e == 3 || e == 7) && r.Uniform() < 0.5) continue;
                int d = motif[(e + bar) % 8] + (variant ? (e % 2) : 0);
                int n = 57 + scaleNote(d);
                // Land on a chord tone on the strong beats.
                if (e % 4 == 0) {
                    int best = n, bd = 99;
                    for (int t : tri)
                        for (int o = -24; o <= 24; o += 12) {
                            int c = 57 + t + o;
                            if (std::abs(c - n) < bd) { bd = std::abs(c - n); best = c; }
                        }
                    n = best;
                }
                // A layer's tune keeps to the A-minor pentatonic scale (B up to C, F down to E):
                // it has no half step against any chord the menu music may be on.
                if (th.layer) {
                    const int pc = ((n - 57) % 12 + 12) % 12;
                    if (pc == 2) n += 1;
                    if (pc == 8) n -= 1;
                }
                double len = (e % 4 == 3) ? 0.9 : 0.45;
                Inst inst = th.style == 3 ? Inst::Organ : (th.style == 4 ? Inst::Pluck : Inst::Lead);
                if (th.style == 1) inst = Inst::Bell;
                notes.push_back({b0 + e * 0.5, len, double(n + 12), inst, 0.9});
            }
        }
    }
    return notes;
}

Samples Loop(const Theme& th) {
    const double beats = th.bars * 4.0;
    const size_t n = static_cast<size_t>(std::lround(beats * 60.0 / th.bpm * kRate));
    return Render(Compose(th), th.bpm, n, true, th.seed + 5);
}

// A loop for a cue that the level restarts in every frame for a second or more before letting it
// play: it opens with 1.2 s of a slowly swelling pad only, so the restarts are hardly heard, and
// it is not wrapped, so its start carries no tail of its end; it fades to silence before the seam.
Samples SoftStartLoop(const Theme& th) {
    const double beats = th.bars * 4.0;
    const size_t n = static_cast<size_t>(std::lround(beats * 60.0 / th.bpm * kRate));
    const double leadBeats = 1.2 * th.bpm / 60.0;
    std::vector<Note> notes;
    for (const Note& nt : Compose(th))
        if (nt.beat >= leadBeats || nt.inst == Inst::Pad) notes.push_back(nt);
    Samples s = Render(notes, th.bpm, n, false, th.seed + 5);
    const size_t in = static_cast<size_t>(1.2 * kRate), out = static_cast<size_t>(0.4 * kRate);
    for (size_t i = 0; i < in && i < n; ++i) s[i] *= std::pow(double(i) / in, 2);
    for (size_t i = 0; i < out && i < n; ++i) s[n - 1 - i] *= double(i) / out;
    return s;
}

// The second item of the lists whose levels no cue plays it from (the story's and levels 1 to
// 4): a ping of two bells of the A-minor pentatonic scale, the first chosen by the seed, its own for every
// list and only 0.3 s long, since every level's file is downloaded before it starts in the
// browser.
Samples Filler(uint32_t seed) {
    static const int penta[] = {69, 72, 74, 76, 79, 81};
    const int first = penta[seed % 6];
    std::vector<Note> notes = {{0, 0.2, double(first), Inst::Bell, 0.8}, {0.25, 0.3, seed % 2 ? 76.0 : 81.0, Inst::Bell, 0.7}};
    Samples s = Render(notes, 140, static_cast<size_t>(kRate * 0.3), false, seed);
    EdgeFade(s, 20, 1500);
    return s;
}

// The beat every loop laid over the menu music shares: the menu loop's 532 225 samples hold
// twelve bars of four beats (119.3 beats a minute, a beat of 0.503 s); the loops the levels and
// their cues lay over it are twelve such bars in A minor, exactly as long, so each pair repeats
// together.
constexpr int kSharedBars = 12;
constexpr double kSharedBpm = 60.0 * kRate * 4 * kSharedBars / 532225;

// The menu music, which plays on under every level: the game's groove. Twelve bars in A minor in
// three phrases of four: the groove alone (Am F C Em) with a plucked arpeggio, the tune over it
// with the backbeat, and its answer over Dm Am F Em with the arpeggio back, a fill in the last bar
// and the Em turning home to the Am of bar 1. Kick on every beat, bass in eighths; a loop-wrapped
// render, so the last bar's tails sound into the first and the seam falls on a bar line.
Samples MenuTune(size_t n) {
    const int chords[kSharedBars] = {0, 8, 3, 7, 0, 8, 3, 7, 5, 0, 8, 7};
    // The tune, (bar, beat in the bar, length in beats, note): bars 4 to 11, soft and mid-high,
    // below the leads of the level loops.
    struct T { int bar; double at, len; int midi; };
    static const T tune[] = {
        {4, 0, 0.5, 64},  {4, 0.5, 0.5, 69}, {4, 1, 1, 72},     {4, 2, 0.5, 71},   {4, 2.5, 1.5, 69},
        {5, 0, 1, 72},    {5, 1, 0.5, 69},   {5, 1.5, 0.5, 72}, {5, 2, 1.5, 76},   {5, 3.5, 0.5, 74},
        {6, 0, 1.5, 72},  {6, 1.5, 0.5, 67}, {6, 2, 1, 76},     {6, 3, 1, 74},
        {7, 0, 1, 74},    {7, 1, 0.5, 71},   {7, 1.5, 0.5, 67}, {7, 2, 1.5, 71},   {7, 3.5, 0.5, 67},
        {8, 0, 0.5, 69},  {8, 0.5, 0.5, 74}, {8, 1, 1, 77},     {8, 2, 0.5, 76},   {8, 2.5, 0.5, 74}, {8, 3, 1, 72},
        {9, 0, 1.5, 76},  {9, 1.5, 0.5, 72}, {9, 2, 1, 69},     {9, 3, 1, 72},
        {10, 0, 0.5, 72}, {10, 0.5, 0.5, 74}, {10, 1, 1, 77},   {10, 2, 0.5, 76},  {10, 2.5, 1.5, 72},
        {11, 0, 1.5, 71}, {11, 1.5, 0.5, 67}, {11, 2, 1, 71},   {11, 3, 1, 64}};
    std::vector<Note> notes;
    for (int bar = 0; bar < kSharedBars; ++bar) {
        const int root = chords[bar];
        const auto tri = Triad(root);
        const double b0 = bar * 4.0;
        const int phrase = bar / 4;
        const int low = 45 + root - (root > 6 ? 12 : 0);
        // Bass: eighths on the root, the octave on the last eighth of each half bar; under the
        // tune root and octave in turn; in the answer the fifth after beat 3.
        for (int e = 0; e < 8; ++e) {
            int m = low + ((phrase == 1 ? e % 2 == 1 : e % 4 == 3) ? 12 : 0);
            if (phrase == 2 && e == 5) m = low + 7;
            notes.push_back({b0 + e * 0.5, 0.35, double(m), Inst::Bass, e == 0 ? 1.0 : (e % 2 ? 0.6 : 0.8)});
        }
        // Pad: the chord held over the bar, quieter while the tune sings.
        for (int t : tri) notes.push_back({b0, 4.0, double(57 + t - (root > 6 ? 12 : 0)), Inst::Pad, phrase == 1 ? 0.6 : 0.8});
        // Plucked arpeggio in the groove and the answer: up in the first, up and down in the third.
        if (phrase != 1) {
            static const int up[8] = {0, 1, 2, 3, 4, 3, 2, 1};
            for (int e = 0; e < 8; ++e) {
                int k = phrase == 0 ? e % 4 : up[e];
                int m = 57 + tri[k % 3] + 12 * (k / 3) - (root > 6 ? 12 : 0);
                notes.push_back({b0 + e * 0.5, 0.3, double(m), Inst::Pluck, phrase == 0 ? 0.55 : 0.4});
            }
        }
        // Drums: kick on every beat (with a push before beat 3 in every other bar), the hats on
        // the off-beats; the backbeat from the second phrase on; a snare fill at the loop's end.
        for (int q = 0; q < 4; ++q) {
            notes.push_back({b0 + q, 0.2, 0, Inst::Kick, q == 0 ? 0.8 : (q == 2 ? 0.68 : 0.6)});
            notes.push_back({b0 + q + 0.5, 0.1, 0, Inst::Hat, 0.55});
            if (phrase == 2) notes.push_back({b0 + q + 0.75, 0.1, 0, Inst::Hat, 0.25});
            if (phrase > 0 && q % 2 == 1) notes.push_back({b0 + q, 0.2, 0, Inst::Snare, 0.6});
        }
        if (bar % 2 == 1) notes.push_back({b0 + 1.75, 0.2, 0, Inst::Kick, 0.4});
        if (bar == kSharedBars - 1)
            for (double f : {3.25, 3.5, 3.75}) notes.push_back({b0 + f, 0.1, 0, Inst::Snare, 0.35 + 0.1 * (f - 3)});
    }
    for (const T& t : tune) notes.push_back({t.bar * 4.0 + t.at, t.len * 0.9, double(t.midi), Inst::Flute, 0.9});
    // The tune's octave echo, softly, in its answer.
    for (const T& t : tune)
        if (t.bar >= 8) notes.push_back({t.bar * 4.0 + t.at, t.len * 0.9, double(t.midi - 12), Inst::Flute, 0.35});
    return Render(notes, kSharedBpm, n, true, 409);
}

Samples EndTune(size_t n) {  // "finish": a triumphant tune that ends on A major
    const double bpm = 112;
    std::vector<Note> notes;
    const int mel[] = {69, 72, 76, 74, 72, 74, 76, 79, 81, 79, 76, 74, 76, 77, 79, 81};
    for (int i = 0; i < 16; ++i) notes.push_back({i * 0.5, i == 15 ? 3.0 : 0.45, double(mel[i] + 12), Inst::Lead, 0.9});
    const int roots[] = {0, 8, 3, 10, 0, 5, 10, 0};
    for (int bar = 0; bar < 4; ++bar) {
        int root = roots[bar * 2];
        auto tri = Triad(root);
        for (int t : tri) notes.push_back({bar * 2.0, 2.0, double(57 + t - (root > 6 ? 12 : 0)), Inst::Pad, 1.0});
        for (int e = 0; e < 4; ++e) notes.push_back({bar * 2.0 + e * 0.5, 0.4, double(45 + root - (root > 6 ? 12 : 0)), Inst::Bass, 1.0});
        notes.push_back({bar * 2.0, 0.2, 0, Inst::Kick, 1});
        notes.push_back({bar * 2.0 + 1, 0.2, 0, Inst::Snare, 1});
    }
    // Final chord: A major, held and ringing.
    for (int t : {0, 4, 7, 12}) {
        notes.push_back({8, 8, double(57 + t), Inst::Pad, 1.2});
        notes.push_back({8, 4, double(69 + t), Inst::Bell, 0.7});
    }
    notes.push_back({8, 6, 33, Inst::Bass, 1.0});
    notes.push_back({8, 0.2, 0, Inst::Kick, 1});
    const int fan[] = {81, 85, 88, 93};
    for (int i = 0; i < 4; ++i) notes.push_back({8 + i * 0.25, i == 3 ? 4.0 : 0.22, double(fan[i]), Inst::Lead, 0.8});
    Samples s = Render(notes, bpm, n, false, 31);
    EdgeFade(s, 20, 22050);
    return s;
}

Samples Swell(size_t n) {  // d4: a soft whoosh of a bouncer passing
    Samples s(n);
    Rng r(44);
    LowPass lp, lp2;
    double ph = 0;
    for (size_t i = 0; i < n; ++i) {
        double t = double(i) / n;
        double env = std::sin(M_PI * std::min(1.0, t * 1.4)) * (t < 0.7 ? 1 : std::max(0.0, (1 - t) / 0.3));
        double noise = r.Range(-1, 1);
        double cut = 500 + 2500 * t;
        double band = lp.Step(noise, cut) - lp2.Step(noise, cut * 0.4);
        ph += (300 + 500 * t) / kRate;
        s[i] = env * (1.5 * band + 0.3 * std::sin(kTau * ph));
    }
    EdgeFade(s, 200, 400);
    return s;
}

// Grinding rock breaking loose: the levels with falling stones (5 and 8) play their item 1
// whenever a stone starts to fall.
Samples StoneStart(size_t n, uint32_t seed) {
    Samples s(n);
    Rng r(seed);
    LowPass lp, lp2, sub;
    for (size_t i = 0; i < n; ++i) {
        double t = i / kRate;
        double crack = (r.Uniform() < 0.02 * std::exp(-t * 3)) ? r.Range(-1, 1) : 0;
        double low = lp2.Step(lp.Step(r.Range(-1, 1), 300), 200);
        double rumble = (low - sub.Step(low, 30)) * 3;  // without the drift below 30 Hz
        double env = std::min(1.0, t * 100) * std::exp(-t * 4);
        s[i] = env * (rumble + crack + 0.3 * std::sin(kTau * 70 * t) * std::exp(-t * 8));
    }
    EdgeFade(s);
    return s;
}

}  // namespace

std::vector<media::WaveItemData> BuildEffects() {
    // Byte counts as the built-in list fixes them (16-bit: two bytes a sample).
    std::vector<media::WaveItemData> w;
    w.push_back(WaveItem("kul", Effect(Shot(21876 / 2))));
    w.push_back(WaveItem("vybuch", Effect(Explosion(49946 / 2, 3, 1.0))));
    w.push_back(WaveItem("raket1", Effect(Rocket(22220 / 2, 120, 480, 21))));
    w.push_back(WaveItem("raket2", Effect(Rocket(17170 / 2, 200, 700, 22))));
    w.push_back(WaveItem("laser", Effect(Laser(20762 / 2, 1600, 300, 0.05, 1.5))));
    w.push_back(WaveItem("laser2", Effect(Laser(44856 / 2, 220, 660, 0.02, 0.8))));
    w.push_back(WaveItem("laser3", Effect(Laser(25244 / 2, 900, 1800, 0.08, 1.2))));
    w.push_back(WaveItem("pust", Effect(Release(22964 / 2))));
    w.push_back(WaveItem("hudba", Music(MenuTune(532225), true)));
    w.push_back(WaveItem("finish", Music(EndTune(233910), false)));
    return w;
}

std::vector<media::WaveItemData> BuildMusic(int level) {
    std::vector<media::WaveItemData> w;
    auto music = [](const Theme& th) { return Music(Loop(th), true); };
    auto filler = [](uint32_t seed) { return Music(Filler(seed), false); };
    // A loop laid over the menu music: its beat, its length, neither bass nor drums.
    auto layer = [](std::vector<int> chords, uint32_t seed, int style) {
        return Theme{kSharedBpm, std::move(chords), kSharedBars, seed, style, true};
    };
    switch (level) {
    case 0:  // story: calm and mysterious
        w.push_back(WaveItem("hudba1", music({84, {0, 8, 3, 10}, 8, 100, 4})));
        w.push_back(WaveItem("hudba2", filler(1)));
        break;
    case 1:
        w.push_back(WaveItem("hudba1", music(layer({0, 0, 8, 10}, 101, 0))));
        w.push_back(WaveItem("hudba2", filler(2)));
        break;
    case 2:
        w.push_back(WaveItem("hudba1", music(layer({0, 5, 8, 7}, 102, 3))));
        w.push_back(WaveItem("hudba2", filler(3)));
        break;
    case 3:
        w.push_back(WaveItem("hudba1", music(layer({0, 10, 8, 7}, 103, 0))));
        w.push_back(WaveItem("hudba2", filler(4)));
        break;
    case 4:
        w.push_back(WaveItem("hudba1", Effect(Swell(static_cast<size_t>(0.3 * kRate)))));
        w.push_back(WaveItem("hudba2", filler(5)));
        break;
    case 5:
        w.push_back(WaveItem("hudba1", music(layer({0, 8, 5, 7}, 105, 1))));
        w.push_back(WaveItem("hudba2", Effect(StoneStart(static_cast<size_t>(0.6 * kRate), 55))));
        break;
    case 6:
        w.push_back(WaveItem("hudba1", music(layer({0, 0, 5, 7}, 106, 3))));
        w.push_back(WaveItem("hudba2", Music(SoftStartLoop(layer({8, 10, 0, 0}, 116, 2)), true)));
        break;
    case 7:
        w.push_back(WaveItem("hudba1", Music(SoftStartLoop(layer({0, 8, 0, 7}, 107, 0)), true)));
        w.push_back(WaveItem("hudba2", music(layer({8, 10, 0, 7}, 117, 2))));
        break;
    default:
        w.push_back(WaveItem("hudba1", music(layer({0, 8, 3, 7}, 108, 2))));
        w.push_back(WaveItem("hudba2", Effect(StoneStart(static_cast<size_t>(0.5 * kRate), 88))));
        break;
    }
    return w;
}

}  // namespace assets
