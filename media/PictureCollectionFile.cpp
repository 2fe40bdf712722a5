// TPictureCollection::LoadFromFile: fills the collection from a picture collection file.
#include <new>
#include <utility>

#include "media/CollectionFile.h"
#include "media/DXImageList.h"
#include "media/Errors.h"

namespace media {

void TPictureCollection::Prepare(const std::string& fileName) {
    prepared_.reset();
    auto ahead = std::make_unique<TPictureCollection>(owner_);
    try {
        ahead->dxdraw_ = nullptr;
        ahead->LoadFromFile(fileName);  // items only: this collection is attached to no display
        TCustomDXDraw* display = DXDraw();
        if (display && display->Initialized()) {
            ahead->dxdraw_ = display;
            for (auto& item : ahead->items_) item->Initialize();
        }
    } catch (const std::exception&) {
        return;  // LoadFromFile will meet the failure itself
    }
    prepared_ = std::move(ahead);
    preparedName_ = fileName;
}

void TPictureCollection::LoadFromFile(const std::string& fileName) {
    if (prepared_ && preparedName_ == fileName) {
        std::unique_ptr<TPictureCollection> ahead = std::move(prepared_);
        TCustomDXDraw* display = DXDraw();
        const bool built = display && display->Initialized() && ahead->dxdraw_ == display;
        Clear();
        items_.swap(ahead->items_);
        for (auto& item : items_) item->owner_ = this;
        fileName_ = fileName;
        if (built) {
            dxdraw_ = display;
        } else if (display && display->Initialized()) {
            Initialize(display);
        }
        return;
    }
    // A file that cannot be opened leaves the items as they were.
    std::vector<uint8_t> bytes = ReadCollectionFileBytes(fileName);
    Clear();
    fileName_ = fileName;
    try {
        ReadPictureCollection(bytes.data(), bytes.size(), [this](PictureItemData&& data) { Add(data); });
    } catch (Exception& e) {  // the message names the file it came from
        if (e.File().empty()) e.SetFile(fileName);
        throw;
    } catch (const std::bad_alloc&) {
        OutOfMemoryReading(fileName);
    }
    // Initialising the collection for an open display also builds every item's surfaces.
    TCustomDXDraw* display = DXDraw();
    try {
        if (display && display->Initialized()) Initialize(display);
    } catch (const std::bad_alloc&) {
        OutOfMemoryReading(fileName);
    }
}

void TPictureCollectionItem::Assign(const PictureItemData& data) {
    Name = data.Name;
    PatternHeight = data.PatternHeight;
    PatternWidth = data.PatternWidth;
    SkipHeight = data.SkipHeight;
    SkipWidth = data.SkipWidth;
    SystemMemory = data.SystemMemory;
    Transparent = data.Transparent;
    SetPicture(data.Picture);
    SetTransparentColor(data.TransparentColor);
}

TPictureCollectionItem* TPictureCollection::Add(const PictureItemData& data) {
    TPictureCollectionItem* item = Add();
    item->Assign(data);
    return item;
}

}  // namespace media
