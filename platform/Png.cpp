// PNG pictures on disk: the checks and file handling shared by every build; the codec
// underneath is SDL_image's natively and stb's in the browser (platform/PngCodec.h).
#include "platform/Platform.h"

#include <cstring>

#include "platform/Files.h"
#include "platform/Png.h"
#include "platform/PngCodec.h"

namespace platform {

namespace {

bool fail(std::string* error, const std::string& reason) {
    if (error) *error = reason;
    return false;
}

constexpr size_t kMaxPngFileBytes = size_t(256) << 20;

}  // namespace

bool savePng(const std::string& path, int width, int height, const std::vector<uint32_t>& rgba, std::string* error) {
    if (width <= 0 || height <= 0) return fail(error, "the picture is empty");
    if (rgba.size() < static_cast<size_t>(width) * static_cast<size_t>(height))
        return fail(error, "the picture has fewer pixels than its size");
    std::vector<uint8_t> png;
    if (!encodePng(width, height, rgba, png)) return fail(error, "the picture cannot be encoded as PNG");
    const std::string reason = writeFileSafely(path, png);
    if (!reason.empty()) return fail(error, reason);
    return true;
}

bool pngDeclaredSize(const uint8_t* data, size_t size, uint32_t& width, uint32_t& height) {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (size < 24 || std::memcmp(data, kSignature, 8) != 0 || std::memcmp(data + 12, "IHDR", 4) != 0) return false;
    auto be32 = [&](size_t at) {
        return (uint32_t(data[at]) << 24) | (uint32_t(data[at + 1]) << 16) | (uint32_t(data[at + 2]) << 8) |
               uint32_t(data[at + 3]);
    };
    width = be32(16);
    height = be32(20);
    return true;
}

bool loadPng(const std::string& path, int& width, int& height, std::vector<uint32_t>& rgba, std::string* error,
             const PngLimits& limits) {
    std::vector<uint8_t> bytes;
    switch (readRegularFile(path, bytes, kMaxPngFileBytes)) {
    case ReadFailure::None: break;
    case ReadFailure::Missing: return fail(error, "Cannot open file " + path);
    case ReadFailure::NotRegular: return fail(error, "is not a regular file");
    case ReadFailure::TooLarge: return fail(error, "the file is too large for a picture");
    case ReadFailure::ReadError: return fail(error, "Cannot read file " + path);
    }
    uint32_t w = 0, h = 0;
    if (!pngDeclaredSize(bytes.data(), bytes.size(), w, h)) return fail(error, "Cannot read PNG file");
    if ((limits.maxWidth > 0 && w > static_cast<uint32_t>(limits.maxWidth)) ||
        (limits.maxHeight > 0 && h > static_cast<uint32_t>(limits.maxHeight)) ||
        (limits.maxPixels > 0 && uint64_t(w) * h > limits.maxPixels))
        return fail(error, "the picture is " + std::to_string(w) + " x " + std::to_string(h) +
                               " pixels, larger than a collection can hold");
    if (!decodePng(bytes, width, height, rgba)) return fail(error, "Cannot read PNG file");
    return true;
}

bool saveRgb565Png(const std::string& path, int width, int height, const uint16_t* pixels, std::string* error) {
    if (!pixels || width <= 0 || height <= 0) return fail(error, "the picture is empty");
    std::vector<uint32_t> rgba(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (size_t i = 0; i < rgba.size(); ++i) {
        uint32_t p = pixels[i];
        uint32_t r = (p >> 11) & 31, g = (p >> 5) & 63, b = p & 31;
        // Widen each channel by repeating its top bits, so full intensity stays 255.
        r = (r << 3) | (r >> 2);
        g = (g << 2) | (g >> 4);
        b = (b << 3) | (b >> 2);
        rgba[i] = 0xFF000000u | (b << 16) | (g << 8) | r;
    }
    return savePng(path, width, height, rgba, error);
}

}  // namespace platform
