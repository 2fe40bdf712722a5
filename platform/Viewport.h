// Where the 640 x 480 picture sits in the window: the largest whole-number scale that
// fits, centred, black around it.
#pragma once

namespace platform {

struct Viewport {
    int x = 0;  // top-left corner of the picture in output pixels
    int y = 0;
    int scale = 1;

    // The picture's place in an output area of outW x outH pixels (at least scale 1; an
    // area smaller than the picture shows its centre).
    static Viewport fit(int outW, int outH);

    // Converts a pointer position in output pixels to picture coordinates. False when
    // the position lies outside the picture.
    bool toPicture(int outX, int outY, int& x, int& y) const;
};

}  // namespace platform
