// Fuzz target: every reader of collection files and their picture and wave data. Bad
// input may only end with one of the media layer's exceptions; anything else (a crash,
// an over-read, an allocation beyond the limit, another exception) is a finding.
#include <cstddef>
#include <cstdint>

#include "media/CollectionFile.h"
#include "media/DIBFile.h"
#include "media/DxgWave.h"
#include "media/Errors.h"

using namespace media;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<PictureItemData> pictures;
    try {
        ReadPictureCollection(data, size, [&](PictureItemData&& d) { pictures.push_back(std::move(d)); });
    } catch (const Exception&) {
    }
    // Whatever was read must be writable again or refused with a media error.
    try {
        std::vector<uint8_t> again = WritePictureCollection(pictures);
        ReadPictureCollection(again.data(), again.size(), [](PictureItemData&&) {});
    } catch (const Exception&) {
    }
    std::vector<WaveItemData> waves;
    try {
        ReadWaveCollection(data, size, [&](WaveItemData&& d) { waves.push_back(std::move(d)); });
    } catch (const Exception&) {
    }
    try {
        std::vector<uint8_t> again = WriteWaveCollection(waves);
        ReadWaveCollection(again.data(), again.size(), [](WaveItemData&&) {});
    } catch (const Exception&) {
    }
    try {
        ReadDIB(data, size);
    } catch (const Exception&) {
    }
    try {
        ReadBitmapFile(data, size);
    } catch (const Exception&) {
    }
    try {
        ReadWave(data, size);
    } catch (const Exception&) {
    }
    try {
        ReadPictureData(data, size);
    } catch (const Exception&) {
    }
    return 0;
}
