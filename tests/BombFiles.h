// Hostile collection files that are small on disk but declare a great deal: one run-length
// picture that expands to side x side pixels cut into 1 x 1 patterns, or a great many
// empty items. Written byte by byte, as an attacker would, not through the writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bombs {

inline void put32(std::vector<uint8_t>& o, uint32_t v) {
    for (int i = 0; i < 4; ++i) o.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
inline void shortString(std::vector<uint8_t>& o, const std::string& s) {
    o.push_back(static_cast<uint8_t>(s.size()));
    o.insert(o.end(), s.begin(), s.end());
}

// Picture.Data of an 8-bit run-length picture whose rows are all ended at once: a few bytes
// per row, a whole side x side picture once expanded.
inline std::vector<uint8_t> rlePicture(uint32_t side) {
    std::vector<uint8_t> image;
    for (uint32_t r = 0; r < side; ++r) image.insert(image.end(), {0, 0});
    image.insert(image.end(), {0, 1});
    const size_t declared = static_cast<size_t>(uint64_t(side) * side / 256);
    if (image.size() < declared) image.resize(declared, 0);
    std::vector<uint8_t> o;
    shortString(o, "TDIB");
    put32(o, 40);
    put32(o, side);
    put32(o, side);
    o.insert(o.end(), {1, 0, 8, 0});  // planes, bits
    put32(o, 1);                      // run-length, 8 bits
    put32(o, static_cast<uint32_t>(image.size()));
    put32(o, 0);
    put32(o, 0);
    put32(o, 2);  // colours used
    put32(o, 0);
    o.insert(o.end(), {0, 0, 0, 0, 255, 255, 255, 0});
    o.insert(o.end(), image.begin(), image.end());
    return o;
}

inline std::vector<uint8_t> container(const std::vector<uint8_t>& items) {
    std::vector<uint8_t> c = {'T', 'P', 'F', '0'};
    shortString(c, "TPictureCollectionComponent");
    shortString(c, "");
    shortString(c, "List");
    c.push_back(0x0E);
    c.insert(c.end(), items.begin(), items.end());
    c.insert(c.end(), {0, 0, 0});
    std::vector<uint8_t> o = {0xFF, 10, 0, 'X', 0, 0x30, 0x10};
    put32(o, static_cast<uint32_t>(c.size()));
    o.insert(o.end(), c.begin(), c.end());
    return o;
}

// count items named name0, name1, ..., each a side x side picture cut into pattern x pattern
// patterns (0: the whole picture is one).
inline std::vector<uint8_t> patternBomb(uint32_t side, int count = 1, const std::string& name = "bomb",
                                        uint8_t pattern = 1) {
    const std::vector<uint8_t> picture = rlePicture(side);
    std::vector<uint8_t> items;
    for (int i = 0; i < count; ++i) {
        items.push_back(0x01);
        shortString(items, "Name");
        items.push_back(0x06);
        shortString(items, name + std::to_string(i));
        for (const char* p : {"PatternHeight", "PatternWidth"}) {
            shortString(items, p);
            items.insert(items.end(), {0x02, pattern});
        }
        shortString(items, "Picture.Data");
        items.push_back(0x0A);
        put32(items, static_cast<uint32_t>(picture.size()));
        items.insert(items.end(), picture.begin(), picture.end());
        items.push_back(0);
    }
    return container(items);
}

// count items with no properties at all.
inline std::vector<uint8_t> emptyItems(size_t count) {
    std::vector<uint8_t> items;
    items.reserve(count * 2);
    for (size_t i = 0; i < count; ++i) items.insert(items.end(), {0x01, 0x00});
    return container(items);
}

}  // namespace bombs
