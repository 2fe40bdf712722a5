#include "media/CollectionFile.h"

#include <cstdio>
#include <cstring>

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

// Reads the component around the one "List" property; readItem reads one item's
// properties into a fresh item and hands it over (also when an error stops it half-way,
// so that the list keeps what was read).
void readComponent(const uint8_t* data, size_t size, const std::function<void(Reader&)>& readItem) {
    Reader r(data, size);
    r.Seek(dxg::ReadContainerHeader(data, size));
    dxg::ReadComponentStart(r);
    while (!r.EndOfList()) {
        std::string name = r.ReadShortString();
        if (name != "List") unknownProperty(name);
        r.ReadCollection([&] { readItem(r); });
    }
    if (!r.EndOfList()) throw EReadError("Invalid stream format");  // end of child objects
}

template <typename Item, typename Sink, typename ReadProperty>
void readItemProperties(Reader& r, const Sink& onItem, const ReadProperty& readProperty) {
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
    }
}

std::vector<uint8_t> component(const char* className, const std::function<void(dxg::Writer&)>& writeItems) {
    dxg::Writer w;
    w.Raw("TPF0");
    w.ShortString(className);
    w.ShortString("");
    w.Property("List");
    w.Byte(dxg::vaCollection);
    writeItems(w);
    w.Byte(dxg::vaNull);  // end of the collection
    w.Byte(dxg::vaNull);  // end of properties
    w.Byte(dxg::vaNull);  // end of child objects
    return dxg::WriteContainer(className, w.Bytes);
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

std::vector<uint8_t> WritePictureData(const TDIB& dib) {
    dxg::Writer w;
    w.ShortString("TDIB");
    std::vector<uint8_t> body = WriteDIB(dib);
    w.Bytes.insert(w.Bytes.end(), body.begin(), body.end());
    return std::move(w.Bytes);
}

void ReadPictureCollection(const uint8_t* data, size_t size, const PictureItemSink& onItem) {
    readComponent(data, size, [&](Reader& r) {
        readItemProperties<PictureItemData>(r, onItem, [&r](PictureItemData& item, const std::string& name) {
            if (name == "Name") item.Name = readString(r);
            else if (name == "PatternHeight") item.PatternHeight = readInteger(r);
            else if (name == "PatternWidth") item.PatternWidth = readInteger(r);
            else if (name == "Picture.Data") {
                Value v = readBinary(r);
                item.Picture = ReadPictureData(v.Bin, v.BinSize);
            } else if (name == "SkipHeight") item.SkipHeight = readInteger(r);
            else if (name == "SkipWidth") item.SkipWidth = readInteger(r);
            else if (name == "SystemMemory") item.SystemMemory = readBoolean(r);
            else if (name == "Transparent") item.Transparent = readBoolean(r);
            else if (name == "TransparentColor") item.TransparentColor = readColour(r);
            else unknownProperty(name);
        });
    });
}

void ReadWaveCollection(const uint8_t* data, size_t size, const WaveItemSink& onItem) {
    readComponent(data, size, [&](Reader& r) {
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
        });
    });
}

std::vector<uint8_t> ReadCollectionFileBytes(const std::string& path) {
    // Only regular files, checked before anything is opened: a folder, pipe or device is no
    // collection file, and opening a pipe would wait for a writer for ever.
    std::vector<uint8_t> bytes;
    if (platform::readRegularFile(systemPath(path), bytes, kMaxCollectionFileBytes) != platform::ReadFailure::None) {
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

std::vector<uint8_t> WritePictureCollection(const std::vector<PictureItemData>& items) {
    return component(kPictureClass, [&](dxg::Writer& w) {
        for (const PictureItemData& item : items) {
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
    });
}

std::vector<uint8_t> WriteWaveCollection(const std::vector<WaveItemData>& items) {
    return component(kWaveClass, [&](dxg::Writer& w) {
        for (const WaveItemData& item : items) {
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
    });
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
