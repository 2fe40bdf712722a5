// The current back-end, the headless hooks and PNG pictures on disk.
#include "platform/Platform.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>
#include <stdexcept>

namespace platform {

namespace {
Platform* g_current = nullptr;

// 32-bit value 0xAABBGGRR: alpha in the high byte, red in the low byte.
constexpr uint32_t kRgbaFormat = SDL_PIXELFORMAT_ABGR8888;
}  // namespace

Platform& current() {
    if (!g_current) throw std::logic_error("no platform back-end has been set");
    return *g_current;
}

bool hasCurrent() { return g_current != nullptr; }

void setCurrent(Platform* p) { g_current = p; }

HeadlessControl* headlessControl(Platform& p) { return dynamic_cast<HeadlessControl*>(&p); }

bool savePng(const std::string& path, int width, int height, const std::vector<uint32_t>& rgba) {
    if (width <= 0 || height <= 0) return false;
    if (rgba.size() < static_cast<size_t>(width) * static_cast<size_t>(height)) return false;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, kRgbaFormat);
    if (!s) return false;
    bool ok = SDL_LockSurface(s) == 0;
    if (ok) {
        auto* dst = static_cast<uint8_t*>(s->pixels);
        for (int y = 0; y < height; ++y)
            std::memcpy(dst + static_cast<size_t>(y) * s->pitch, rgba.data() + static_cast<size_t>(y) * width,
                        static_cast<size_t>(width) * 4);
        SDL_UnlockSurface(s);
        ok = IMG_SavePNG(s, path.c_str()) == 0;
    }
    SDL_FreeSurface(s);
    return ok;
}

bool loadPng(const std::string& path, int& width, int& height, std::vector<uint32_t>& rgba) {
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (!loaded) return false;
    SDL_Surface* s = SDL_ConvertSurfaceFormat(loaded, kRgbaFormat, 0);
    SDL_FreeSurface(loaded);
    if (!s) return false;
    bool ok = SDL_LockSurface(s) == 0;
    if (ok) {
        width = s->w;
        height = s->h;
        rgba.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
        const auto* src = static_cast<const uint8_t*>(s->pixels);
        for (int y = 0; y < height; ++y)
            std::memcpy(rgba.data() + static_cast<size_t>(y) * width, src + static_cast<size_t>(y) * s->pitch,
                        static_cast<size_t>(width) * 4);
        SDL_UnlockSurface(s);
    }
    SDL_FreeSurface(s);
    return ok;
}

bool saveRgb565Png(const std::string& path, int width, int height, const uint16_t* pixels) {
    if (!pixels || width <= 0 || height <= 0) return false;
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
    return savePng(path, width, height, rgba);
}

}  // namespace platform
