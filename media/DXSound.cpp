#include "media/DXSound.h"

#include <algorithm>

#include "media/CollectionFile.h"
#include "media/Errors.h"
#include "platform/Audio.h"

namespace media {

// ---------------------------------------------------------------------------
// TDirectSoundBuffer

TDirectSoundBuffer::~TDirectSoundBuffer() {
    if (device_ && voice_) device_->release(voice_);
}

void TDirectSoundBuffer::CreateFromWave(const TWave& wave) {
    if (device_ && voice_) {
        device_->release(voice_);
        voice_ = 0;
    }
    if (device_) voice_ = device_->createBuffer(wave.Pcm(), wave.Data.size());
    if (!voice_) throw EDirectSoundBufferError(Format("%s cannot be made", "Sound Buffer"));
    if (!device_->writeBuffer(voice_, wave.Data.data(), wave.Data.size())) {
        device_->release(voice_);
        voice_ = 0;
        throw EDirectSoundBufferError(Format("%s cannot be locked", "Sound Buffer"));
    }
}

std::unique_ptr<TDirectSoundBuffer> TDirectSoundBuffer::Duplicate() const {
    auto copy = std::make_unique<TDirectSoundBuffer>(device_);
    if (device_ && voice_) copy->voice_ = device_->duplicate(voice_);
    if (!copy->voice_) throw EDirectSoundBufferError(Format("%s cannot be made", "Sound Buffer"));
    return copy;
}

void TDirectSoundBuffer::Play(bool looped) {
    if (device_ && voice_) device_->play(voice_, looped);
}
void TDirectSoundBuffer::Stop() {
    if (device_ && voice_) device_->stop(voice_);
}
void TDirectSoundBuffer::SetPosition(uint32_t bytes) {
    if (device_ && voice_) device_->setPosition(voice_, bytes);
}
uint32_t TDirectSoundBuffer::Position() const {
    return device_ && voice_ ? device_->position(voice_) : 0;
}
bool TDirectSoundBuffer::Playing() const {
    return device_ && voice_ && device_->isPlaying(voice_);
}
bool TDirectSoundBuffer::Looping() const {
    return device_ && voice_ && device_->isLooping(voice_);
}
void TDirectSoundBuffer::SetFrequency(int hz) {
    if (device_ && voice_) device_->setFrequency(voice_, hz > 0 ? static_cast<uint32_t>(hz) : 0);
}
void TDirectSoundBuffer::SetVolume(int volume) {
    if (device_ && voice_) device_->setVolume(voice_, volume);
}
void TDirectSoundBuffer::SetPan(int pan) {
    if (device_ && voice_) device_->setPan(voice_, pan);
}

// ---------------------------------------------------------------------------
// TDXSound

TDXSound::~TDXSound() {
    try {
        Finalize();
    } catch (...) {
    }
    // Every list lets go of the device that is going away.
    auto listeners = listeners_;
    for (auto it = listeners.rbegin(); it != listeners.rend(); ++it) {
        try {
            it->callback(this, dsntDestroying);
        } catch (...) {
        }
    }
    listeners_.clear();
}

void TDXSound::Loaded() {
    if (AutoInitialize) Initialize();
}

void TDXSound::Initialize() {
    if (initialized_ || deviceOpen_) Finalize();
    if (!owner_) throw EDXSoundError("Form not found");

    if (OnInitializing) OnInitializing(this);
    Notify(dsntInitializing);

    device_ = platform::currentAudio();
    if (!device_ || !device_->open()) {
        // No usable sound device: the game runs silently.
        device_ = nullptr;
        return;
    }
    deviceOpen_ = true;
    device_->setCooperativeLevel(Options.Has(soExclusive),
                                 Options.Has(soGlobalFocus) || Options.Has(soStickyFocus));
    if (!device_->createPrimary()) {
        Finalize();
        throw EDXSoundError(Format("%s cannot be made", "Primary Buffer"));
    }
    primary_ = true;
    initialized_ = true;

    ++initializeDepth_;
    try {
        Notify(dsntInitialize);
        calledOnInitialize_ = true;
        if (OnInitialize) OnInitialize(this);
    } catch (...) {
        --initializeDepth_;
        throw;
    }
    --initializeDepth_;
    Restore();
}

void TDXSound::Finalize() {
    struct Close {
        TDXSound* s;
        ~Close() {
            s->initialized_ = false;
            s->primary_ = false;
            if (s->deviceOpen_ && s->device_) s->device_->close();
            s->deviceOpen_ = false;
            s->device_ = nullptr;
        }
    };
    Close close{this};
    if (!initialized_) return;
    try {
        if (calledOnInitialize_) {
            calledOnInitialize_ = false;
            if (OnFinalize) OnFinalize(this);
        }
    } catch (...) {
        Notify(dsntFinalize);
        throw;
    }
    Notify(dsntFinalize);
}

void TDXSound::Restore() {
    if (!initialized_) return;
    Notify(dsntRestore);
    if (OnRestore) OnRestore(this);
}

void TDXSound::RegisterNotifyEvent(void* listener, TDXSoundNotifyEvent callback) {
    UnRegisterNotifyEvent(listener);
    listeners_.push_back({listener, callback});
    if (initialized_) {
        callback(this, dsntInitialize);
        if (initializeDepth_ == 0) callback(this, dsntRestore);
    }
}

void TDXSound::UnRegisterNotifyEvent(void* listener) {
    for (size_t i = 0; i < listeners_.size(); ++i) {
        if (listeners_[i].listener == listener) {
            TDXSoundNotifyEvent callback = listeners_[i].callback;
            listeners_.erase(listeners_.begin() + static_cast<std::ptrdiff_t>(i));
            if (initialized_) callback(this, dsntFinalize);
            return;
        }
    }
}

void TDXSound::Notify(TDXSoundNotifyType kind) {
    // A copy: a listener may detach itself while being notified.
    auto listeners = listeners_;
    for (auto it = listeners.rbegin(); it != listeners.rend(); ++it) it->callback(this, kind);
}

// ---------------------------------------------------------------------------
// TWaveCollectionItem

TWaveCollectionItem::~TWaveCollectionItem() {
    Finalize();
}

void TWaveCollectionItem::SetLooped(bool looped) {
    if (looped == looped_) return;
    Stop();
    looped_ = looped;
}

void TWaveCollectionItem::SetMaxPlayingCount(int count) {
    if (count < 0) count = 0;
    if (count == maxPlayingCount_) return;
    maxPlayingCount_ = count;
    if (initialized_) copies_.clear();
}

void TWaveCollectionItem::SetWave(const TWave& wave) {
    wave_ = wave;
    if (initialized_) Restore();
}

void TWaveCollectionItem::Initialize() {
    Finalize();
    TDXSound* sound = owner_ ? owner_->DXSound() : nullptr;
    initialized_ = sound && sound->Device();
}

void TWaveCollectionItem::Finalize() {
    copies_.clear();
    spares_.clear();
    buffer_.reset();
    initialized_ = false;
}

void TWaveCollectionItem::Restore() {
    if (!initialized_) return;
    copies_.clear();
    spares_.clear();
    buffer_.reset();
    MainBufferOrCreate();
}

void TWaveCollectionItem::PrepareCopies() {
    if (!initialized_ || looped_ || !MainBufferOrCreate()) return;
    // The copies that play the wave over itself are made now, not in the frames that start
    // them: for a short effect enough for eight starts in every frame for as long as it
    // lasts (a death starts five explosions at once), up to a limit; for a long piece of
    // music, which plays over itself at most once, two. They wait as spares until a start
    // needs one.
    const uint32_t frames = wave_.DurationMs() / 25 + 1;
    int want = frames > kLongWaveFrames ? 2 : static_cast<int>(std::min<uint32_t>(8 * frames, kPreparedCopies));
    if (maxPlayingCount_ > 0) want = std::min(want, maxPlayingCount_);
    copies_.reserve(copies_.size() + static_cast<size_t>(want) + 8);
    spares_.reserve(static_cast<size_t>(want));
    try {
        while (static_cast<int>(spares_.size() + copies_.size()) < want) spares_.push_back(buffer_->Duplicate());
    } catch (const std::exception&) {
        // A device that makes fewer copies plays with those it made.
    }
}

TDirectSoundBuffer* TWaveCollectionItem::MainBufferOrCreate() {
    if (buffer_) return buffer_.get();
    if (!initialized_ || wave_.Empty()) return nullptr;
    auto buffer = std::make_unique<TDirectSoundBuffer>(owner_->DXSound()->Device());
    buffer->CreateFromWave(wave_);
    buffer_ = std::move(buffer);
    return buffer_.get();
}

void TWaveCollectionItem::Play(bool wait) {
    if (!initialized_) return;

    if (looped_) {
        TDirectSoundBuffer* main = MainBufferOrCreate();
        if (!main) return;
        main->Stop();
        main->SetPosition(0);
        main->Play(true);
        return;
    }

    TDirectSoundBuffer* chosen = nullptr;
    for (auto& copy : copies_) {
        if (!copy->Playing()) {
            chosen = copy.get();
            break;
        }
    }
    if (!chosen) {
        if (maxPlayingCount_ == 0 || static_cast<int>(copies_.size()) < maxPlayingCount_) {
            TDirectSoundBuffer* main = MainBufferOrCreate();
            if (!main) return;
            if (!spares_.empty()) {
                copies_.push_back(std::move(spares_.back()));
                spares_.pop_back();
            } else {
                copies_.push_back(main->Duplicate());
            }
        } else {
            // Every allowed copy sounds: the oldest is cut off and becomes the newest.
            std::rotate(copies_.begin(), copies_.begin() + 1, copies_.end());
        }
        chosen = copies_.back().get();
    }

    chosen->Stop();
    chosen->SetPosition(0);
    chosen->SetFrequency(Frequency);
    chosen->SetPan(Pan);
    chosen->SetVolume(Volume);
    chosen->Play(false);

    if (wait) {
        platform::AudioDevice* device = chosen->Device();
        while (chosen->Playing()) device->wait(10);
    }
}

void TWaveCollectionItem::Stop() {
    if (buffer_) buffer_->Stop();
    for (auto& copy : copies_) copy->Stop();
}

bool TWaveCollectionItem::Playing() const {
    if (buffer_ && buffer_->Playing()) return true;
    for (auto& copy : copies_)
        if (copy->Playing()) return true;
    return false;
}

// ---------------------------------------------------------------------------
// TWaveCollection

TWaveCollection::~TWaveCollection() {
    Clear();
}

TWaveCollectionItem* TWaveCollection::Items(int index) const {
    CheckListIndex(index, Count(), fileName_);
    return items_[static_cast<size_t>(index)].get();
}

TWaveCollectionItem* TWaveCollection::Add() {
    items_.push_back(std::make_unique<TWaveCollectionItem>(this));
    TWaveCollectionItem* item = items_.back().get();
    if (Initialized()) item->Initialize();
    return item;
}

void TWaveCollection::Clear() {
    items_.clear();
    fileName_.clear();
}

void TWaveCollection::Initialize(TDXSound* dxsound) {
    Finalize();
    dxsound_ = dxsound;
    for (auto& item : items_) item->Initialize();
}

void TWaveCollection::Finalize() {
    for (auto& item : items_) item->Finalize();
    dxsound_ = nullptr;
}

void TWaveCollection::Restore() {
    for (auto& item : items_) item->Restore();
}

TWaveCollectionItem* TWaveCollection::Add(const WaveItemData& data) {
    TWaveCollectionItem* item = Add();
    item->Name = data.Name;
    item->SetLooped(data.Looped);
    item->SetMaxPlayingCount(data.MaxPlayingCount);
    if (data.Wave) item->Wave() = *data.Wave;
    item->Restore();
    return item;
}

void TWaveCollection::LoadFromFile(const std::string& fileName) {
    // The old items go only once the file is open: a missing file leaves the list as it was.
    bool cleared = false;
    auto clearOnce = [&] {
        if (!cleared) {
            Clear();
            fileName_ = fileName;
            cleared = true;
        }
    };
    try {
        ReadWaveCollectionFile(fileName, [&](WaveItemData&& data) {
            clearOnce();
            Add(data);
        });
    } catch (const EFOpenError&) {
        throw;
    } catch (...) {
        clearOnce();
        throw;
    }
    clearOnce();
}

// ---------------------------------------------------------------------------
// TCustomDXWaveList

TCustomDXWaveList::~TCustomDXWaveList() {
    try {
        SetDXSound(nullptr);
    } catch (...) {
    }
}

void TCustomDXWaveList::SetDXSound(TDXSound* dxsound) {
    if (dxsound == dxsound_) return;
    TDXSound* old = dxsound_;
    dxsound_ = dxsound;
    if (old) old->UnRegisterNotifyEvent(this);
    if (dxsound_)
        dxsound_->RegisterNotifyEvent(this, [this](TDXSound* sender, TDXSoundNotifyType kind) {
            DXSoundNotify(sender, kind);
        });
}

void TCustomDXWaveList::DXSoundNotify(TDXSound* sender, TDXSoundNotifyType kind) {
    switch (kind) {
        case dsntDestroying:
            Items.Finalize();
            dxsound_ = nullptr;
            break;
        case dsntInitializing:
            break;
        case dsntInitialize:
            Items.Initialize(sender);
            break;
        case dsntFinalize:
            Items.Finalize();
            break;
        case dsntRestore:
            Items.Restore();
            break;
    }
}

}  // namespace media
