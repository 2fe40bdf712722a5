#include "media/CollectionFile.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "media/DIBFile.h"
#include "media/DxgStream.h"
#include "media/DxgWave.h"
#include "media/Errors.h"
#include "platform/Files.h"

namespace media {

namespace {

using dxg::Reader;
using dxg::Value;

const char kPictureClass[] = "TPictureCollectionComponent";
const char kWaveClass[] = "TWaveCollectionComponent";

[[noreturn]] void invalidValue() { throw EReadError("Invalid property value"); }
[[noreturn]] void unknownProperty(const std::string& name) {
    throw EReadError(Format("Property %s does not exist", name.c_str()));
}

int32_t readInteger(Reader& r) {
    Value v = r.ReadValue();
    if (!v.IsInteger()) invalidValue();
    return v.Int;
}
bool readBoolean(Reader& r) {
    Value v = r.ReadValue();
    if (!v.IsBoolean()) invalidValue();
    return v.Type == dxg::vaTrue;
}
std::string readString(Reader& r) {
    Value v = r.ReadValue();
    if (!v.IsString()) invalidValue();
    return v.Str;
}
Value readBinary(Reader& r) {
    Value v = r.ReadValue();
    if (v.Type != dxg::vaBinary) invalidValue();
    return v;
}
uint32_t readColour(Reader& r) {
    Value v = r.ReadValue();
    if (v.IsInteger()) return static_cast<uint32_t>(v.Int);
    uint32_t colour = 0;
    if (v.Type == dxg::vaIdent && dxg::IdentToColor(v.Str, colour)) return colour;
    invalidValue();
}

// What the items read so far have declared, against the file's budget.
struct Budget {
    uint64_t items = 0, pixels = 0, patterns = 0;
};

std::string itemLabel(uint64_t index, const std::string& name) {
    std::string label = "Item " + std::to_string(index);
    if (!name.empty()) label += " (" + EscapeControls(name) + ")";
    return label;
}

// Counts a picture of width x height into the budget, or refuses it before it is decoded.
void spendPixels(Budget& b, uint64_t index, const std::string& name, uint64_t width, uint64_t height) {
    const uint64_t total = b.pixels + width * height;
    if (total > kMaxCollectionPixels)
        throw EReadError(Format("%s is too large: a picture of %llux%llu would bring the file to %llu pixels (at most %llu)",
                                itemLabel(index, name).c_str(), (unsigned long long)width, (unsigned long long)height,
                                (unsigned long long)total, (unsigned long long)kMaxCollectionPixels));
    b.pixels = total;
}

void spendPatterns(Budget& b, uint64_t index, const PictureItemData& item) {
    const uint64_t n = PatternCountOf(item);
    const uint64_t total = b.patterns + n;
    if (total > kMaxCollectionPatterns)
        throw EReadError(Format("%s is too large: %llu patterns would bring the file to %llu (at most %llu)",
                                itemLabel(index, item.Name).c_str(), (unsigned long long)n, (unsigned long long)total,
                                (unsigned long long)kMaxCollectionPatterns));
    b.patterns = total;
}

// Reads the component around the one "List" property; readItem reads one item's
// properties into a fresh item and hands it over (also when an error stops it half-way,
// so that the list keeps what was read). An item beyond kMaxCollectionItems ends the load.
void readComponent(const uint8_t* data, size_t size, Budget& budget,
                   const std::function<void(Reader&, uint64_t)>& readItem) {
    Reader r(data, size);
    r.Seek(dxg::ReadContainerHeader(data, size));
    dxg::ReadComponentStart(r);
    while (!r.EndOfList()) {
        std::string name = r.ReadShortString();
        if (name != "List") unknownProperty(name);
        r.ReadCollection([&] {
            const uint64_t index = budget.items++;
            if (index >= kMaxCollectionItems)
                throw EReadError(Format("Item %llu is one too many (at most %llu items in a file)",
                                        (unsigned long long)index, (unsigned long long)kMaxCollectionItems));
            readItem(r, index);
        });
    }
    if (!r.EndOfList()) throw EReadError("Invalid stream format");  // end of child objects
}

// check runs on the complete item before it is handed over; an item it refuses is not kept.
template <typename Item, typename Sink, typename ReadProperty, typename Check>
void readItemProperties(Reader& r, const Sink& onItem, const ReadProperty& readProperty, const Check& check) {
    Item item;
    try {
        while (!r.EndOfList()) {
            std::string name = r.ReadShortString();
            readProperty(item, name);
        }
    } catch (...) {
        onItem(std::move(item));
        throw;
    }
    check(item);
    onItem(std::move(item));
}

std::string systemPath(const std::string& path) {
    std::string real = path;
    for (char& c : real)
        if (c == '\\') c = '/';
    return real;
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::string reason = platform::writeFileSafely(systemPath(path), bytes);
    if (!reason.empty()) throw EFCreateError(Format("Cannot write file %s: %s", path.c_str(), reason.c_str()));
}

// Runs a file's reader so that an error names the file it came from.
template <typename F>
void readingFile(const std::string& path, const F& read) {
    try {
        read();
    } catch (Exception& e) {
        if (e.File().empty()) e.SetFile(path);
        throw;
    } catch (const std::bad_alloc&) {
        OutOfMemoryReading(path);
    }
}

}  // namespace

std::shared_ptr<TDIB> ReadPictureData(const uint8_t* data, size_t size) {
    Reader r(data, size);
    const std::string kind = r.ReadShortString();
    if (kind == "TDIB") return std::make_shared<TDIB>(ReadDIB(data + r.Position(), r.Remaining()));
    if (kind == "TBitmap") {
        const uint32_t length = r.ReadU32();
        if (length == 0) return std::make_shared<TDIB>();
        const uint8_t* file = r.ReadBytes(length);
        return std::make_shared<TDIB>(ReadBitmapFile(file, length));
    }
    return std::make_shared<TDIB>();
}

uint64_t PatternCountOf(const PictureItemData& item) {
    if (!item.Picture || item.Picture->Empty()) return 0;
    // As an image list cuts a picture: the whole picture when the pattern is the picture,
    // else a grid of cells of pattern plus gap; a gap that swallows the cell gives none.
    const int64_t pw = item.Picture->Width(), ph = item.Picture->Height();
    const int64_t w = item.PatternWidth > 0 ? item.PatternWidth : pw;
    const int64_t h = item.PatternHeight > 0 ? item.PatternHeight : ph;
    if (w == pw && h == ph) return 1;
    const int64_t cellW = w + item.SkipWidth, cellH = h + item.SkipHeight;
    if (w <= 0 || h <= 0 || cellW <= 0 || cellH <= 0) return 0;
    const int64_t cols = (pw + item.SkipWidth) / cellW, rows = (ph + item.SkipHeight) / cellH;
    return cols > 0 && rows > 0 ? uint64_t(cols) * uint64_t(rows) : 0;
}

bool DeclaredPictureSize(const uint8_t* data, size_t size, uint64_t& width, uint64_t& height) {
    try {
        Reader r(data, size);
        const std::string kind = r.ReadShortString();
        if (kind == "TBitmap") {
            r.ReadU32();        // length of the bitmap file
            r.ReadBytes(14);    // its file header
        } else if (kind != "TDIB") {
            return false;
        }
        const uint32_t headerSize = r.ReadU32();
        int64_t w = 0, h = 0;
        if (headerSize == 40) {
            w = static_cast<int32_t>(r.ReadU32());
            h = static_cast<int32_t>(r.ReadU32());
        } else if (headerSize == 12) {
            w = r.ReadU16();
            h = r.ReadU16();
        } else {
            return false;
        }
        if (w < 0) return false;
        width = static_cast<uint64_t>(w);
        height = static_cast<uint64_t>(h < 0 ? -h : h);
        return true;
    } catch (const Exception&) {
        return false;
    }
}

std::vector<uint8_t> WritePictureData(const TDIB& dib) {
    dxg::Writer w;
    w.ShortString("TDIB");
    std::vector<uint8_t> body = WriteDIB(dib);
    w.Bytes.insert(w.Bytes.end(), body.begin(), body.end());
    return std::move(w.Bytes);
}

void ReadPictureCollection(const uint8_t* data, size_t size, const PictureItemSink& onItem) {
    Budget budget;
    readComponent(data, size, budget, [&](Reader& r, uint64_t index) {
        readItemProperties<PictureItemData>(r, onItem, [&](PictureItemData& item, const std::string& name) {
            if (name == "Name") item.Name = readString(r);
            else if (name == "PatternHeight") item.PatternHeight = readInteger(r);
            else if (name == "PatternWidth") item.PatternWidth = readInteger(r);
            else if (name == "Picture.Data") {
                Value v = readBinary(r);
                uint64_t w = 0, h = 0;
                // A second picture of the same item replaces the first.
                if (item.Picture) budget.pixels -= uint64_t(item.Picture->Width()) * uint64_t(item.Picture->Height());
                item.Picture.reset();
                // A size no picture may have is left to the decoder, which calls it invalid.
                if (DeclaredPictureSize(v.Bin, v.BinSize, w, h) && w <= uint64_t(kMaxDibSide) &&
                    h <= uint64_t(kMaxDibSide) && w * h <= kMaxDibPixels)
                    spendPixels(budget, index, item.Name, w, h);
                item.Picture = ReadPictureData(v.Bin, v.BinSize);
            } else if (name == "SkipHeight") item.SkipHeight = readInteger(r);
            else if (name == "SkipWidth") item.SkipWidth = readInteger(r);
            else if (name == "SystemMemory") item.SystemMemory = readBoolean(r);
            else if (name == "Transparent") item.Transparent = readBoolean(r);
            else if (name == "TransparentColor") item.TransparentColor = readColour(r);
            else unknownProperty(name);
        }, [&](const PictureItemData& item) { spendPatterns(budget, index, item); });
    });
}

void ReadWaveCollection(const uint8_t* data, size_t size, const WaveItemSink& onItem) {
    Budget budget;
    readComponent(data, size, budget, [&](Reader& r, uint64_t) {
        readItemProperties<WaveItemData>(r, onItem, [&r](WaveItemData& item, const std::string& name) {
            if (name == "Name") item.Name = readString(r);
            else if (name == "Looped") item.Looped = readBoolean(r);
            else if (name == "MaxPlayingCount") {
                int32_t n = readInteger(r);
                item.MaxPlayingCount = n < 0 ? 0 : n;
            } else if (name == "Wave.WAVE") {
                Value v = readBinary(r);
                item.Wave = std::make_shared<TWave>(ReadWave(v.Bin, v.BinSize));
            } else unknownProperty(name);
        }, [](const WaveItemData&) {});
    });
}

std::vector<uint8_t> ReadCollectionFileBytes(const std::string& path) {
    // Only regular files, checked before anything is opened: a folder, pipe or device is no
    // collection file, and opening a pipe would wait for a writer for ever.
    std::vector<uint8_t> bytes;
    platform::ReadFailure failure = platform::ReadFailure::None;
    try {
        failure = platform::readRegularFile(systemPath(path), bytes, kMaxCollectionFileBytes);
    } catch (const std::bad_alloc&) {
        OutOfMemoryReading(path);
    }
    if (failure != platform::ReadFailure::None) {
        EFOpenError e(Format("Cannot open file %s", path.c_str()));
        e.SetFile(path);
        throw e;
    }
    return bytes;
}

void ReadPictureCollectionFile(const std::string& path, const PictureItemSink& onItem) {
    std::vector<uint8_t> bytes = ReadCollectionFileBytes(path);
    readingFile(path, [&] { ReadPictureCollection(bytes.data(), bytes.size(), onItem); });
}

void ReadWaveCollectionFile(const std::string& path, const WaveItemSink& onItem) {
    std::vector<uint8_t> bytes = ReadCollectionFileBytes(path);
    readingFile(path, [&] { ReadWaveCollection(bytes.data(), bytes.size(), onItem); });
}

namespace {

void writePictureItem(dxg::Writer& w, const PictureItemData& item) {
    w.Byte(dxg::vaList);
    if (!item.Name.empty()) {
        w.Property("Name");
        w.String(item.Name);
    }
    w.Property("PatternHeight");
    w.Integer(item.PatternHeight);
    w.Property("PatternWidth");
    w.Integer(item.PatternWidth);
    if (item.Picture) {
        w.Property("Picture.Data");
        w.Binary(WritePictureData(*item.Picture));
    }
    if (item.SkipHeight != 0) {
        w.Property("SkipHeight");
        w.Integer(item.SkipHeight);
    }
    if (item.SkipWidth != 0) {
        w.Property("SkipWidth");
        w.Integer(item.SkipWidth);
    }
    if (item.SystemMemory) {
        w.Property("SystemMemory");
        w.Boolean(true);
    }
    if (!item.Transparent) {
        w.Property("Transparent");
        w.Boolean(false);
    }
    if (item.TransparentColor != 0) {
        w.Property("TransparentColor");
        std::string ident;
        if (dxg::ColorToIdent(item.TransparentColor, ident))
            w.Ident(ident);
        else
            w.Integer(static_cast<int32_t>(item.TransparentColor));
    }
    w.Byte(dxg::vaNull);
}

void writeWaveItem(dxg::Writer& w, const WaveItemData& item) {
    w.Byte(dxg::vaList);
    if (!item.Name.empty()) {
        w.Property("Name");
        w.String(item.Name);
    }
    if (item.Looped) {
        w.Property("Looped");
        w.Boolean(true);
    }
    if (item.MaxPlayingCount != 0) {
        w.Property("MaxPlayingCount");
        w.Integer(item.MaxPlayingCount);
    }
    if (item.Wave) {
        w.Property("Wave.WAVE");
        w.Binary(WriteWave(*item.Wave));
    }
    w.Byte(dxg::vaNull);
}

// Writes one item at the end of bytes; when writing it fails, bytes keeps what it held.
template <class Item>
void appendItem(std::vector<uint8_t>& bytes, const Item& item, void (*write)(dxg::Writer&, const Item&)) {
    dxg::Writer w;
    w.Bytes = std::move(bytes);
    try {
        write(w, item);
    } catch (...) {
        bytes = std::move(w.Bytes);
        throw;
    }
    bytes = std::move(w.Bytes);
}

}  // namespace

CollectionWriter::CollectionWriter(CollectionKind kind) : kind_(kind) {
    const char* className = kind == CollectionKind::Waves ? kWaveClass : kPictureClass;
    // The container's header (its size filled in at the end), then the component's start.
    dxg::Writer w;
    w.Bytes = dxg::WriteContainer(className, {});
    sizeAt_ = w.Bytes.size() - 4;
    w.Raw("TPF0");
    w.ShortString(className);
    w.ShortString("");
    w.Property("List");
    w.Byte(dxg::vaCollection);
    bytes_ = std::move(w.Bytes);
}

void CollectionWriter::Add(const PictureItemData& item) {
    if (kind_ == CollectionKind::Waves) throw EInvalidOperation("A picture cannot be added to a wave collection");
    appendItem(bytes_, item, writePictureItem);
    ++count_;
}

void CollectionWriter::Add(const WaveItemData& item) {
    if (kind_ != CollectionKind::Waves) throw EInvalidOperation("A wave cannot be added to a picture collection");
    appendItem(bytes_, item, writeWaveItem);
    ++count_;
}

std::vector<uint8_t> CollectionWriter::Finish() {
    bytes_.insert(bytes_.end(), {dxg::vaNull, dxg::vaNull, dxg::vaNull});  // ends of the collection, the properties, the children
    const uint32_t component = static_cast<uint32_t>(bytes_.size() - sizeAt_ - 4);
    for (int i = 0; i < 4; ++i) bytes_[sizeAt_ + i] = static_cast<uint8_t>(component >> (8 * i));
    count_ = 0;
    return std::move(bytes_);
}

std::vector<uint8_t> WritePictureCollection(const std::vector<PictureItemData>& items) {
    CollectionWriter writer(CollectionKind::Pictures);
    for (const PictureItemData& item : items) writer.Add(item);
    return writer.Finish();
}

std::vector<uint8_t> WriteWaveCollection(const std::vector<WaveItemData>& items) {
    CollectionWriter writer(CollectionKind::Waves);
    for (const WaveItemData& item : items) writer.Add(item);
    return writer.Finish();
}

void WritePictureCollectionFile(const std::string& path, const std::vector<PictureItemData>& items) {
    writeFile(path, WritePictureCollection(items));
}

void WriteWaveCollectionFile(const std::string& path, const std::vector<WaveItemData>& items) {
    writeFile(path, WriteWaveCollection(items));
}

CollectionKind DetectCollectionKind(const uint8_t* data, size_t size) {
    try {
        Reader r(data, size);
        r.Seek(dxg::ReadContainerHeader(data, size));
        const std::string className = dxg::ReadComponentStart(r);
        if (className == kPictureClass) return CollectionKind::Pictures;
        if (className == kWaveClass) return CollectionKind::Waves;
        // Judge by the first item property that only one kind has.
        if (r.EndOfList() || r.ReadShortString() != "List") return CollectionKind::Unknown;
        if (r.ReadByte() != dxg::vaCollection) return CollectionKind::Unknown;
        while (!r.EndOfList()) {
            uint8_t t = r.PeekByte();
            if (t == dxg::vaInt8 || t == dxg::vaInt16 || t == dxg::vaInt32) r.ReadValue();
            if (r.ReadByte() != dxg::vaList) return CollectionKind::Unknown;
            while (!r.EndOfList()) {
                const std::string name = r.ReadShortString();
                if (name == "Looped" || name == "MaxPlayingCount" || name == "Wave.WAVE") return CollectionKind::Waves;
                if (name != "Name") return CollectionKind::Pictures;
                r.ReadValue();
            }
        }
    } catch (const Exception&) {
    }
    return CollectionKind::Unknown;
}

}  // namespace media
