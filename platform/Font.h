// Canvas text for every back-end: lines of UTF-8 text rendered in DejaVu Sans as 8-bit
// coverage masks by one rasteriser (stb_truetype) that builds natively and in the browser,
// so that the same text gives the same pixels in both. Its arithmetic is plain IEEE single
// precision without contraction, which both targets compute alike.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace platform {

class FontCache {
public:
    FontCache();
    ~FontCache();
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    // pointSize points at 96 dpi. False when no face can be opened or the request is beyond
    // reason. An empty line gives a mask of width 0 and the face's line height. Bytes that
    // are no UTF-8 are drawn as the replacement character.
    bool render(const std::string& utf8, int pointSize, TextMask& out);

    // The face file in use ("" when none was found).
    static std::string facePath();

private:
    struct Face;
    bool open();
    bool tried_ = false;
    std::unique_ptr<Face> face_;
};

// The code points of a UTF-8 line; a byte that starts no valid sequence (a stray
// continuation byte, an overlong form, a surrogate, a cut-off end) gives U+FFFD.
std::vector<uint32_t> decodeUtf8(const std::string& utf8);

}  // namespace platform
