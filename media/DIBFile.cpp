#include "media/DIBFile.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <unordered_map>

#include "media/Errors.h"

namespace media {

namespace {

[[noreturn]] void invalidDIB() { throw EDIBError("DIB is invalid"); }

// Bounds-checked little-endian cursor over the DIB bytes; running out is "DIB is invalid".
class Cursor {
public:
    Cursor(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    size_t Pos() const { return pos_; }
    size_t Remaining() const { return size_ - pos_; }
    void Seek(size_t pos) {
        if (pos > size_) invalidDIB();
        pos_ = pos;
    }
    const uint8_t* Take(size_t n) {
        if (n > Remaining()) invalidDIB();
        const uint8_t* p = data_ + pos_;
        pos_ += n;
        return p;
    }
    uint16_t U16() {
        const uint8_t* p = Take(2);
        return static_cast<uint16_t>(p[0] | (p[1] << 8));
    }
    uint32_t U32() {
        const uint8_t* p = Take(4);
        return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

inline uint32_t rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }
inline uint32_t widen5(uint32_t v) { return (v << 3) | (v >> 2); }

// A run-length stream may describe a large picture with few bytes; beyond this many
// pixels the picture must be backed by a proportionate stream.
constexpr uint64_t kRleFreePixels = uint64_t(1) << 20;
constexpr uint64_t kRlePixelsPerByte = 256;

// Expands an RLE8 (bits 8) or RLE4 (bits 4) stream into palette indices, one byte per
// pixel, rows in stream order. Runs past the row end and moves past the picture are
// invalid; a stream ending without its end-of-bitmap mark leaves the rest at index 0.
std::vector<uint8_t> expandRle(const uint8_t* s, size_t n, int bits, int width, int height) {
    std::vector<uint8_t> idx(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    const int64_t w = width, h = height;
    int64_t x = 0, y = 0;
    size_t p = 0;
    auto put = [&](uint8_t v) {
        if (x >= w || y >= h) invalidDIB();
        idx[static_cast<size_t>(y * w + x)] = v;
        ++x;
    };
    while (p + 2 <= n) {
        uint8_t a = s[p], b = s[p + 1];
        p += 2;
        if (a > 0) {
            for (int i = 0; i < a; ++i) put(bits == 8 ? b : ((i & 1) ? (b & 0x0F) : (b >> 4)));
        } else if (b == 0) {  // end of line
            x = 0;
            if (++y > h) invalidDIB();
        } else if (b == 1) {  // end of bitmap
            break;
        } else if (b == 2) {  // delta
            if (p + 2 > n) invalidDIB();
            x += s[p];
            y += s[p + 1];
            p += 2;
            if (x > w || y > h) invalidDIB();
        } else {  // absolute run of b pixels, padded to a 16-bit boundary
            size_t bytes = bits == 8 ? b : (b + 1u) / 2u;
            size_t padded = bytes + (bytes & 1u);
            if (p + bytes > n) invalidDIB();
            for (int i = 0; i < b; ++i)
                put(bits == 8 ? s[p + i] : ((i & 1) ? (s[p + i / 2] & 0x0F) : (s[p + i / 2] >> 4)));
            p += padded < n - p ? padded : n - p;
        }
    }
    return idx;
}

}  // namespace

uint32_t Color555(uint16_t v) { return rgb(widen5((v >> 10) & 31), widen5((v >> 5) & 31), widen5(v & 31)); }

uint32_t Color565(uint16_t v) {
    // Green level 32 reads as exactly 128 so that pure green keeps its value through a
    // 16-bit picture, as it does through the 16-bit display.
    uint32_t g6 = (v >> 5) & 63;
    uint32_t g = g6 == 32 ? 128 : ((g6 << 2) | (g6 >> 4));
    return rgb(widen5((v >> 11) & 31), g, widen5(v & 31));
}

TDIB ReadDIB(const uint8_t* data, size_t size, size_t pixelOffset) {
    TDIB dib;
    if (size == 0) return dib;
    Cursor c(data, size);
    if (size < 4) invalidDIB();
    const uint32_t headerSize = c.U32();
    int64_t width = 0, height = 0;
    unsigned bits = 0;
    uint32_t compression = 0, imageSize = 0, colorsUsed = 0;
    bool core = false;
    if (headerSize == 40) {
        width = static_cast<int32_t>(c.U32());
        height = static_cast<int32_t>(c.U32());
        c.U16();  // planes
        bits = c.U16();
        compression = c.U32();
        imageSize = c.U32();
        c.U32();  // horizontal resolution
        c.U32();  // vertical resolution
        colorsUsed = c.U32();
        c.U32();  // colours important
    } else if (headerSize == 12) {
        core = true;
        width = c.U16();
        height = c.U16();
        c.U16();  // planes
        bits = c.U16();
    } else {
        invalidDIB();
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        throw EDIBError(Format("Bitcount in invalid (%d)", static_cast<int>(bits)));
    if (compression > 3) invalidDIB();
    if ((compression == 1 && bits != 8) || (compression == 2 && bits != 4)) invalidDIB();

    bool five65 = false;
    if (compression == 3) {
        uint32_t r = c.U32(), g = c.U32(), b = c.U32();
        if (bits == 16) {
            if (r == 0xF800 && g == 0x07E0 && b == 0x001F)
                five65 = true;
            else if (!(r == 0x7C00 && g == 0x03E0 && b == 0x001F))
                throw EDIBError("PixelFormat in invalid");
        }
    }

    uint64_t tableCount = colorsUsed;
    if (tableCount == 0 && bits <= 8) tableCount = uint64_t(1) << bits;
    if (tableCount > 256) tableCount = 256;
    const size_t entrySize = core ? 3 : 4;
    const uint8_t* table = c.Take(static_cast<size_t>(tableCount) * entrySize);
    std::vector<uint32_t> palette;
    if (bits <= 8) {
        palette.reserve(static_cast<size_t>(tableCount));
        for (size_t i = 0; i < tableCount; ++i) {
            const uint8_t* e = table + i * entrySize;
            palette.push_back(rgb(e[2], e[1], e[0]));
        }
    }
    if (pixelOffset != 0 && pixelOffset > c.Pos()) c.Seek(pixelOffset);

    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width < 0 || height > INT32_MAX) invalidDIB();
    if (width == 0 || height == 0) {
        dib.SetSize(0, 0, static_cast<int>(bits));
        dib.Palette() = std::move(palette);
        return dib;
    }
    const uint64_t w = static_cast<uint64_t>(width), h = static_cast<uint64_t>(height);
    if (w > kMaxDibSide || h > kMaxDibSide || w * h > kMaxDibPixels) invalidDIB();
    auto colourOf = [&palette](unsigned index) -> uint32_t {
        return index < palette.size() ? palette[index] : 0u;
    };

    if (compression == 1 || compression == 2) {
        if (imageSize > c.Remaining()) invalidDIB();
        if (w * h > kRleFreePixels && w * h / kRlePixelsPerByte > imageSize) invalidDIB();
        const uint8_t* stream = c.Take(imageSize);
        std::vector<uint8_t> idx = expandRle(stream, imageSize, static_cast<int>(bits),
                                             static_cast<int>(w), static_cast<int>(h));
        dib.SetSize(static_cast<int>(w), static_cast<int>(h), static_cast<int>(bits));
        for (uint64_t r = 0; r < h; ++r) {
            int y = static_cast<int>(topDown ? r : h - 1 - r);
            const uint8_t* row = idx.data() + r * w;
            for (uint64_t x = 0; x < w; ++x) dib.SetPixel(static_cast<int>(x), y, colourOf(row[x]));
        }
        dib.Palette() = std::move(palette);
        return dib;
    }

    const uint64_t rowBytes = (w * bits + 31) / 32 * 4;
    if (rowBytes * h / h != rowBytes || rowBytes * h > c.Remaining()) invalidDIB();
    const uint8_t* rows = c.Take(static_cast<size_t>(rowBytes * h));
    if (bits == 16 && five65) {
        // Already the display's format: kept as it is, the 24-bit colours worked out only
        // when someone asks for them.
        std::vector<uint16_t> device(static_cast<size_t>(w * h));
        for (uint64_t r = 0; r < h; ++r) {
            const uint64_t y = topDown ? r : h - 1 - r;
            const uint8_t* row = rows + r * rowBytes;
            uint16_t* out = device.data() + y * w;
            for (uint64_t x = 0; x < w; ++x) out[x] = static_cast<uint16_t>(row[2 * x] | (row[2 * x + 1] << 8));
        }
        dib.SetDevicePixels(static_cast<int>(w), static_cast<int>(h), std::move(device));
        dib.Palette() = std::move(palette);
        return dib;
    }
    dib.SetSize(static_cast<int>(w), static_cast<int>(h), static_cast<int>(bits));
    for (uint64_t r = 0; r < h; ++r) {
        const int y = static_cast<int>(topDown ? r : h - 1 - r);
        const uint8_t* row = rows + r * rowBytes;
        uint32_t* out = dib.Pixels().data() + static_cast<size_t>(y) * w;
        for (uint64_t x = 0; x < w; ++x) {
            switch (bits) {
            case 1: out[x] = colourOf((row[x >> 3] >> (7 - (x & 7))) & 1); break;
            case 4: out[x] = colourOf((x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4)); break;
            case 8: out[x] = colourOf(row[x]); break;
            case 16: {
                uint16_t v = static_cast<uint16_t>(row[2 * x] | (row[2 * x + 1] << 8));
                out[x] = five65 ? Color565(v) : Color555(v);
                break;
            }
            case 24: out[x] = rgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]); break;
            default: out[x] = rgb(row[4 * x + 2], row[4 * x + 1], row[4 * x]); break;
            }
        }
    }
    dib.Palette() = std::move(palette);
    return dib;
}

TDIB ReadBitmapFile(const uint8_t* data, size_t size) {
    if (size < 14 || data[0] != 'B' || data[1] != 'M') invalidDIB();
    uint32_t offBits = uint32_t(data[10]) | (uint32_t(data[11]) << 8) | (uint32_t(data[12]) << 16) |
                       (uint32_t(data[13]) << 24);
    if (offBits > size) invalidDIB();
    size_t pixelOffset = offBits > 14 ? offBits - 14 : 0;
    if (size == 14) invalidDIB();
    return ReadDIB(data + 14, size - 14, pixelOffset);
}

namespace {

void put16(std::vector<uint8_t>& o, uint32_t v) {
    o.push_back(static_cast<uint8_t>(v));
    o.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& o, uint32_t v) {
    put16(o, v & 0xFFFF);
    put16(o, v >> 16);
}

}  // namespace

std::vector<uint8_t> WriteDIB(const TDIB& dib) {
    std::vector<uint8_t> out;
    const int bits = dib.BitCount();
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        throw EDIBError(Format("Bitcount in invalid (%d)", bits));
    if (dib.Empty()) return out;
    const int w = dib.Width(), h = dib.Height();

    std::vector<uint32_t> palette;
    std::unordered_map<uint32_t, uint32_t> indexOf;
    if (bits <= 8) {
        const size_t maxColours = size_t(1) << bits;
        const bool given = !dib.Palette().empty();
        if (given) {
            palette = dib.Palette();
            if (palette.size() > maxColours)
                throw EDIBError(Format("Too many colours for %d bits per pixel (%d)", bits,
                                       static_cast<int>(palette.size())));
            for (size_t i = palette.size(); i-- > 0;) indexOf[palette[i] & 0xFFFFFF] = static_cast<uint32_t>(i);
        }
        for (uint32_t p : dib.Pixels()) {
            if (indexOf.count(p)) continue;
            if (given) throw EDIBError(Format("Colour %06X is not in the palette", p));
            if (palette.size() == maxColours)
                throw EDIBError(Format("Too many colours for %d bits per pixel (more than %d)", bits,
                                       static_cast<int>(maxColours)));
            indexOf[p] = static_cast<uint32_t>(palette.size());
            palette.push_back(p);
        }
        // A built table is always full size (2, 16 or 256 entries), unused entries black.
        if (!given) palette.resize(maxColours, 0);
    }

    const size_t rowBytes = (static_cast<size_t>(w) * bits + 31) / 32 * 4;
    const size_t imageSize = rowBytes * static_cast<size_t>(h);
    const size_t tableCount = palette.size();
    out.reserve(40 + 12 + tableCount * 4 + imageSize);
    put32(out, 40);
    put32(out, static_cast<uint32_t>(w));
    put32(out, static_cast<uint32_t>(h));
    put16(out, 1);
    put16(out, static_cast<uint32_t>(bits));
    put32(out, bits == 16 ? 3 : 0);
    put32(out, static_cast<uint32_t>(imageSize));
    put32(out, 0);
    put32(out, 0);
    put32(out, bits <= 8 && tableCount != (size_t(1) << bits) ? static_cast<uint32_t>(tableCount) : 0);
    put32(out, 0);
    if (bits == 16) {
        put32(out, 0xF800);
        put32(out, 0x07E0);
        put32(out, 0x001F);
    }
    for (uint32_t c : palette) {
        out.push_back(static_cast<uint8_t>(c >> 16));
        out.push_back(static_cast<uint8_t>(c >> 8));
        out.push_back(static_cast<uint8_t>(c));
        out.push_back(0);
    }
    std::vector<uint8_t> row(rowBytes);
    for (int y = h - 1; y >= 0; --y) {
        std::fill(row.begin(), row.end(), 0);
        for (int x = 0; x < w; ++x) {
            const uint32_t p = dib.Pixel(x, y);
            switch (bits) {
            case 1: row[x >> 3] |= static_cast<uint8_t>(indexOf[p] << (7 - (x & 7))); break;
            case 4: row[x >> 1] |= static_cast<uint8_t>((x & 1) ? indexOf[p] : indexOf[p] << 4); break;
            case 8: row[x] = static_cast<uint8_t>(indexOf[p]); break;
            case 16: {
                const uint32_t r = p & 0xFF, g = (p >> 8) & 0xFF, b = (p >> 16) & 0xFF;
                const uint32_t v = ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
                row[2 * x] = static_cast<uint8_t>(v);
                row[2 * x + 1] = static_cast<uint8_t>(v >> 8);
                break;
            }
            case 24:
                row[3 * x] = static_cast<uint8_t>(p >> 16);
                row[3 * x + 1] = static_cast<uint8_t>(p >> 8);
                row[3 * x + 2] = static_cast<uint8_t>(p);
                break;
            default:
                row[4 * x] = static_cast<uint8_t>(p >> 16);
                row[4 * x + 1] = static_cast<uint8_t>(p >> 8);
                row[4 * x + 2] = static_cast<uint8_t>(p);
                break;
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::vector<uint8_t> WriteBitmapFile(const TDIB& dib) {
    std::vector<uint8_t> body = WriteDIB(dib);
    if (body.empty()) invalidDIB();
    const size_t rowBytes = (static_cast<size_t>(dib.Width()) * dib.BitCount() + 31) / 32 * 4;
    const size_t pixelStart = body.size() - rowBytes * static_cast<size_t>(dib.Height());
    std::vector<uint8_t> out;
    out.reserve(14 + body.size());
    out.push_back('B');
    out.push_back('M');
    put32(out, static_cast<uint32_t>(14 + body.size()));
    put32(out, 0);
    put32(out, static_cast<uint32_t>(14 + pixelStart));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

}  // namespace media
