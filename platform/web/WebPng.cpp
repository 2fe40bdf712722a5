// The PNG codec of the browser build: stb_image_write and stb_image (Debian's libstb-dev).
#include "platform/PngCodec.h"

#include <cstring>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#include <stb_image.h>

namespace platform {

namespace {
void append(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const auto* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}
}  // namespace

bool encodePng(int width, int height, const std::vector<uint32_t>& rgba, std::vector<uint8_t>& out) {
    if (width <= 0 || height <= 0 || rgba.size() < static_cast<size_t>(width) * static_cast<size_t>(height))
        return false;
    // 0xAABBGGRR in memory on a little-endian machine is R, G, B, A: the order stb writes.
    std::vector<uint8_t> bytes;
    const int ok = stbi_write_png_to_func(&append, &bytes, width, height, 4, rgba.data(), width * 4);
    if (!ok || bytes.empty()) return false;
    out = std::move(bytes);
    return true;
}

bool decodePng(const std::vector<uint8_t>& bytes, int& width, int& height, std::vector<uint32_t>& rgba) {
    if (bytes.empty() || bytes.size() > 0x7FFFFFFF) return false;
    int w = 0, h = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &channels, 4);
    if (!pixels) return false;
    width = w;
    height = h;
    rgba.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    std::memcpy(rgba.data(), pixels, rgba.size() * 4);
    stbi_image_free(pixels);
    return true;
}

}  // namespace platform
