#include "media/DxgWave.h"

#include <cstring>

#include "media/Errors.h"

namespace media {

namespace {

[[noreturn]] void invalidWave() { throw EWaveError("Wave is invalid"); }

uint32_t le32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

void put16(std::vector<uint8_t>& o, uint32_t v) {
    o.push_back(static_cast<uint8_t>(v));
    o.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& o, uint32_t v) {
    put16(o, v & 0xFFFF);
    put16(o, v >> 16);
}
void set32(std::vector<uint8_t>& o, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) o[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

TWave ReadWave(const uint8_t* data, size_t size) {
    TWave wave;
    // The format record is what the "fmt " chunk holds: without one the wave has none.
    wave.Format = TWaveFormat{0, 0, 0, 0, 0, 0};
    if (size == 0) return wave;
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) invalidWave();
    size_t pos = 12;
    while (size - pos >= 8) {
        const uint8_t* id = data + pos;
        if (le32(id) == 0) break;
        const uint32_t chunkSize = le32(data + pos + 4);
        pos += 8;
        if (chunkSize > size - pos) invalidWave();
        const uint8_t* body = data + pos;
        if (std::memcmp(id, "fmt ", 4) == 0) {
            uint8_t rec[16] = {};
            std::memcpy(rec, body, chunkSize < 16 ? chunkSize : 16);
            wave.Format.FormatTag = le16(rec);
            wave.Format.Channels = le16(rec + 2);
            wave.Format.SamplesPerSec = le32(rec + 4);
            wave.Format.AvgBytesPerSec = le32(rec + 8);
            wave.Format.BlockAlign = le16(rec + 12);
            wave.Format.BitsPerSample = le16(rec + 14);
        } else if (std::memcmp(id, "data", 4) == 0) {
            wave.Data.assign(body, body + chunkSize);
        }
        pos += chunkSize;
    }
    return wave;
}

std::vector<uint8_t> WriteWave(const TWave& wave) {
    std::vector<uint8_t> out;
    if (wave.Empty()) return out;
    TWaveStream stream(out);
    stream.SetFormat(wave.Format);
    stream.Open(true);
    stream.Write(wave.Data.data(), wave.Data.size());
    stream.Close();
    return out;
}

TWaveStream::~TWaveStream() {
    if (opened_ && writing_) {
        try {
            Close();
        } catch (...) {
        }
    }
}

void TWaveStream::SetFormat(const TWaveFormat& format) {
    format_ = format;
    hasFormat_ = true;
}

void TWaveStream::Open(bool write) {
    if (opened_) throw EWaveError("Stream has already been opened");
    if (write) {
        const TWaveFormat& f = format_;
        if (!hasFormat_ || f.Channels == 0 || f.SamplesPerSec == 0 || f.BlockAlign == 0 || f.BitsPerSample == 0)
            throw EWaveError("Format is invalid");
        buffer_.clear();
        buffer_.insert(buffer_.end(), {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
        put32(buffer_, 16);
        put16(buffer_, f.FormatTag);
        put16(buffer_, f.Channels);
        put32(buffer_, f.SamplesPerSec);
        put32(buffer_, f.AvgBytesPerSec);
        put16(buffer_, f.BlockAlign);
        put16(buffer_, f.BitsPerSample);
        buffer_.insert(buffer_.end(), {'d', 'a', 't', 'a'});
        dataSizeAt_ = buffer_.size();
        put32(buffer_, 0);
    } else {
        TWave wave = ReadWave(buffer_.data(), buffer_.size());
        format_ = wave.Format;
        hasFormat_ = true;
        data_ = std::move(wave.Data);
    }
    opened_ = true;
    writing_ = write;
}

void TWaveStream::Write(const uint8_t* data, size_t size) {
    if (!opened_ || !writing_) throw EWaveError("Wave is invalid");
    buffer_.insert(buffer_.end(), data, data + size);
}

void TWaveStream::Close() {
    if (!opened_) return;
    if (writing_) {
        set32(buffer_, dataSizeAt_, static_cast<uint32_t>(buffer_.size() - dataSizeAt_ - 4));
        set32(buffer_, 4, static_cast<uint32_t>(buffer_.size() - 8));
    }
    opened_ = false;
    writing_ = false;
}

}  // namespace media
