#include "part_outline.h"

#include <algorithm>
#include <cmath>

namespace plexa::scene {

namespace {

// The hull is widened by this many pixels on each side, far more than the
// rounding of the hit tests near a silhouette (a small fraction of a pixel).
constexpr float kMarginPixels = 2.0f;
// And each sphere is a little larger than the part, for the same reason.
constexpr float kRadiusScale = 1.001f, kRadiusPad = 0.001f;

int clampColumn(float v, int lo, int hi) {
    if (!(v > static_cast<float>(lo))) return lo;  // also not-a-number
    return v >= static_cast<float>(hi) ? hi : static_cast<int>(v);
}

// Keeps only the corners of the convex hull of points [0, count), in order
// around it (Andrew's monotone chain); returns how many.
int keepHull(std::array<float, 8>& x, std::array<float, 8>& y, int count) {
    auto before = [&](int a, int b) { return x[a] < x[b] || (x[a] == x[b] && y[a] < y[b]); };
    std::array<int, 8> order{};
    for (int i = 0; i < count; ++i) {  // insertion sort: eight points at most
        int k = i;
        for (; k > 0 && before(i, order[k - 1]); --k) order[k] = order[k - 1];
        order[k] = i;
    }
    auto turn = [&](int o, int a, int b) { return (x[a] - x[o]) * (y[b] - y[o]) - (y[a] - y[o]) * (x[b] - x[o]); };
    std::array<int, 16> hull{};
    int n = 0;
    for (int k = 0; k < count; ++k) {  // lower chain
        while (n >= 2 && turn(hull[n - 2], hull[n - 1], order[k]) <= 0) --n;
        hull[n++] = order[k];
    }
    for (int k = count - 2, lower = n + 1; k >= 0; --k) {  // upper chain
        while (n >= lower && turn(hull[n - 2], hull[n - 1], order[k]) <= 0) --n;
        hull[n++] = order[k];
    }
    if (n > 1) --n;  // the last point is the first again
    std::array<float, 8> hx{}, hy{};
    for (int k = 0; k < n; ++k) {
        hx[k] = x[hull[k]];
        hy[k] = y[hull[k]];
    }
    x = hx;
    y = hy;
    return n;
}

}  // namespace

PartOutline::PartOutline(const Primitive& part, const Lens& lens, const PixelRect& rect) : lens_(lens), rect_(rect) {
    if (part.kind == Primitive::Kind::Ellipsoid || lens.distorted()) return;
    const float radius = part.radius * kRadiusScale + kRadiusPad;
    const int ends = part.a.x == part.b.x && part.a.y == part.b.y && part.a.z == part.b.z ? 1 : 2;
    for (int end = 0; end < ends; ++end) {
        const Vec3 centre = end == 0 ? part.a : part.b;
        if (!(centre.z - radius > 0.01f)) return;
        // The rectangle around the images of the box's corners, as four points.
        float xLo = INFINITY, xHi = -INFINITY, yLo = INFINITY, yHi = -INFINITY;
        for (float z : {centre.z - radius, centre.z + radius})
            for (float x : {centre.x - radius, centre.x + radius})
                for (float y : {centre.y - radius, centre.y + radius}) {
                    xLo = std::min(xLo, x / z);
                    xHi = std::max(xHi, x / z);
                    yLo = std::min(yLo, y / z);
                    yHi = std::max(yHi, y / z);
                }
        for (float x : {xLo, xHi})
            for (float y : {yLo, yHi}) {
                x_[count_] = x;
                y_[count_] = y;
                ++count_;
            }
    }
    yMin_ = *std::min_element(y_.begin(), y_.begin() + count_);
    yMax_ = *std::max_element(y_.begin(), y_.begin() + count_);
    usable_ = std::isfinite(yMin_) && std::isfinite(yMax_);
    if (usable_) count_ = keepHull(x_, y_, count_);
}

ColumnSpan PartOutline::columns(float rayY) const {
    if (!usable_) return {rect_.colBegin, rect_.colEnd};
    const float slack = kMarginPixels / lens_.fy;
    if (rayY < yMin_ - slack || rayY > yMax_ + slack) return {};
    const float y = std::clamp(rayY, yMin_, yMax_);
    float lo = INFINITY, hi = -INFINITY;
    for (int i = 0; i < count_; ++i) {
        if (y_[i] == y) {
            lo = std::min(lo, x_[i]);
            hi = std::max(hi, x_[i]);
        }
        const int j = i + 1 == count_ ? 0 : i + 1;
        if ((y_[i] < y) == (y_[j] < y) || y_[i] == y_[j]) continue;  // the edge does not cross the row
        const float x = x_[i] + (x_[j] - x_[i]) * ((y - y_[i]) / (y_[j] - y_[i]));
        lo = std::min(lo, x);
        hi = std::max(hi, x);
    }
    if (!(lo <= hi)) return {rect_.colBegin, rect_.colEnd};  // cannot happen within the hull's rows; be safe
    const float first = std::floor(lens_.cx + lens_.fx * lo - kMarginPixels);
    const float last = std::ceil(lens_.cx + lens_.fx * hi + kMarginPixels) + 1.0f;
    return {clampColumn(first, rect_.colBegin, rect_.colEnd), clampColumn(last, rect_.colBegin, rect_.colEnd)};
}

}  // namespace plexa::scene
