// Sound: the sound device (TDXSound), sound buffers, and wave lists whose named items play
// once (overlapping copies of one buffer) or as an endless loop.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "media/Forms.h"
#include "media/Wave.h"

namespace platform {
class AudioDevice;
}

namespace media {

struct WaveItemData;

// One sound buffer of the device: a voice holding samples, that plays once or looped,
// stops (keeping its position), rewinds and reports whether it is sounding.
class TDirectSoundBuffer {
public:
    explicit TDirectSoundBuffer(platform::AudioDevice* device) : device_(device) {}
    ~TDirectSoundBuffer();
    TDirectSoundBuffer(const TDirectSoundBuffer&) = delete;
    TDirectSoundBuffer& operator=(const TDirectSoundBuffer&) = delete;

    // Creates a buffer of the wave's format and data size and copies the samples in.
    // Raises EDirectSoundBufferError "Sound Buffer cannot be made" / "... cannot be locked".
    void CreateFromWave(const TWave& wave);
    // A second buffer sharing this one's samples, with its own position and state.
    // Raises EDirectSoundBufferError "Sound Buffer cannot be made".
    std::unique_ptr<TDirectSoundBuffer> Duplicate() const;

    bool Exists() const { return voice_ != 0; }
    void Play(bool looped);
    void Stop();
    void SetPosition(uint32_t bytes);
    uint32_t Position() const;
    // True while the buffer plays once or loops.
    bool Playing() const;
    bool Looping() const;
    // 0 = the wave's own rate; volume in hundredths of a decibel (0 = full, -10000 =
    // silence); pan from -10000 (left) to 10000 (right).
    void SetFrequency(int hz);
    void SetVolume(int volume);
    void SetPan(int pan);

    int Voice() const { return voice_; }
    platform::AudioDevice* Device() const { return device_; }

private:
    platform::AudioDevice* device_;
    int voice_ = 0;
};

enum TDXSoundOption { soGlobalFocus, soStickyFocus, soExclusive };

class TDXSoundOptions {
public:
    TDXSoundOptions() = default;
    TDXSoundOptions(std::initializer_list<TDXSoundOption> list) { for (auto o : list) bits_ |= 1u << o; }
    bool Has(TDXSoundOption o) const { return bits_ & (1u << o); }
    TDXSoundOptions& Add(TDXSoundOption o) { bits_ |= 1u << o; return *this; }
    TDXSoundOptions& Remove(TDXSoundOption o) { bits_ &= ~(1u << o); return *this; }
    bool operator==(const TDXSoundOptions& o) const { return bits_ == o.bits_; }
    bool operator!=(const TDXSoundOptions& o) const { return bits_ != o.bits_; }
    bool Empty() const { return bits_ == 0; }

private:
    uint32_t bits_ = 0;
};

// Notification kinds sent to the attached wave lists.
enum TDXSoundNotifyType { dsntDestroying = 0, dsntInitializing, dsntInitialize, dsntFinalize, dsntRestore };

class TDXSound;
using TDXSoundNotifyEvent = std::function<void(TDXSound* sender, TDXSoundNotifyType kind)>;

// The sound device of a form.
class TDXSound : public TObject {
public:
    // The owner is the form the component lives on; without one Initialize raises
    // EDXSoundError "Form not found".
    explicit TDXSound(TDXForm* owner = nullptr) : owner_(owner) {}
    ~TDXSound() override;
    TDXSound(const TDXSound&) = delete;
    TDXSound& operator=(const TDXSound&) = delete;

    bool AutoInitialize = true;
    TDXSoundOptions Options;

    // Called once the owning form has loaded: initialises when AutoInitialize is set.
    void Loaded();
    // Opens the device (platform::currentAudio()). When no device can be opened the error
    // is swallowed: the device stays closed and every Play does nothing.
    void Initialize();
    void Finalize();
    // Every attached list rebuilds the buffers of its items that have samples.
    void Restore();
    bool Initialized() const { return initialized_; }
    // The open device, nullptr while closed.
    platform::AudioDevice* Device() const { return initialized_ ? device_ : nullptr; }

    // Events, each taking the sender.
    std::function<void(TObject*)> OnInitializing, OnInitialize, OnFinalize, OnRestore;

    // Listeners (wave lists), notified from the most recently attached to the first.
    void RegisterNotifyEvent(void* listener, TDXSoundNotifyEvent callback);
    void UnRegisterNotifyEvent(void* listener);

private:
    void Notify(TDXSoundNotifyType kind);

    TDXForm* owner_ = nullptr;
    platform::AudioDevice* device_ = nullptr;
    bool initialized_ = false;
    bool deviceOpen_ = false;
    bool primary_ = false;
    bool calledOnInitialize_ = false;
    int initializeDepth_ = 0;
    struct Listener {
        void* listener;
        TDXSoundNotifyEvent callback;
    };
    std::vector<Listener> listeners_;
};

class TWaveCollection;

class TWaveCollectionItem {
public:
    explicit TWaveCollectionItem(TWaveCollection* owner) : owner_(owner) {}
    ~TWaveCollectionItem();
    TWaveCollectionItem(const TWaveCollectionItem&) = delete;
    TWaveCollectionItem& operator=(const TWaveCollectionItem&) = delete;

    std::string Name;

    bool Looped() const { return looped_; }
    // A new value stops the main buffer and every copy first; the same value does nothing.
    void SetLooped(bool looped);
    int MaxPlayingCount() const { return maxPlayingCount_; }
    // Negative becomes 0 (no limit). A new value destroys every copy.
    void SetMaxPlayingCount(int count);

    // The samples. After changing them in place call Restore to rebuild the buffer;
    // SetWave does both.
    TWave& Wave() { return wave_; }
    const TWave& Wave() const { return wave_; }
    void SetWave(const TWave& wave);

    // Starts one playback: looped on the main buffer (from the beginning), otherwise once on
    // a copy. With wait, returns when that one-shot playback has ended. Nothing happens
    // while the device is closed or the wave has no samples.
    void Play(bool wait);
    // Stops the main buffer and every copy.
    void Stop();
    // True while the main buffer or any copy sounds.
    bool Playing() const;
    int CopyCount() const { return static_cast<int>(copies_.size()); }
    // Makes ahead the copies that one-shot starts will need (see the .cpp), so that a frame
    // that starts the wave makes none. A restore of the device drops them.
    void PrepareCopies();
    // Copy i (0 = oldest) for inspection.
    const TDirectSoundBuffer* Copy(int index) const { return copies_.at(static_cast<size_t>(index)).get(); }
    const TDirectSoundBuffer* MainBuffer() const { return buffer_.get(); }

    // Playback settings applied to every started copy (0 = the wave's own rate, full
    // volume, centre).
    int Frequency = 0;
    int Pan = 0;
    int Volume = 0;

    bool Initialized() const { return initialized_; }
    void Initialize();
    void Finalize();
    void Restore();

private:
    TDirectSoundBuffer* MainBufferOrCreate();
    TWaveCollection* owner_;
    bool looped_ = false;
    // Copies of a wave made in advance (see Restore).
    static constexpr uint32_t kPreparedCopies = 64;
    static constexpr uint32_t kLongWaveFrames = 120;  // three seconds
    int maxPlayingCount_ = 0;
    TWave wave_;
    bool initialized_ = false;
    std::unique_ptr<TDirectSoundBuffer> buffer_;
    std::vector<std::unique_ptr<TDirectSoundBuffer>> copies_;  // oldest first
    std::vector<std::unique_ptr<TDirectSoundBuffer>> spares_;  // made ahead, not yet started
};

class TWaveCollection {
public:
    TWaveCollection() = default;
    ~TWaveCollection();
    TWaveCollection(const TWaveCollection&) = delete;
    TWaveCollection& operator=(const TWaveCollection&) = delete;

    int Count() const { return static_cast<int>(items_.size()); }
    // The item at index; an index outside 0 .. Count - 1 raises the list-index error.
    TWaveCollectionItem* Items(int index) const;
    TWaveCollectionItem* operator[](int index) const { return Items(index); }
    // A new empty item at the end (initialised when the device is open).
    TWaveCollectionItem* Add();
    // A new item with the name, settings and wave of an item read from a file.
    TWaveCollectionItem* Add(const WaveItemData& data);
    // Destroys every item (stopping its sound).
    void Clear();

    TDXSound* DXSound() const { return dxsound_; }
    bool Initialized() const { return dxsound_ != nullptr; }
    // Finalises the items, records the open device and initialises every item.
    void Initialize(TDXSound* dxsound);
    // Every item releases its buffers.
    void Finalize();
    // Every item with samples rebuilds its main buffer.
    void Restore();
    // Every item makes ahead the copies its one-shot starts will need.
    void PrepareCopies() {
        for (auto& item : items_) item->PrepareCopies();
    }
    // Replaces all items with those of a wave collection file (path as the game writes it)
    // and builds their buffers when the device is open. A file that cannot be opened
    // leaves the items as they were; an error later in the file leaves the items read so far.
    void LoadFromFile(const std::string& fileName);

private:
    TDXSound* dxsound_ = nullptr;
    std::vector<std::unique_ptr<TWaveCollectionItem>> items_;
    std::string fileName_;  // the file the items came from, named by the list-index error
};

class TCustomDXWaveList : public TObject {
public:
    TCustomDXWaveList() = default;
    ~TCustomDXWaveList() override;
    TCustomDXWaveList(const TCustomDXWaveList&) = delete;
    TCustomDXWaveList& operator=(const TCustomDXWaveList&) = delete;

    TWaveCollection Items;
    TDXSound* DXSound() const { return dxsound_; }
    // Detaches from the previous device and attaches to the new one as a listener.
    void SetDXSound(TDXSound* dxsound);
    std::string Name;

private:
    void DXSoundNotify(TDXSound* sender, TDXSoundNotifyType kind);
    TDXSound* dxsound_ = nullptr;
};

class TDXWaveList : public TCustomDXWaveList {};

}  // namespace media
