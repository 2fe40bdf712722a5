// Wave data as stored in collection files and .wav files: a RIFF/WAVE stream with an
// "fmt " chunk (the format record) and a "data" chunk (the samples).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "media/Wave.h"

namespace media {

// Decodes RIFF/WAVE bytes. No bytes give an empty wave. Missing "RIFF"/"WAVE" or a chunk
// running past the data raise EWaveError "Wave is invalid". Chunk sizes are taken as they
// are (an odd size is not rounded up); a chunk whose identifier is zero ends the list.
// Without a "fmt " chunk the format record stays all zero (no format).
TWave ReadWave(const uint8_t* data, size_t size);
// Encodes the wave (an empty wave gives no bytes). A format with no channels, rate,
// block alignment or sample size raises EWaveError "Format is invalid".
std::vector<uint8_t> WriteWave(const TWave& wave);

// A RIFF/WAVE stream over a byte buffer. Opening it for writing needs a format set
// first ("Format is invalid"); opening an open stream raises "Stream has already been
// opened". Close fills in the chunk sizes.
class TWaveStream {
public:
    explicit TWaveStream(std::vector<uint8_t>& buffer) : buffer_(buffer) {}
    ~TWaveStream();
    void SetFormat(const TWaveFormat& format);
    const TWaveFormat& Format() const { return format_; }
    // Writing: starts the RIFF header, the format chunk and the data chunk.
    // Reading: decodes the buffer; the samples are then in Data().
    void Open(bool write);
    void Write(const uint8_t* data, size_t size);
    const std::vector<uint8_t>& Data() const { return data_; }
    void Close();

private:
    std::vector<uint8_t>& buffer_;
    TWaveFormat format_;
    bool hasFormat_ = false;
    bool opened_ = false;
    bool writing_ = false;
    size_t dataSizeAt_ = 0;
    std::vector<uint8_t> data_;
};

}  // namespace media
