// The back buffer and the items of the form's image lists, for the units that draw.
#pragma once

namespace media {
class TDirectDrawSurface;
class TPictureCollectionItem;
}  // namespace media

namespace game {

media::TDirectDrawSurface& backBuffer();
// Items by index; an index the list does not hold raises the list-index error.
media::TPictureCollectionItem& lodImage(int index);
media::TPictureCollectionItem& alinImage(int index);
media::TPictureCollectionItem& vobImage(int index);

}  // namespace game
