// The canvas text rasteriser: UTF-8 as the text routines meet it, and masks that do not
// depend on anything but the text and the size.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "platform/Font.h"

using platform::decodeUtf8;
using platform::FontCache;
using platform::TextMask;

namespace {
using Cps = std::vector<uint32_t>;
constexpr uint32_t kBad = 0xFFFD;

int inkColumns(const TextMask& m) {
    int n = 0;
    for (int x = 0; x < m.width; ++x) {
        bool ink = false;
        for (int y = 0; y < m.height; ++y) ink = ink || m.coverage[size_t(y) * m.width + x] != 0;
        n += ink;
    }
    return n;
}
}  // namespace

TEST(Utf8, CzechAndEveryLengthOfSequence) {
    EXPECT_EQ(decodeUtf8(u8"Žluť"), (Cps{0x17D, 'l', 'u', 0x165}));
    EXPECT_EQ(decodeUtf8("\xE2\x82\xAC\xF0\x9F\x9A\x80"), (Cps{0x20AC, 0x1F680}));
    EXPECT_TRUE(decodeUtf8("").empty());
}

TEST(Utf8, BrokenBytesBecomeReplacementsWithoutEatingTheText) {
    EXPECT_EQ(decodeUtf8("a\x80" "b"), (Cps{'a', kBad, 'b'}));             // stray continuation
    EXPECT_EQ(decodeUtf8("\xC3"), (Cps{kBad}));                            // cut off at the end
    EXPECT_EQ(decodeUtf8("\xC3" "a"), (Cps{kBad, 'a'}));                   // cut off by a letter
    EXPECT_EQ(decodeUtf8("\xC0\xAF"), (Cps{kBad}));                        // overlong '/'
    EXPECT_EQ(decodeUtf8("\xED\xA0\x80"), (Cps{kBad}));                    // a surrogate
    EXPECT_EQ(decodeUtf8("\xF4\x90\x80\x80"), (Cps{kBad}));                // beyond U+10FFFF
    EXPECT_EQ(decodeUtf8("\xFF" "x"), (Cps{kBad, 'x'}));
}

class FontText : public ::testing::Test {
protected:
    void SetUp() override {
        if (FontCache::facePath().empty()) GTEST_SKIP() << "DejaVu Sans is not installed";
    }
    FontCache fonts_;
};

TEST_F(FontText, LineHeightAndBaselineAsTheCanvasPlacesText) {
    TextMask a, g, empty;
    ASSERT_TRUE(fonts_.render("A", 15, a));
    ASSERT_TRUE(fonts_.render("g", 15, g));
    ASSERT_TRUE(fonts_.render("", 15, empty));
    // 20 pixels to the em; the line is ascent to descent, whole rows.
    EXPECT_EQ(a.height, 24);
    EXPECT_EQ(g.height, a.height);
    EXPECT_EQ(empty.height, a.height);
    auto lowestInk = [](const TextMask& m) {
        for (int y = m.height - 1; y >= 0; --y)
            for (int x = 0; x < m.width; ++x)
                if (m.coverage[size_t(y) * m.width + x] > 128) return y;
        return -1;
    };
    // A capital sits on the baseline; a descender goes below it, inside the line.
    EXPECT_LT(lowestInk(a), lowestInk(g));
    EXPECT_LT(lowestInk(g), g.height);
}

TEST_F(FontText, SameTextSamePixelsAndLongerTextWider) {
    TextMask one, two, longer;
    ASSERT_TRUE(fonts_.render(u8"Pauza ěščřžýáíé", 15, one));
    FontCache other;
    ASSERT_TRUE(other.render(u8"Pauza ěščřžýáíé", 15, two));
    EXPECT_EQ(one.width, two.width);
    EXPECT_EQ(one.coverage, two.coverage);
    ASSERT_TRUE(fonts_.render(u8"Pauza ěščřžýáíé!!", 15, longer));
    EXPECT_GT(longer.width, one.width);
    // The accents are ink of their own above the letters, inside the mask.
    EXPECT_GT(inkColumns(one), one.width / 2);
}

TEST_F(FontText, BrokenTextIsDrawnNotRefused) {
    TextMask m;
    ASSERT_TRUE(fonts_.render("a\xFF\xC3", 15, m));
    EXPECT_GT(m.width, 0);
    EXPECT_EQ(m.coverage.size(), size_t(m.width) * m.height);
}

TEST_F(FontText, RefusesSizesBeyondReasonAndAHugeLine) {
    TextMask m;
    EXPECT_FALSE(fonts_.render("x", -3, m));
    EXPECT_FALSE(fonts_.render("x", 401, m));
    EXPECT_TRUE(fonts_.render("x", 400, m));
    // Kept within what a canvas can use instead of allocating gigabytes.
    EXPECT_FALSE(fonts_.render(std::string(200000, 'W'), 400, m));
    EXPECT_TRUE(m.coverage.empty());
}
