// TPictureCollection::LoadFromFile: fills the collection from a picture collection file.
#include <utility>

#include "media/CollectionFile.h"
#include "media/DXImageList.h"
#include "media/Errors.h"

namespace media {

void TPictureCollection::LoadFromFile(const std::string& fileName) {
    // A file that cannot be opened leaves the items as they were.
    std::vector<uint8_t> bytes = ReadCollectionFileBytes(fileName);
    Clear();
    try {
        ReadPictureCollection(bytes.data(), bytes.size(), [this](PictureItemData&& data) { Add(data); });
    } catch (Exception& e) {  // the message names the file it came from
        if (e.File().empty()) e.SetFile(fileName);
        throw;
    }
    // Initialising the collection for an open display also builds every item's surfaces.
    TCustomDXDraw* display = DXDraw();
    if (display && display->Initialized()) Initialize(display);
}

TPictureCollectionItem* TPictureCollection::Add(const PictureItemData& data) {
    TPictureCollectionItem* item = Add();
    item->Name = data.Name;
    item->PatternHeight = data.PatternHeight;
    item->PatternWidth = data.PatternWidth;
    item->SkipHeight = data.SkipHeight;
    item->SkipWidth = data.SkipWidth;
    item->SystemMemory = data.SystemMemory;
    item->Transparent = data.Transparent;
    item->SetPicture(data.Picture);
    item->SetTransparentColor(data.TransparentColor);
    return item;
}

}  // namespace media
