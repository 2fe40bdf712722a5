// A device-independent picture held in memory: size, bit depth and the decoded pixels.
// Reading and writing the bitmap encodings lives in DIBFile.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace media {

// The largest picture a collection file may hold: the reader refuses a bigger declared
// size as an invalid DIB, whatever the file's length, and the tools refuse to pack one.
constexpr int kMaxDibSide = 16384;
constexpr uint64_t kMaxDibPixels = uint64_t(8192) * 8192;

class TDIB {
public:
    TDIB() = default;
    TDIB(int width, int height, int bitCount) { SetSize(width, height, bitCount); }

    // Empties the picture and gives it a new size; all pixels 0 (black).
    void SetSize(int width, int height, int bitCount);
    bool Empty() const { return width_ <= 0 || height_ <= 0; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Bits per pixel the picture is stored with (1, 4, 8, 16, 24 or 32).
    int BitCount() const { return bitCount_; }
    void SetBitCount(int bitCount) { bitCount_ = bitCount; }

    // Colours are 0x00BBGGRR.
    uint32_t Pixel(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    void SetPixel(int x, int y, uint32_t colour) { pixels_[static_cast<size_t>(y) * width_ + x] = colour & 0xFFFFFF; }
    const std::vector<uint32_t>& Pixels() const { return pixels_; }
    std::vector<uint32_t>& Pixels() { return pixels_; }

    // Colour table of 1-, 4- and 8-bit pictures (0x00BBGGRR each). When empty, a writer
    // builds one from the colours the picture uses.
    std::vector<uint32_t>& Palette() { return palette_; }
    const std::vector<uint32_t>& Palette() const { return palette_; }

private:
    int width_ = 0;
    int height_ = 0;
    int bitCount_ = 24;
    std::vector<uint32_t> pixels_;
    std::vector<uint32_t> palette_;
};

}  // namespace media
