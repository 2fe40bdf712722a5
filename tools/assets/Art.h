// Drawing helpers shared by the generators.
#pragma once

#include <functional>
#include <initializer_list>
#include <memory>
#include <tuple>
#include <string>
#include <utility>
#include <vector>

#include "tools/assets/Canvas.h"

namespace assets {

using Draw = std::function<void(Canvas&)>;

// A picture of w x h that the game draws stretched to drawnW x drawnH: `fn` draws in the drawn
// size, so the sprite keeps its proportions on screen.
std::shared_ptr<media::TDIB> Sprite(int w, int h, double drawnW, double drawnH, int bits, uint32_t key, const Draw& fn);
std::shared_ptr<media::TDIB> Sprite(int w, int h, int bits, uint32_t key, const Draw& fn);

// Frames of an animation whose common ink is fitted to the picture: the union of the frames'
// opaque pixels, drawn by `fn` in the drawn size, is stretched onto the picture less a margin of
// one pixel, or onto the border itself on the sides named in `flush` (some of "LRTB"). Every frame
// gets the same mapping, so the animation does not jitter, and no glow or wing is cut flat.
std::vector<std::shared_ptr<media::TDIB>> FitFrames(int w, int h, double drawnW, double drawnH, int frames, int bits, uint32_t key,
                                                    const std::function<void(Canvas&, int)>& fn, const std::string& flush = "");

void LinearV(Canvas& c, double y0, double y1, std::initializer_list<std::pair<double, Rgb>> stops);
void Radial(Canvas& c, double x, double y, double r, std::initializer_list<std::tuple<double, Rgb, double>> stops);
void Poly(Canvas& c, std::initializer_list<std::pair<double, double>> pts);
void Ellipse(Canvas& c, double x, double y, double rx, double ry);
void Stroke(Canvas& c, Rgb k, double w, double a);
// The colour with every channel times k (lighter above 1, darker below), kept in range.
Rgb Shade(Rgb a, double k);
// The source set to a round body's shading from x to x + w: dark edges, lit a third of the
// way in from the left.
void ShadeAcross(Canvas& c, double x, double w, Rgb k);
// A straight stroke and a filled rectangle in one colour.
void Line(Canvas& c, double x0, double y0, double x1, double y1, double w, Rgb k, double a = 1);
void Rect(Canvas& c, double x, double y, double w, double h, Rgb k, double a = 1);

void DrawShip(Canvas& c);  // 96 x 31, nose right
void DrawPod(Canvas& c, int frame);  // 40 x 41
void DrawRecipeCard(Canvas& c, double w, double h, bool large);
void DrawFireball(Canvas& c, double w, double h, int stage, uint32_t seed);

}  // namespace assets
