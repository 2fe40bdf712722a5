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
    uint32_t Pixel(int x, int y) const { return Pixels()[static_cast<size_t>(y) * width_ + x]; }
    void SetPixel(int x, int y, uint32_t colour) { Pixels()[static_cast<size_t>(y) * width_ + x] = colour & 0xFFFFFF; }
    const std::vector<uint32_t>& Pixels() const {
        if (!device_.empty() && pixels_.empty()) WidenDevicePixels();
        return pixels_;
    }
    // For changing the pixels: the display-format copy (below) is given up.
    std::vector<uint32_t>& Pixels() {
        if (!device_.empty() && pixels_.empty()) WidenDevicePixels();
        device_.clear();
        device_.shrink_to_fit();
        return pixels_;
    }

    // A 16-bit 5-6-5 picture as it was read, already in the display's format (row 0 at the
    // top), so that a surface is made from it by a copy; the 24-bit colours are worked out
    // from it only when asked for. Gives the picture that size and 16 bits.
    void SetDevicePixels(int width, int height, std::vector<uint16_t>&& pixels);
    // The display-format pixels, or nullptr when the picture has none (or has been changed).
    const std::vector<uint16_t>* DevicePixels() const { return device_.empty() ? nullptr : &device_; }

    // Colour table of 1-, 4- and 8-bit pictures (0x00BBGGRR each). When empty, a writer
    // builds one from the colours the picture uses.
    std::vector<uint32_t>& Palette() { return palette_; }
    const std::vector<uint32_t>& Palette() const { return palette_; }

private:
    int width_ = 0;
    int height_ = 0;
    int bitCount_ = 24;
    void WidenDevicePixels() const;
    mutable std::vector<uint32_t> pixels_;  // empty while only device_ holds the picture
    std::vector<uint16_t> device_;
    std::vector<uint32_t> palette_;
};

}  // namespace media
