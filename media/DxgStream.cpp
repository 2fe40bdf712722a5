#include "media/DxgStream.h"

#include <cstring>
#include <strings.h>

#include "media/Errors.h"

namespace media {
namespace dxg {

namespace {

[[noreturn]] void invalidStream() { throw EReadError("Invalid stream format"); }

struct ColourName {
    const char* Name;
    uint32_t Value;
};

const ColourName kColourNames[] = {
    {"clBlack", 0x000000},  {"clMaroon", 0x000080},     {"clGreen", 0x008000},   {"clOlive", 0x008080},
    {"clNavy", 0x800000},   {"clPurple", 0x800080},     {"clTeal", 0x808000},    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0}, {"clRed", 0x0000FF},        {"clLime", 0x00FF00},    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},   {"clFuchsia", 0xFF00FF},    {"clAqua", 0xFFFF00},    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6}, {"clCream", 0xF0FBFF}, {"clMedGray", 0xA4A0A0},
    {"clLtGray", 0xC0C0C0}, {"clDkGray", 0x808080},     {"clNone", 0x1FFFFFFF},  {"clDefault", 0x20000000},
};

}  // namespace

void Reader::Seek(size_t pos) {
    if (pos > size_) invalidStream();
    pos_ = pos;
}

uint8_t Reader::ReadByte() {
    if (pos_ >= size_) invalidStream();
    return data_[pos_++];
}

uint8_t Reader::PeekByte() const {
    if (pos_ >= size_) invalidStream();
    return data_[pos_];
}

uint16_t Reader::ReadU16() {
    const uint8_t* p = ReadBytes(2);
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t Reader::ReadU32() {
    const uint8_t* p = ReadBytes(4);
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

const uint8_t* Reader::ReadBytes(size_t n) {
    if (n > size_ - pos_) invalidStream();
    const uint8_t* p = data_ + pos_;
    pos_ += n;
    return p;
}

std::string Reader::ReadShortString() {
    size_t n = ReadByte();
    const uint8_t* p = ReadBytes(n);
    return std::string(reinterpret_cast<const char*>(p), n);
}

bool Reader::EndOfList() {
    if (PeekByte() != vaNull) return false;
    ++pos_;
    return true;
}

Value Reader::ReadValue(int depth) {
    if (depth > kMaxNesting) invalidStream();
    Value v;
    v.Type = static_cast<ValueType>(ReadByte());
    switch (v.Type) {
    case vaList:
        while (!EndOfList()) ReadValue(depth + 1);
        break;
    case vaInt8: v.Int = static_cast<int8_t>(ReadByte()); break;
    case vaInt16: v.Int = static_cast<int16_t>(ReadU16()); break;
    case vaInt32: v.Int = static_cast<int32_t>(ReadU32()); break;
    case vaString:
    case vaIdent: v.Str = ReadShortString(); break;
    case vaFalse:
    case vaTrue: break;
    case vaBinary:
        v.BinSize = ReadU32();
        v.Bin = ReadBytes(v.BinSize);
        break;
    case vaLString: {
        size_t n = ReadU32();
        const uint8_t* p = ReadBytes(n);
        v.Str.assign(reinterpret_cast<const char*>(p), n);
        break;
    }
    case vaCollection:
        while (!EndOfList()) {
            uint8_t t = PeekByte();
            if (t == vaInt8 || t == vaInt16 || t == vaInt32) ReadValue(depth + 1);
            if (ReadByte() != vaList) invalidStream();
            while (!EndOfList()) {
                ReadShortString();
                ReadValue(depth + 1);
            }
        }
        break;
    default: invalidStream();  // includes a stray end-of-list byte
    }
    return v;
}

void Reader::ReadCollection(const std::function<void()>& onItem) {
    if (ReadByte() != vaCollection) invalidStream();
    while (!EndOfList()) {
        uint8_t t = PeekByte();
        if (t == vaInt8 || t == vaInt16 || t == vaInt32) ReadValue();  // order number, ignored
        if (ReadByte() != vaList) invalidStream();
        onItem();
    }
}

void Writer::U16(uint32_t v) {
    Byte(static_cast<uint8_t>(v));
    Byte(static_cast<uint8_t>(v >> 8));
}

void Writer::U32(uint32_t v) {
    U16(v & 0xFFFF);
    U16(v >> 16);
}

void Writer::ShortString(const std::string& s) {
    size_t n = s.size() < 255 ? s.size() : 255;
    Byte(static_cast<uint8_t>(n));
    Bytes.insert(Bytes.end(), s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n));
}

void Writer::Integer(int32_t v) {
    if (v >= -128 && v <= 127) {
        Byte(vaInt8);
        Byte(static_cast<uint8_t>(v));
    } else if (v >= -32768 && v <= 32767) {
        Byte(vaInt16);
        U16(static_cast<uint16_t>(v));
    } else {
        Byte(vaInt32);
        U32(static_cast<uint32_t>(v));
    }
}

void Writer::String(const std::string& s) {
    if (s.size() <= 255) {
        Byte(vaString);
        ShortString(s);
    } else {
        Byte(vaLString);
        U32(static_cast<uint32_t>(s.size()));
        Bytes.insert(Bytes.end(), s.begin(), s.end());
    }
}

void Writer::Ident(const std::string& s) {
    Byte(vaIdent);
    ShortString(s);
}

void Writer::Binary(const std::vector<uint8_t>& data) {
    Byte(vaBinary);
    U32(static_cast<uint32_t>(data.size()));
    Bytes.insert(Bytes.end(), data.begin(), data.end());
}

size_t ReadContainerHeader(const uint8_t* data, size_t size) {
    // The header is read in one go of at most 79 bytes: marker, type, name, flags, size.
    const size_t head = size < 79 ? size : 79;
    if (head < 3 || data[0] != 0xFF || data[1] != 10 || data[2] != 0) invalidStream();
    const void* nul = std::memchr(data + 3, 0, head - 3);
    if (!nul) invalidStream();
    const size_t nameLength = static_cast<size_t>(static_cast<const uint8_t*>(nul) - (data + 3));
    const size_t start = nameLength + 10;
    if (start > size) invalidStream();
    return start;
}

std::string ReadComponentStart(Reader& r) {
    const uint8_t* sig = r.ReadBytes(4);
    if (std::memcmp(sig, "TPF0", 4) != 0) invalidStream();
    const uint8_t prefix = r.PeekByte();
    if ((prefix & 0xF0) == 0xF0) {
        r.ReadByte();
        if (prefix & 0x02) {
            Value position = r.ReadValue();
            if (!position.IsInteger()) invalidStream();
        }
    }
    std::string className = r.ReadShortString();
    r.ReadShortString();  // object name
    return className;
}

std::vector<uint8_t> WriteContainer(const std::string& resourceName, const std::vector<uint8_t>& component) {
    Writer w;
    w.Byte(0xFF);
    w.U16(10);
    std::string name = resourceName.substr(0, 63);
    for (char& ch : name) {
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
        if (ch == 0) ch = '_';
    }
    w.Bytes.insert(w.Bytes.end(), name.begin(), name.end());
    w.Byte(0);
    w.U16(0x1030);
    w.U32(static_cast<uint32_t>(component.size()));
    w.Bytes.insert(w.Bytes.end(), component.begin(), component.end());
    return std::move(w.Bytes);
}

bool IdentToColor(const std::string& ident, uint32_t& colour) {
    for (const ColourName& c : kColourNames) {
        if (strcasecmp(c.Name, ident.c_str()) == 0 && std::strlen(c.Name) == ident.size()) {
            colour = c.Value;
            return true;
        }
    }
    return false;
}

bool ColorToIdent(uint32_t colour, std::string& ident) {
    // Only the two names every reader of the format knows; other colours are written as
    // integers so that any reader gets them back.
    if (colour == 0x000000) ident = "clBlack";
    else if (colour == 0xFFFFFF) ident = "clWhite";
    else return false;
    return true;
}

}  // namespace dxg
}  // namespace media
