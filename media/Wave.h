// A sound held in memory: its PCM format and sample bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Audio.h"

namespace media {

struct TWaveFormat {
    uint16_t FormatTag = 1;  // 1 = PCM
    uint16_t Channels = 1;
    uint32_t SamplesPerSec = 22050;
    uint32_t AvgBytesPerSec = 22050;
    uint16_t BlockAlign = 1;
    uint16_t BitsPerSample = 8;
};

class TWave {
public:
    TWaveFormat Format;
    std::vector<uint8_t> Data;  // the "data" chunk's bytes
    bool Empty() const { return Data.empty(); }
    // Length in milliseconds (0 when the format says nothing).
    uint32_t DurationMs() const {
        return Format.AvgBytesPerSec ? static_cast<uint32_t>(uint64_t(Data.size()) * 1000 / Format.AvgBytesPerSec) : 0;
    }
    // The format as the audio device takes it.
    platform::PcmFormat Pcm() const {
        platform::PcmFormat f;
        f.formatTag = Format.FormatTag;
        f.channels = Format.Channels;
        f.sampleRate = Format.SamplesPerSec;
        f.blockAlign = Format.BlockAlign;
        f.bitsPerSample = Format.BitsPerSample;
        return f;
    }
};

}  // namespace media
