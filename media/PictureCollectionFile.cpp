// TPictureCollection::LoadFromFile: fills the collection from a picture collection file.
#include <utility>

#include "media/CollectionFile.h"
#include "media/DXImageList.h"

namespace media {

void TPictureCollection::LoadFromFile(const std::string& fileName) {
    // A file that cannot be opened leaves the items as they were.
    std::vector<uint8_t> bytes = ReadCollectionFileBytes(fileName);
    Clear();
    ReadPictureCollection(bytes.data(), bytes.size(), [this](PictureItemData&& data) {
        TPictureCollectionItem* item = Add();
        item->Name = std::move(data.Name);
        item->PatternHeight = data.PatternHeight;
        item->PatternWidth = data.PatternWidth;
        item->SkipHeight = data.SkipHeight;
        item->SkipWidth = data.SkipWidth;
        item->SystemMemory = data.SystemMemory;
        item->Transparent = data.Transparent;
        item->SetPicture(std::move(data.Picture));
        item->SetTransparentColor(data.TransparentColor);
    });
    TCustomDXDraw* display = DXDraw();
    if (display && display->Initialized()) {
        Initialize(display);
        Restore();
    }
}

}  // namespace media
