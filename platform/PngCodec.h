// The PNG codec under the picture files of platform/Png.h: SDL_image on the desktop,
// stb in the browser. Pixels are 0xAABBGGRR.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

// The whole PNG file of a width x height picture; false when it cannot be encoded.
bool encodePng(int width, int height, const std::vector<uint32_t>& rgba, std::vector<uint8_t>& out);
// The picture of a PNG file's bytes, converted to 0xAABBGGRR; false for anything else.
bool decodePng(const std::vector<uint8_t>& bytes, int& width, int& height, std::vector<uint32_t>& rgba);

}  // namespace platform
