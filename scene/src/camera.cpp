#include "camera.h"

#include <algorithm>
#include <cmath>

namespace plexa::scene {

void Lens::unproject(float col, float row, float& xn, float& yn) const {
    double xd = (col - cx) / static_cast<double>(fx);
    double yd = (cy - row) / static_cast<double>(fy);
    if (!distorted()) {
        xn = static_cast<float>(xd);
        yn = static_cast<float>(yd);
        return;
    }
    // The distortion is radial, so only the radius needs inverting: Newton on
    // r (1 + k2 r^2 + k4 r^4 + k6 r^6) = rd.
    double rd = std::sqrt(xd * xd + yd * yd);
    if (rd == 0) {
        xn = yn = 0;
        return;
    }
    double r = rd;
    for (int i = 0; i < 20; ++i) {
        double r2 = r * r;
        double f = r * (1 + r2 * (k2 + r2 * (k4 + r2 * k6))) - rd;
        double df = 1 + r2 * (3 * k2 + r2 * (5 * k4 + r2 * 7 * k6));
        double step = f / df;
        r -= step;
        if (std::fabs(step) < 1e-12) break;
    }
    xn = static_cast<float>(xd * r / rd);
    yn = static_cast<float>(yd * r / rd);
}

PixelRect Lens::pixelsSeeing(float xMin, float xMax, float yMin, float yMax) const {
    float colMin, colMax, rowMin, rowMax;
    if (!distorted()) {
        colMin = cx + fx * xMin;
        colMax = cx + fx * xMax;
        rowMin = cy - fy * yMax;
        rowMax = cy - fy * yMin;
    } else {
        // Sample the border: the distortion is smooth and close to one, and the
        // margin below covers what falls between the samples.
        colMin = rowMin = 1e30f;
        colMax = rowMax = -1e30f;
        constexpr int kSteps = 8;
        for (int i = 0; i <= kSteps; ++i) {
            float f = static_cast<float>(i) / kSteps;
            float x = xMin + (xMax - xMin) * f, y = yMin + (yMax - yMin) * f;
            const float points[4][2] = {{x, yMin}, {x, yMax}, {xMin, y}, {xMax, y}};
            for (const auto& p : points) {
                float c, r;
                project(p[0], p[1], c, r);
                colMin = std::min(colMin, c);
                colMax = std::max(colMax, c);
                rowMin = std::min(rowMin, r);
                rowMax = std::max(rowMax, r);
            }
        }
        colMin -= 1;
        colMax += 1;
        rowMin -= 1;
        rowMax += 1;
    }
    auto clampTo = [](float v, int limit) {
        if (!(v > 0)) return 0;  // also not-a-number
        return v >= limit ? limit : static_cast<int>(v);
    };
    PixelRect rect;
    rect.colBegin = clampTo(std::floor(colMin), width);
    rect.colEnd = clampTo(std::ceil(colMax) + 1, width);
    rect.rowBegin = clampTo(std::floor(rowMin), height);
    rect.rowEnd = clampTo(std::ceil(rowMax) + 1, height);
    return rect;
}

bool Placement::operator==(const Placement& other) const {
    if (position.x != other.position.x || position.y != other.position.y || position.z != other.position.z)
        return false;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            if (rotation.m[r][c] != other.rotation.m[r][c]) return false;
    return true;
}

Placement tiltedPlacement(Vec3 position, float tiltDegrees) {
    float a = radians(tiltDegrees);
    float c = std::cos(a), s = std::sin(a);
    Placement p;
    p.position = position;
    p.rotation = Mat3::fromColumns({1, 0, 0}, {0, c, -s}, {0, s, c});
    return p;
}

Placement placementOf(const RigPose& pose) {
    const Vec3 position{pose.x, pose.height, pose.z};
    // Without a heading this is the level sensor's own matrix, bit for bit.
    if (pose.headingDegrees == 0) return tiltedPlacement(position, pose.tiltDegrees);
    const float tilt = radians(pose.tiltDegrees), heading = radians(pose.headingDegrees);
    const float c = std::cos(tilt), s = std::sin(tilt);
    const float ch = std::cos(heading), sh = std::sin(heading);
    Placement p;
    p.position = position;
    // Columns: the camera's right, up and forward in the room.
    p.rotation = Mat3::fromColumns({ch, 0, -sh}, {-s * sh, c, -s * ch}, {c * sh, s, c * ch});
    return p;
}

}  // namespace plexa::scene
