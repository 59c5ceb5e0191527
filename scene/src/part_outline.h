// Which columns of a row a body part can cover, for a camera without
// distortion. A capsule (a sphere is one of length zero) is the convex hull of
// its two end spheres; each sphere lies in a box, whose image lies in the
// rectangle around its corners' images; so the part's image lies in the convex
// hull of those two rectangles (kept as its own corners only, in order, so that a
// row crosses just its edges). A row is cut from that hull with a margin, so that
// every pixel whose ray hits the part is inside the span: skipping the rest
// changes no pixel, it only saves the hit tests of rays that miss.
#pragma once

#include <array>

#include "body_shape.h"
#include "camera.h"

namespace plexa::scene {

struct ColumnSpan {
    int begin = 0, end = 0;  // half-open; empty when begin >= end
};

class PartOutline {
public:
    // Usable only for capsules and spheres wholly in front of the camera;
    // otherwise every row spans all of `rect`.
    PartOutline(const Primitive& part, const Lens& lens, const PixelRect& rect);

    // The columns of `rect` on a row whose rays have direction y (y/z) that can show the part.
    ColumnSpan columns(float rayY) const;

private:
    const Lens& lens_;
    PixelRect rect_;
    bool usable_ = false;
    int count_ = 0;
    std::array<float, 8> x_{}, y_{};  // the rectangles' corners (x/z, y/z), in hull order
    float yMin_ = 0, yMax_ = 0;
};

}  // namespace plexa::scene
