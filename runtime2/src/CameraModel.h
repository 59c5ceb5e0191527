// The one camera model behind the coordinate mapper, the frame descriptions
// and the live content: a depth camera with radial distortion and, 52 mm to
// its right, an undistorted color camera looking the same way.
//
// Camera space is in metres with x to the right, y up and z forward from the
// depth camera. Depth pixel (u, v) (column, row; row 0 at the top) sees the
// direction whose distorted normalised image coordinates are
// ((u - cx) / fx, (v - cy) / fy); distortion scales the undistorted radius r
// by 1 + k2 r^2 + k4 r^4 + k6 r^6. Pixel coordinates refer to the pixel
// index itself, without a half-pixel shift.
#pragma once

#include "runtime2/KinectRuntime.h"

#include <vector>

namespace plexa::virtual2 {

struct FieldOfView {
    float horizontal;
    float vertical;
    float diagonal;
};

class CameraModel {
public:
    static const CameraModel& instance();

    const CameraIntrinsics& depthIntrinsics() const { return depth_; }

    // The undistorted direction of a depth pixel (index = row * 512 + column)
    // in camera space at z = 1.
    float rayX(int depthPixelIndex) const { return rays_[2 * depthPixelIndex]; }
    float rayY(int depthPixelIndex) const { return rays_[2 * depthPixelIndex + 1]; }

    // The point that depth pixel `index` sees at `millimetres` (not zero).
    CameraSpacePoint depthPixelToCamera(int depthPixelIndex, UINT16 millimetres) const;

    // Color image pixel of a camera-space point in front of the color camera.
    ColorSpacePoint cameraToColor(const CameraSpacePoint& point) const;

    // The color camera: its pixel (u, v) sees, at z = 1 from the color
    // camera, the point (colorOffsetX + (u - cx) / f, -(v - cy) / f, 1).
    float colorFocalLength() const { return colorFocal_; }
    float colorPrincipalPointX() const { return colorCx_; }
    float colorPrincipalPointY() const { return colorCy_; }
    float colorOffsetX() const { return colorOffsetX_; }

    // Fields of view in degrees; an image of another size shows the same view.
    const FieldOfView& depthFieldOfView() const { return depthView_; }
    const FieldOfView& colorFieldOfView() const { return colorView_; }

private:
    CameraModel();

    CameraIntrinsics depth_;
    std::vector<float> rays_;
    float colorFocal_;
    float colorCx_;
    float colorCy_;
    float colorOffsetX_;
    FieldOfView depthView_;
    FieldOfView colorView_;
};

}  // namespace plexa::virtual2
