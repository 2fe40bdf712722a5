// Canvas text for both back-ends: lines of UTF-8 text rendered in DejaVu Sans as 8-bit
// coverage masks. Faces are opened once per point size and kept.
#pragma once

#include <map>
#include <string>

#include "platform/Platform.h"

typedef struct _TTF_Font TTF_Font;

namespace platform {

class FontCache {
public:
    FontCache() = default;
    ~FontCache();
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    // pointSize points at 96 dpi. False when no face can be opened or rendering fails.
    // An empty line gives a mask of width 0 and the face's line height.
    bool render(const std::string& utf8, int pointSize, TextMask& out);

    // The face file in use ("" when none was found).
    static std::string facePath();

private:
    TTF_Font* font(int pointSize);
    bool ttfStarted_ = false;
    bool ttfFailed_ = false;
    std::map<int, TTF_Font*> fonts_;
};

}  // namespace platform
