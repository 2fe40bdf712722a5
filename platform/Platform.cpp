// The current back-end, the headless hooks and PNG pictures on disk.
#include "platform/Platform.h"

#include "platform/Files.h"

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

namespace {

// An SDL stream that writes into a growing buffer, so that a PNG is complete in memory
// before any of it goes to disk.
struct MemoryOut {
    std::vector<uint8_t> bytes;
    size_t pos = 0;
};

Sint64 memorySize(SDL_RWops* rw) { return static_cast<Sint64>(static_cast<MemoryOut*>(rw->hidden.unknown.data1)->bytes.size()); }

Sint64 memorySeek(SDL_RWops* rw, Sint64 offset, int whence) {
    auto* m = static_cast<MemoryOut*>(rw->hidden.unknown.data1);
    Sint64 base = whence == RW_SEEK_SET ? 0 : whence == RW_SEEK_CUR ? static_cast<Sint64>(m->pos)
                                                                     : static_cast<Sint64>(m->bytes.size());
    Sint64 to = base + offset;
    if (to < 0) return -1;
    m->pos = static_cast<size_t>(to);
    return to;
}

size_t memoryWrite(SDL_RWops* rw, const void* data, size_t size, size_t count) {
    auto* m = static_cast<MemoryOut*>(rw->hidden.unknown.data1);
    const size_t n = size * count;
    if (m->pos + n > m->bytes.size()) m->bytes.resize(m->pos + n);
    std::memcpy(m->bytes.data() + m->pos, data, n);
    m->pos += n;
    return count;
}

size_t memoryRead(SDL_RWops*, void*, size_t, size_t) { return 0; }

int memoryClose(SDL_RWops* rw) {
    SDL_FreeRW(rw);
    return 0;
}

bool encodePng(int width, int height, const std::vector<uint32_t>& rgba, std::vector<uint8_t>& out) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, kRgbaFormat);
    if (!s) return false;
    bool ok = SDL_LockSurface(s) == 0;
    if (ok) {
        auto* dst = static_cast<uint8_t*>(s->pixels);
        for (int y = 0; y < height; ++y)
            std::memcpy(dst + static_cast<size_t>(y) * s->pitch, rgba.data() + static_cast<size_t>(y) * width,
                        static_cast<size_t>(width) * 4);
        SDL_UnlockSurface(s);
        MemoryOut memory;
        SDL_RWops* rw = SDL_AllocRW();
        ok = rw != nullptr;
        if (ok) {
            rw->type = SDL_RWOPS_UNKNOWN;
            rw->hidden.unknown.data1 = &memory;
            rw->size = memorySize;
            rw->seek = memorySeek;
            rw->read = memoryRead;
            rw->write = memoryWrite;
            rw->close = memoryClose;
            ok = IMG_SavePNG_RW(s, rw, 1) == 0 && !memory.bytes.empty();
        }
        if (ok) out = std::move(memory.bytes);
    }
    SDL_FreeSurface(s);
    return ok;
}

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
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (!rw) return fail(error, "Cannot read PNG file");
    SDL_Surface* loaded = IMG_LoadTyped_RW(rw, 1, "PNG");
    if (!loaded) return fail(error, "Cannot read PNG file");
    SDL_Surface* s = SDL_ConvertSurfaceFormat(loaded, kRgbaFormat, 0);
    SDL_FreeSurface(loaded);
    if (!s) return fail(error, "Cannot read PNG file");
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
    return ok ? true : fail(error, "Cannot read PNG file");
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
