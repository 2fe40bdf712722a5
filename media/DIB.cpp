#include "media/DIB.h"

namespace media {

void TDIB::SetSize(int width, int height, int bitCount) {
    if (width <= 0 || height <= 0) {
        width = 0;
        height = 0;
    }
    width_ = width;
    height_ = height;
    bitCount_ = bitCount;
    pixels_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0u);
}

}  // namespace media
