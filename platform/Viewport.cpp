#include "platform/Viewport.h"

#include <algorithm>

#include "platform/Platform.h"

namespace platform {

namespace {
// Floor division (positions left of or above the picture must not round to 0).
int floorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
}  // namespace

Viewport Viewport::fit(int outW, int outH) {
    Viewport v;
    v.scale = std::max(1, std::min(outW / kFrameWidth, outH / kFrameHeight));
    v.x = (outW - kFrameWidth * v.scale) / 2;
    v.y = (outH - kFrameHeight * v.scale) / 2;
    return v;
}

bool Viewport::toPicture(int outX, int outY, int& x, int& y) const {
    int px = floorDiv(outX - this->x, scale);
    int py = floorDiv(outY - this->y, scale);
    if (px < 0 || py < 0 || px >= kFrameWidth || py >= kFrameHeight) return false;
    x = px;
    y = py;
    return true;
}

}  // namespace platform
