#include "media/DIB.h"

#include "media/DIBFile.h"

namespace media {

void TDIB::SetSize(int width, int height, int bitCount) {
    if (width <= 0 || height <= 0) {
        width = 0;
        height = 0;
    }
    width_ = width;
    height_ = height;
    bitCount_ = bitCount;
    device_.clear();
    device_.shrink_to_fit();
    pixels_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0u);
}

void TDIB::SetDevicePixels(int width, int height, std::vector<uint16_t>&& pixels) {
    if (width <= 0 || height <= 0 || pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) {
        SetSize(width, height, 16);
        return;
    }
    width_ = width;
    height_ = height;
    bitCount_ = 16;
    pixels_.clear();
    pixels_.shrink_to_fit();
    device_ = std::move(pixels);
}

void TDIB::WidenDevicePixels() const {
    pixels_.resize(device_.size());
    for (size_t i = 0; i < device_.size(); ++i) pixels_[i] = Color565(device_[i]);
}

}  // namespace media
