// A camera: its lens (pixel grid, focal lengths, radial distortion) and where
// it stands in the world.
#pragma once

#include "math.h"
#include "plexa/scene/pose.h"

namespace plexa::scene {

struct PixelRect {
    int colBegin = 0, colEnd = 0, rowBegin = 0, rowEnd = 0;  // half-open
};

struct Lens {
    int width = 0, height = 0;
    float fx = 0, fy = 0, cx = 0, cy = 0;
    float k2 = 0, k4 = 0, k6 = 0;

    bool distorted() const { return k2 != 0 || k4 != 0 || k6 != 0; }

    // Camera-space direction (x/z, y/z) to image position (column, row).
    void project(float xn, float yn, float& col, float& row) const {
        float scale = 1.0f;
        if (distorted()) {
            float r2 = xn * xn + yn * yn;
            scale = 1.0f + r2 * (k2 + r2 * (k4 + r2 * k6));
        }
        col = cx + fx * xn * scale;
        row = cy - fy * yn * scale;
    }

    // Image position to the camera-space direction (x/z, y/z) it sees.
    void unproject(float col, float row, float& xn, float& yn) const;

    bool inside(float col, float row) const {
        return col >= -0.5f && col <= width - 0.5f && row >= -0.5f && row <= height - 0.5f;
    }

    // The pixels that can see a region of directions [xMin, xMax] x [yMin, yMax] (in x/z, y/z).
    PixelRect pixelsSeeing(float xMin, float xMax, float yMin, float yMax) const;
};

// Camera to world: a point p in camera space is at position + rotation * p.
struct Placement {
    Vec3 position;
    Mat3 rotation;

    Vec3 toCamera(Vec3 world) const { return rotation.transposed() * (world - position); }
    Vec3 directionToCamera(Vec3 world) const { return rotation.transposed() * world; }
    Vec3 toWorld(Vec3 camera) const { return position + rotation * camera; }
    Vec3 directionToWorld(Vec3 camera) const { return rotation * camera; }
    bool operator==(const Placement& other) const;
    bool operator!=(const Placement& other) const { return !(*this == other); }
};

// A sensor on the floor's vertical through `position`, pitched up by `tiltDegrees`.
Placement tiltedPlacement(Vec3 position, float tiltDegrees);

// The depth camera of a sensor at a pose: turned by its heading about the
// vertical, then pitched by its tilt.
Placement placementOf(const RigPose& pose);

}  // namespace plexa::scene
