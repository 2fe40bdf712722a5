#include "platform/Font.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/Files.h"

#define STBTT_STATIC
#define STB_TRUETYPE_IMPLEMENTATION
#include <stb_truetype.h>

namespace platform {

namespace {
constexpr int kDpi = 96;
constexpr int kMaxPointSize = 400;              // larger requests are refused rather than allocating huge masks
constexpr size_t kMaxMaskBytes = size_t(64) << 20;
constexpr size_t kMaxFaceBytes = size_t(32) << 20;
constexpr uint32_t kReplacement = 0xFFFD;
}  // namespace

struct FontCache::Face {
    std::vector<uint8_t> bytes;
    stbtt_fontinfo info{};
    int ascent = 0, descent = 0;  // font units, from the horizontal header
};

std::vector<uint32_t> decodeUtf8(const std::string& utf8) {
    std::vector<uint32_t> out;
    out.reserve(utf8.size());
    const auto* s = reinterpret_cast<const uint8_t*>(utf8.data());
    const size_t n = utf8.size();
    size_t i = 0;
    while (i < n) {
        const uint8_t b = s[i];
        int len = 0;
        uint32_t cp = 0, min = 0;
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        } else if ((b & 0xE0) == 0xC0) {
            len = 2, cp = b & 0x1F, min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            len = 3, cp = b & 0x0F, min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            len = 4, cp = b & 0x07, min = 0x10000;
        } else {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        int k = 1;
        for (; k < len && i + k < n && (s[i + k] & 0xC0) == 0x80; ++k) cp = (cp << 6) | (s[i + k] & 0x3F);
        if (k < len || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(kReplacement);
            i += k;  // the bytes read so far belong to the broken sequence
            continue;
        }
        out.push_back(cp);
        i += len;
    }
    return out;
}

std::string FontCache::facePath() {
    if (const char* env = std::getenv("ORBITA_FONT")) {
        if (*env) return env;
    }
    // The browser build carries the face at the first of these places in its file system.
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

FontCache::FontCache() = default;
FontCache::~FontCache() = default;

bool FontCache::open() {
    if (tried_) return face_ != nullptr;
    tried_ = true;  // a failure is remembered too: no retry every frame
    const std::string path = facePath();
    if (path.empty()) return false;
    auto face = std::make_unique<Face>();
    if (readRegularFile(path, face->bytes, kMaxFaceBytes) != ReadFailure::None) return false;
    const unsigned char* data = face->bytes.data();
    const int offset = stbtt_GetFontOffsetForIndex(data, 0);
    // stb reads the tables where the file's directory says; a file too short for them is refused
    // here rather than read past its end.
    if (offset < 0 || face->bytes.size() < 12 || !stbtt_InitFont(&face->info, data, offset)) return false;
    for (int t : {face->info.loca, face->info.glyf, face->info.hhea, face->info.hmtx, face->info.head})
        if (t < 0 || static_cast<size_t>(t) >= face->bytes.size()) return false;
    int lineGap = 0;
    stbtt_GetFontVMetrics(&face->info, &face->ascent, &face->descent, &lineGap);
    face_ = std::move(face);
    return true;
}

bool FontCache::render(const std::string& utf8, int pointSize, TextMask& out) {
    out = TextMask{};
    if (pointSize <= 0 || pointSize > kMaxPointSize) return false;
    if (!open()) return false;
    stbtt_fontinfo& info = face_->info;
    // pointSize points at 96 dpi: that many pixels to the em.
    const float ppem = static_cast<float>(pointSize) * kDpi / 72.0f;
    const float scale = stbtt_ScaleForMappingEmToPixels(&info, ppem);
    // The baseline lies `ascent` whole rows down; the line is the face's ascent to descent,
    // rounded up to whole rows.
    const int ascent = static_cast<int>(std::ceil(face_->ascent * scale));
    out.height = static_cast<int>(std::ceil((face_->ascent - face_->descent) * scale));
    if (utf8.empty()) return true;

    // Glyph origins on whole pixels with whole-pixel advances, as a hinting rasteriser
    // spaces them: stems then fall on the same columns in every word.
    struct Placed {
        int glyph;
        int x;
    };
    std::vector<Placed> placed;
    const std::vector<uint32_t> cps = decodeUtf8(utf8);
    placed.reserve(cps.size());
    int pen = 0, right = 0, previous = 0;
    for (uint32_t cp : cps) {
        const int glyph = stbtt_FindGlyphIndex(&info, static_cast<int>(cp));
        if (previous) pen += static_cast<int>(std::lround(stbtt_GetGlyphKernAdvance(&info, previous, glyph) * scale));
        int advance = 0, bearing = 0;
        stbtt_GetGlyphHMetrics(&info, glyph, &advance, &bearing);
        placed.push_back({glyph, pen});
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        stbtt_GetGlyphBitmapBox(&info, glyph, scale, scale, &x0, &y0, &x1, &y1);
        if (x1 > x0) right = std::max(right, pen + x1);
        pen += static_cast<int>(std::lround(advance * scale));
        previous = glyph;
        if (pen > 1 << 20) return false;
    }
    out.width = std::max(pen, right);
    if (static_cast<size_t>(out.width) * static_cast<size_t>(out.height) > kMaxMaskBytes) {
        out = TextMask{};
        return false;
    }
    out.coverage.assign(static_cast<size_t>(out.width) * static_cast<size_t>(out.height), 0);
    std::vector<uint8_t> glyphMask;
    for (const Placed& p : placed) {
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        stbtt_GetGlyphBitmapBox(&info, p.glyph, scale, scale, &x0, &y0, &x1, &y1);
        const int gw = x1 - x0, gh = y1 - y0;
        if (gw <= 0 || gh <= 0) continue;
        glyphMask.assign(static_cast<size_t>(gw) * static_cast<size_t>(gh), 0);
        stbtt_MakeGlyphBitmap(&info, glyphMask.data(), gw, gh, gw, scale, scale, p.glyph);
        // Overlapping glyphs (kerned pairs, accents) keep the stronger ink.
        for (int j = 0; j < gh; ++j) {
            const int y = ascent + y0 + j;
            if (y < 0 || y >= out.height) continue;
            for (int i = 0; i < gw; ++i) {
                const int x = p.x + x0 + i;
                if (x < 0 || x >= out.width) continue;
                uint8_t& d = out.coverage[static_cast<size_t>(y) * out.width + x];
                d = std::max(d, glyphMask[static_cast<size_t>(j) * gw + i]);
            }
        }
    }
    return true;
}

}  // namespace platform
