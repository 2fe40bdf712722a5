// The desktop icon: drawn in every size, written as PNG files, failures named.
#include <gtest/gtest.h>

#include <cairo.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "tools/assets/Canvas.h"
#include "tools/assets/Icon.h"

namespace {

namespace fs = std::filesystem;

struct TempDir {
    fs::path path = fs::temp_directory_path() / ("orbita-icon-test-" + std::to_string(::getpid()));
    TempDir() { fs::remove_all(path); }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

TEST(Icon, IsARoundBadgeWithTheShipInEverySize) {
    ASSERT_FALSE(assets::IconSizes().empty());
    for (int size : assets::IconSizes()) {
        SCOPED_TRACE(size);
        assets::Canvas c(size, size);
        assets::DrawIcon(c);
        c.Flush();
        // Corners stay transparent (the desktop shows its own background there), the middle is
        // painted, and the ship's red fins and stripe are there to be seen.
        for (auto [x, y] : {std::pair<int, int>{0, 0}, {size - 1, 0}, {0, size - 1}, {size - 1, size - 1}})
            EXPECT_FALSE(c.Opaque(x, y)) << x << "," << y;
        int opaque = 0, red = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                if (!c.Opaque(x, y)) continue;
                ++opaque;
                assets::Rgb p = c.Get(x, y);
                red += p.r > 150 && p.g < 80 && p.b < 80;
            }
        EXPECT_GT(opaque, size * size * 7 / 10);
        EXPECT_LT(opaque, size * size * 85 / 100);
        EXPECT_GT(red, size * size / 200);
    }
}

TEST(Icon, WritesOnePngPerSizeAndNamesTheFileItCannotWrite) {
    TempDir t;
    std::string error;
    ASSERT_TRUE(assets::WriteIcons(t.path.string(), error)) << error;
    for (int size : assets::IconSizes()) {
        const std::string file = (t.path / ("orbita-" + std::to_string(size) + ".png")).string();
        cairo_surface_t* s = cairo_image_surface_create_from_png(file.c_str());
        ASSERT_EQ(cairo_surface_status(s), CAIRO_STATUS_SUCCESS) << file;
        EXPECT_EQ(cairo_image_surface_get_width(s), size);
        EXPECT_EQ(cairo_image_surface_get_height(s), size);
        EXPECT_EQ(cairo_image_surface_get_format(s), CAIRO_FORMAT_ARGB32) << "the icon keeps its transparency";
        cairo_surface_destroy(s);
    }
    // A file where the folder should be: an error naming it, not success.
    const fs::path blocked = t.path / "blocked";
    std::ofstream(blocked) << "x";
    error.clear();
    EXPECT_FALSE(assets::WriteIcons((blocked / "icons").string(), error));
    EXPECT_NE(error.find("blocked"), std::string::npos) << error;
    // An existing file in the way of an icon.
    fs::create_directories(t.path / "full" / "orbita-64.png");
    error.clear();
    EXPECT_FALSE(assets::WriteIcons((t.path / "full").string(), error));
    EXPECT_NE(error.find("orbita-64.png"), std::string::npos) << error;
}

}  // namespace
