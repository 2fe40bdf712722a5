// Image lists: named pictures attached to the display, cut into patterns and drawn into
// surfaces unscaled (Draw) or stretched, anchored and rotated (DrawRotated).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "media/DIB.h"
#include "media/DXDraw.h"

namespace media {

struct PictureItemData;

class TPictureCollection;

struct TPictureCollectionItemPattern {
    TRect Rect;
    TDirectDrawSurface* Surface = nullptr;
};

class TPictureCollectionItem {
public:
    explicit TPictureCollectionItem(TPictureCollection* owner) : owner_(owner) {}
    ~TPictureCollectionItem();

    std::string Name;
    int PatternHeight = 0;
    int PatternWidth = 0;
    int SkipHeight = 0;
    int SkipWidth = 0;
    bool SystemMemory = false;
    bool Transparent = true;

    TColor TransparentColor() const { return transparentColor_; }
    // Stores the colour and makes it the colour key of every surface of the item.
    void SetTransparentColor(TColor c);

    const std::shared_ptr<TDIB>& Picture() const { return picture_; }
    void SetPicture(std::shared_ptr<TDIB> picture) { picture_ = std::move(picture); }
    // Takes the name, settings and picture of an item read from a file (its surfaces are
    // built by the next Initialize).
    void Assign(const PictureItemData& data);

    int Width() const;
    int Height() const;
    int PatternCount() const { return static_cast<int>(patterns_.size()); }
    bool Initialized() const { return initialized_; }
    const std::vector<TPictureCollectionItemPattern>& Patterns() const { return patterns_; }

    void Draw(TDirectDrawSurface& dest, int x, int y, int patternIndex);
    void DrawRotated(TDirectDrawSurface& dest, int x, int y, int width, int height, int patternIndex,
                     double centerX, double centerY, int angle, int alpha = 255);

    void Initialize();
    void Finalize();
    void Restore();

private:
    friend class TPictureCollection;  // hands prepared items over to itself
    TPictureCollection* owner_;
    std::shared_ptr<TDIB> picture_;
    TColor transparentColor_ = 0;
    bool initialized_ = false;
    std::vector<TPictureCollectionItemPattern> patterns_;
    std::vector<std::unique_ptr<TDirectDrawSurface>> surfaces_;
};

class TCustomDXImageList;

class TPictureCollection {
public:
    explicit TPictureCollection(TCustomDXImageList* owner) : owner_(owner) {}
    ~TPictureCollection();

    int Count() const { return static_cast<int>(items_.size()); }
    // The item at index; an index outside 0 .. Count - 1 raises the list-index error, which
    // names the file the items were loaded from (a file with too few items).
    TPictureCollectionItem* Items(int index) const;
    TPictureCollectionItem* operator[](int index) const { return Items(index); }
    TPictureCollectionItem* Add();
    // A new item with the name, settings and picture of an item read from a file.
    TPictureCollectionItem* Add(const PictureItemData& data);
    void Clear();

    TCustomDXDraw* DXDraw() const { return dxdraw_; }
    bool Initialized() const { return dxdraw_ != nullptr; }
    // Kind-2 behaviour: finalise the items, record the display, initialise every item.
    void Initialize(TCustomDXDraw* dxdraw);
    void Finalize();
    void Restore();
    // Replaces all items with those of a picture collection file, then builds their
    // surfaces if the display is initialised. The path is as the game writes it.
    void LoadFromFile(const std::string& fileName);
    // Reads and builds a collection file ahead of its LoadFromFile, which then only puts the
    // prepared items in place (a picture change in the middle of play). A file that fails
    // here is read again by LoadFromFile, which reports it as it would have.
    void Prepare(const std::string& fileName);
    bool Prepared(const std::string& fileName) const { return prepared_ && preparedName_ == fileName; }

    TColorTable ColorTable{};

private:
    TCustomDXImageList* owner_;
    TCustomDXDraw* dxdraw_ = nullptr;
    std::vector<std::unique_ptr<TPictureCollectionItem>> items_;
    std::unique_ptr<TPictureCollection> prepared_;
    std::string preparedName_;
    std::string fileName_;  // the file the items came from, if any
};

class TCustomDXImageList : public TObject {
public:
    TCustomDXImageList();
    ~TCustomDXImageList() override;
    TPictureCollection Items;
    TCustomDXDraw* DXDraw() const { return dxdraw_; }
    // Detaches from the previous display and attaches to the new one as a listener.
    void SetDXDraw(TCustomDXDraw* dxdraw);
    std::string Name;

private:
    void DXDrawNotify(TCustomDXDraw* sender, TDXDrawNotifyType kind);
    TCustomDXDraw* dxdraw_ = nullptr;
};

class TDXImageList : public TCustomDXImageList {};

// Cos256: entry i is cos(i * 2 pi / 256).
const double* Cos256();

}  // namespace media
