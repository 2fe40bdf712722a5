// Byte builders for hand-made collection files and DIB data in the media tests. They are
// written from the file layout directly, independently of the writers under test.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dxgtest {

struct Bytes {
    std::vector<uint8_t> b;
    Bytes& u8(uint32_t v) {
        b.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    Bytes& u16(uint32_t v) { return u8(v).u8(v >> 8); }
    Bytes& u32(uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Bytes& raw(const std::string& s) {
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
    Bytes& raw(const std::vector<uint8_t>& v) {
        b.insert(b.end(), v.begin(), v.end());
        return *this;
    }
    Bytes& sstr(const std::string& s) { return u8(static_cast<uint32_t>(s.size())).raw(s); }
    // Typed values.
    Bytes& int8(int v) { return u8(0x02).u8(static_cast<uint32_t>(v)); }
    Bytes& int16(int v) { return u8(0x03).u16(static_cast<uint32_t>(v)); }
    Bytes& int32(int64_t v) { return u8(0x04).u32(static_cast<uint32_t>(v)); }
    Bytes& str(const std::string& s) { return u8(0x06).sstr(s); }
    Bytes& lstr(const std::string& s) { return u8(0x0C).u32(static_cast<uint32_t>(s.size())).raw(s); }
    Bytes& ident(const std::string& s) { return u8(0x07).sstr(s); }
    Bytes& boolean(bool v) { return u8(v ? 0x09 : 0x08); }
    Bytes& binary(const std::vector<uint8_t>& v) { return u8(0x0A).u32(static_cast<uint32_t>(v.size())).raw(v); }
    Bytes& prop(const std::string& name) { return sstr(name); }
    size_t size() const { return b.size(); }
};

// Resource header with the given name, then "TPF0", class and object name, and the start
// of the "List" collection.
inline Bytes fileStart(const std::string& className = "TPictureCollectionComponent",
                       const std::string& resName = "TPICTURECOLLECTIONCOMPONENT") {
    Bytes f;
    f.u8(0xFF).u16(10).raw(resName).u8(0).u16(0x1030).u32(0);
    f.raw("TPF0").sstr(className).sstr("").prop("List").u8(0x0E);
    return f;
}
// End of the collection, of the properties and of the child objects.
inline Bytes& fileEnd(Bytes& f) { return f.u8(0).u8(0).u8(0); }

// Information header (40 bytes).
inline Bytes infoHeader(int32_t w, int32_t h, int bits, uint32_t compression = 0, uint32_t imageSize = 0,
                        uint32_t coloursUsed = 0) {
    Bytes d;
    d.u32(40).u32(static_cast<uint32_t>(w)).u32(static_cast<uint32_t>(h)).u16(1).u16(static_cast<uint32_t>(bits));
    d.u32(compression).u32(imageSize).u32(0).u32(0).u32(coloursUsed).u32(0);
    return d;
}
// Colour table entry from 0x00BBGGRR.
inline Bytes& quad(Bytes& d, uint32_t c) { return d.u8(c >> 16).u8(c >> 8).u8(c).u8(0); }

inline std::vector<uint8_t> pictureData(const Bytes& dib) {
    Bytes p;
    p.sstr("TDIB").raw(dib.b);
    return p.b;
}

}  // namespace dxgtest
