// PNG pictures on disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// PNG pictures (screenshots, the collection-file tool). Pixels are 0xAABBGGRR.
// The writers go through writeFileSafely (platform/Files.h); on failure they return false
// and, when error is given, put the reason there.
bool savePng(const std::string& path, int width, int height, const std::vector<uint32_t>& rgba,
             std::string* error = nullptr);
// Reads a PNG file. The size its header declares is checked against maxWidth, maxHeight and
// maxPixels before anything is decoded (0: no limit), so a small file cannot ask for a huge
// picture.
struct PngLimits {
    int maxWidth = 0;
    int maxHeight = 0;
    uint64_t maxPixels = 0;
};
bool loadPng(const std::string& path, int& width, int& height, std::vector<uint32_t>& rgba,
             std::string* error = nullptr, const PngLimits& limits = PngLimits());
// The width and height a PNG's header declares; false when the bytes are no PNG.
bool pngDeclaredSize(const uint8_t* data, size_t size, uint32_t& width, uint32_t& height);
// Converts a 640 x 480 RGB565 picture to opaque RGBA and saves it.
bool saveRgb565Png(const std::string& path, int width, int height, const uint16_t* pixels,
                   std::string* error = nullptr);

}  // namespace platform
