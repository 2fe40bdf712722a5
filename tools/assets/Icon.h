// The desktop icon: the ship climbing past a ringed planet on a round patch of night sky.
#pragma once

#include <string>
#include <vector>

#include "tools/assets/Canvas.h"

namespace assets {

// The sizes written, in pixels (square).
const std::vector<int>& IconSizes();
// Draws the icon into a transparent canvas of size x size.
void DrawIcon(Canvas& c);
// Writes DIR/orbita-SIZE.png for every size. Returns false with a message in `error` when a
// file cannot be written.
bool WriteIcons(const std::string& dir, std::string& error);

}  // namespace assets
