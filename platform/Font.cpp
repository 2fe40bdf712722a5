#include "platform/Font.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {
constexpr int kDpi = 96;
constexpr int kMaxPointSize = 400;  // larger requests are refused rather than allocating huge masks
}  // namespace

std::string FontCache::facePath() {
    if (const char* env = std::getenv("ORBITA_FONT")) {
        if (*env) return env;
    }
    static const char* const candidates[] = {
        "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
        "/usr/share/fonts/TTF/DejaVuSans.ttf",
        "/usr/share/fonts/dejavu/DejaVuSans.ttf",
        "/usr/local/share/fonts/DejaVuSans.ttf",
    };
    for (const char* c : candidates) {
        if (FILE* f = std::fopen(c, "rb")) {
            std::fclose(f);
            return c;
        }
    }
    return "";
}

FontCache::~FontCache() {
    for (auto& kv : fonts_)
        if (kv.second) TTF_CloseFont(kv.second);
    fonts_.clear();
    if (ttfStarted_) TTF_Quit();  // TTF_Init and TTF_Quit are reference counted
}

TTF_Font* FontCache::font(int pointSize) {
    auto it = fonts_.find(pointSize);
    if (it != fonts_.end()) return it->second;
    if (!ttfStarted_) {
        if (ttfFailed_) return nullptr;
        if (TTF_Init() != 0) {
            ttfFailed_ = true;
            return nullptr;
        }
        ttfStarted_ = true;
    }
    std::string path = facePath();
    TTF_Font* f = path.empty() ? nullptr : TTF_OpenFontDPI(path.c_str(), pointSize, kDpi, kDpi);
    fonts_[pointSize] = f;  // a failure is remembered too: no retry every frame
    return f;
}

bool FontCache::render(const std::string& utf8, int pointSize, TextMask& out) {
    out = TextMask{};
    if (pointSize <= 0 || pointSize > kMaxPointSize) return false;
    TTF_Font* f = font(pointSize);
    if (!f) return false;
    if (utf8.empty()) {
        out.height = TTF_FontHeight(f);
        return true;
    }
    SDL_Surface* rendered = TTF_RenderUTF8_Blended(f, utf8.c_str(), SDL_Color{255, 255, 255, 255});
    if (!rendered) return false;
    SDL_Surface* s = rendered;
    if (rendered->format->format != SDL_PIXELFORMAT_ARGB8888) {
        s = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
        SDL_FreeSurface(rendered);
        if (!s) return false;
    }
    bool ok = SDL_LockSurface(s) == 0;
    if (ok) {
        out.width = s->w;
        out.height = s->h;
        out.coverage.resize(static_cast<size_t>(s->w) * static_cast<size_t>(s->h));
        for (int y = 0; y < s->h; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(s->pixels) +
                                                                static_cast<size_t>(y) * s->pitch);
            for (int x = 0; x < s->w; ++x)
                out.coverage[static_cast<size_t>(y) * s->w + x] = static_cast<uint8_t>(row[x] >> 24);
        }
        SDL_UnlockSurface(s);
    }
    SDL_FreeSurface(s);
    if (!ok) out = TextMask{};
    return ok;
}

}  // namespace platform
