// Bitmap encodings of a TDIB: the DIB data stored in collection files (information or
// core header, colour table, raw, run-length or bit-field rows) and whole bitmap files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "media/DIB.h"

namespace media {

// Decodes DIB data (header, masks, colour table, rows). No bytes at all give an empty
// picture. pixelOffset, when not 0, is where the rows start (counted from `data`), as a
// bitmap file's header gives it. Bad data raises EDIBError ("DIB is invalid",
// "Bitcount in invalid (%d)", "PixelFormat in invalid"); nothing is allocated beyond
// what the data can fill.
TDIB ReadDIB(const uint8_t* data, size_t size, size_t pixelOffset = 0);

// A complete bitmap file ("BM" file header followed by DIB data).
TDIB ReadBitmapFile(const uint8_t* data, size_t size);

// Encodes the picture with the depth of BitCount(): 1, 4 and 8 bits with a colour table
// (Palette(), or else a full-size table of the used colours in order of first
// appearance followed by black entries),
// 16 bits as 5-6-5 bit fields, 24 and 32 bits raw. Rows bottom first. An empty picture
// gives no bytes. Too many colours for the depth, a pixel missing from a given palette or
// an unsupported depth raise EDIBError.
std::vector<uint8_t> WriteDIB(const TDIB& dib);
std::vector<uint8_t> WriteBitmapFile(const TDIB& dib);

// Colour of a 16-bit pixel (5-5-5 or 5-6-5); the channels are widened by repeating
// their top bits.
uint32_t Color555(uint16_t v);
uint32_t Color565(uint16_t v);

}  // namespace media
