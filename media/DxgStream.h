// The serialised-component stream inside collection files: the resource-entry header,
// the "TPF0" signature and the typed values (integers, strings, identifiers, booleans,
// binary blocks, lists and collections). Used by the collection readers and writers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace media {
namespace dxg {

enum ValueType : uint8_t {
    vaNull = 0x00,
    vaList = 0x01,
    vaInt8 = 0x02,
    vaInt16 = 0x03,
    vaInt32 = 0x04,
    vaString = 0x06,
    vaIdent = 0x07,
    vaFalse = 0x08,
    vaTrue = 0x09,
    vaBinary = 0x0A,
    vaLString = 0x0C,
    vaCollection = 0x0E,
};

// One value read from the stream. Lists and collections are only stepped over (their
// contents are not kept); binary data points into the stream's bytes.
struct Value {
    ValueType Type = vaNull;
    int32_t Int = 0;
    std::string Str;
    const uint8_t* Bin = nullptr;
    size_t BinSize = 0;
    bool IsInteger() const { return Type == vaInt8 || Type == vaInt16 || Type == vaInt32; }
    bool IsString() const { return Type == vaString || Type == vaLString; }
    bool IsBoolean() const { return Type == vaFalse || Type == vaTrue; }
};

// Lists nested deeper than this end the load.
constexpr int kMaxNesting = 32;

// Bounds-checked reader over the bytes of a collection file. Running past the end, an
// unknown value type or nesting beyond kMaxNesting raise EReadError "Invalid stream format".
class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    size_t Position() const { return pos_; }
    size_t Remaining() const { return size_ - pos_; }
    void Seek(size_t pos);

    uint8_t ReadByte();
    uint8_t PeekByte() const;
    uint16_t ReadU16();
    uint32_t ReadU32();
    const uint8_t* ReadBytes(size_t n);
    std::string ReadShortString();

    // Reads one value of any kind; lists and collections are stepped over.
    Value ReadValue() { return ReadValue(0); }
    // Expects vaCollection; for each item skips its optional order number, expects the
    // list start and calls onItem, which must read the item's properties (name and
    // value pairs) and the item's end byte.
    void ReadCollection(const std::function<void()>& onItem);
    // True (and consumes it) when the next byte is the end-of-list byte.
    bool EndOfList();

private:
    Value ReadValue(int depth);
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

class Writer {
public:
    std::vector<uint8_t> Bytes;
    void Byte(uint8_t b) { Bytes.push_back(b); }
    void Raw(const char* text) {
        while (*text) Byte(static_cast<uint8_t>(*text++));
    }
    void U16(uint32_t v);
    void U32(uint32_t v);
    void ShortString(const std::string& s);  // at most 255 characters are kept
    void Integer(int32_t v);                 // the smallest integer kind that holds v
    void String(const std::string& s);       // short string up to 255 characters, else long
    void Ident(const std::string& s);
    void Boolean(bool v) { Byte(v ? vaTrue : vaFalse); }
    void Binary(const std::vector<uint8_t>& data);
    void Property(const std::string& name) { ShortString(name); }
};

// Checks the resource-entry header and returns the offset of the component data.
size_t ReadContainerHeader(const uint8_t* data, size_t size);
// Reads "TPF0", the optional prefix, the class name (returned) and the object name, and
// leaves the reader at the first property.
std::string ReadComponentStart(Reader& r);
// The whole file: header with the upper-cased resource name, flags 0x1030, the size of
// the component data, then the data.
std::vector<uint8_t> WriteContainer(const std::string& resourceName, const std::vector<uint8_t>& component);

// Colour names accepted for colour properties ("clBlack", "clWhite", ...).
bool IdentToColor(const std::string& ident, uint32_t& colour);
// The name written for a colour: only "clBlack" and "clWhite" are written as names.
bool ColorToIdent(uint32_t colour, std::string& ident);

}  // namespace dxg
}  // namespace media
