// Reading and writing collection files (.dxg): picture collections and wave collections.
// The readers hand over each item as soon as it is complete, so a load stopped by an
// error leaves the list as far as it was read.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "media/DIB.h"
#include "media/Wave.h"

namespace media {

struct PictureItemData {
    std::string Name;
    int PatternWidth = 0;
    int PatternHeight = 0;
    int SkipWidth = 0;
    int SkipHeight = 0;
    bool SystemMemory = false;
    bool Transparent = true;
    uint32_t TransparentColor = 0;  // 0x00BBGGRR
    std::shared_ptr<TDIB> Picture;  // null: item without a picture
};

struct WaveItemData {
    std::string Name;
    bool Looped = false;
    int MaxPlayingCount = 0;
    std::shared_ptr<TWave> Wave;  // null: item without a wave
};

using PictureItemSink = std::function<void(PictureItemData&&)>;
using WaveItemSink = std::function<void(WaveItemData&&)>;

// From bytes in memory. Errors are raised as the media layer's exceptions.
void ReadPictureCollection(const uint8_t* data, size_t size, const PictureItemSink& onItem);
void ReadWaveCollection(const uint8_t* data, size_t size, const WaveItemSink& onItem);
// From a file; path as written by the game (with '\' separators), opened with '/'.
// A file that cannot be opened raises EFOpenError "Cannot open file %s" with the path as written.
void ReadPictureCollectionFile(const std::string& path, const PictureItemSink& onItem);
void ReadWaveCollectionFile(const std::string& path, const WaveItemSink& onItem);

std::vector<uint8_t> WritePictureCollection(const std::vector<PictureItemData>& items);
std::vector<uint8_t> WriteWaveCollection(const std::vector<WaveItemData>& items);
// Written safely (platform/Files.h): a failure raises EFCreateError "Cannot write file %s: REASON"
// and leaves any previous file as it was.
void WritePictureCollectionFile(const std::string& path, const std::vector<PictureItemData>& items);
void WriteWaveCollectionFile(const std::string& path, const std::vector<WaveItemData>& items);

// The whole content of a collection file; EFOpenError "Cannot open file %s" (path as
// written) when it cannot be opened, is no regular file (a pipe, device or folder is refused
// before it is opened) or is larger than any collection file can be.
constexpr size_t kMaxCollectionFileBytes = size_t(256) << 20;

// What one collection file may make its reader (and the lists built from it) allocate, over
// all its items together: the pictures' pixels, the patterns they are cut into and the items
// themselves. Several times what the largest collection of the game holds; a file that
// declares more is refused before the item that would go over is decoded or kept, with a
// message naming the item and what was too large.
constexpr uint64_t kMaxCollectionPixels = uint64_t(16) << 20;
constexpr uint64_t kMaxCollectionPatterns = 65536;
constexpr uint64_t kMaxCollectionItems = 16384;

// The patterns a picture item is cut into, as an image list cuts it (0 without a picture).
uint64_t PatternCountOf(const PictureItemData& item);
// The size a "Picture.Data" payload declares, read from its header alone; false when the
// header cannot be read (the decoder then gives its own message).
bool DeclaredPictureSize(const uint8_t* data, size_t size, uint64_t& width, uint64_t& height);
std::vector<uint8_t> ReadCollectionFileBytes(const std::string& path);

// The payload of a "Picture.Data" property: the graphic kind ("TDIB" or "TBitmap") and
// its data. Other kinds, and a TDIB with no data, give an empty picture.
std::shared_ptr<TDIB> ReadPictureData(const uint8_t* data, size_t size);
std::vector<uint8_t> WritePictureData(const TDIB& dib);

// What a collection file holds, judged from its content (the component class name, else
// the item property names). Unknown when neither tells.
enum class CollectionKind { Unknown, Pictures, Waves };
CollectionKind DetectCollectionKind(const uint8_t* data, size_t size);

// A collection file made one item at a time: each item is encoded as it is added, so that
// its picture or wave can be let go at once; only the encoded file is held.
// WritePictureCollection and WriteWaveCollection give the same bytes for the same items.
class CollectionWriter {
public:
    explicit CollectionWriter(CollectionKind kind);  // Pictures or Waves
    void Add(const PictureItemData& item);  // a collection of pictures only
    void Add(const WaveItemData& item);     // a collection of waves only
    size_t Count() const { return count_; }
    // The size the file would have if it ended after the items so far.
    size_t Size() const { return bytes_.size() + 3; }
    // The whole file; the writer is empty afterwards.
    std::vector<uint8_t> Finish();

private:
    CollectionKind kind_;
    std::vector<uint8_t> bytes_;
    size_t sizeAt_ = 0;  // where the container header keeps the size of the component
    size_t count_ = 0;
};

}  // namespace media
