// Reads what an X window shows, for the window tests that drive the game from outside:
//   orbita_xwindow_probe WINDOW X Y W H [OUT.ppm]
// prints, for the rectangle of the window's pixels, the number of pure yellow ones (the
// colour of the game's pause text) and a hash of them all, and writes them as a PPM picture
// when asked. Exit 1 with a message when the window cannot be read.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
// A failed request (a rectangle outside the window, a window gone) makes XGetImage give
// nothing instead of ending the program.
int ignoreErrors(Display*, XErrorEvent*) { return 0; }
}  // namespace

int main(int argc, char** argv) {
    if (argc != 6 && argc != 7) {
        std::fprintf(stderr, "usage: %s WINDOW X Y W H [OUT.ppm]\n", argv[0]);
        return 2;
    }
    const Window window = static_cast<Window>(std::strtoul(argv[1], nullptr, 0));
    const int x = std::atoi(argv[2]), y = std::atoi(argv[3]), w = std::atoi(argv[4]), h = std::atoi(argv[5]);
    if (w <= 0 || h <= 0) {
        std::fprintf(stderr, "xwindow probe: the rectangle %dx%d is empty\n", w, h);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "xwindow probe: cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(ignoreErrors);
    XImage* image = XGetImage(display, window, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h), AllPlanes,
                              ZPixmap);
    if (!image) {
        std::fprintf(stderr, "xwindow probe: cannot read %dx%d at %d,%d of window %s\n", w, h, x, y, argv[1]);
        XCloseDisplay(display);
        return 1;
    }
    auto channel = [](unsigned long pixel, unsigned long mask) {
        if (!mask) return 0u;
        int shift = 0;
        while (!(mask & 1)) {
            mask >>= 1;
            ++shift;
        }
        return static_cast<unsigned>(((pixel >> shift) & mask) * 255 / mask);
    };
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
    uint64_t hash = 1469598103934665603ull;
    long yellow = 0;
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            const unsigned long p = XGetPixel(image, i, j);
            uint8_t* o = &rgb[(static_cast<size_t>(j) * w + i) * 3];
            o[0] = static_cast<uint8_t>(channel(p, image->red_mask));
            o[1] = static_cast<uint8_t>(channel(p, image->green_mask));
            o[2] = static_cast<uint8_t>(channel(p, image->blue_mask));
            if (o[0] >= 0xF0 && o[1] >= 0xF0 && o[2] <= 0x30) ++yellow;
            for (int c = 0; c < 3; ++c) hash = (hash ^ o[c]) * 1099511628211ull;
        }
    XDestroyImage(image);
    XCloseDisplay(display);
    if (argc == 7) {
        FILE* f = std::fopen(argv[6], "wb");
        if (!f || std::fprintf(f, "P6\n%d %d\n255\n", w, h) < 0 || std::fwrite(rgb.data(), 1, rgb.size(), f) != rgb.size()) {
            std::fprintf(stderr, "xwindow probe: cannot write %s\n", argv[6]);
            if (f) std::fclose(f);
            return 1;
        }
        std::fclose(f);
    }
    std::printf("%ld %016llx\n", yellow, static_cast<unsigned long long>(hash));
    return 0;
}
