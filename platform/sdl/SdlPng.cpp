// The PNG codec of the desktop build, SDL_image.
#include "platform/PngCodec.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>

namespace platform {

namespace {

// 32-bit value 0xAABBGGRR: alpha in the high byte, red in the low byte.
constexpr uint32_t kRgbaFormat = SDL_PIXELFORMAT_ABGR8888;

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

}  // namespace

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

bool decodePng(const std::vector<uint8_t>& bytes, int& width, int& height, std::vector<uint32_t>& rgba) {
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (!rw) return false;
    SDL_Surface* loaded = IMG_LoadTyped_RW(rw, 1, "PNG");
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

}  // namespace platform
