#include "CameraModel.h"

#include "SensorGeometry.h"

#include <cmath>

namespace plexa::virtual2 {
namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;

// Inverts the radial distortion: the undistorted radius whose distorted
// radius is `distorted`. The polynomial rises steadily over the whole image,
// so Newton's method from the distorted radius converges in a few steps.
double undistortRadius(double distorted, const CameraIntrinsics& k) {
    const double k2 = k.RadialDistortionSecondOrder;
    const double k4 = k.RadialDistortionFourthOrder;
    const double k6 = k.RadialDistortionSixthOrder;
    double r = distorted;
    for (int step = 0; step < 50; ++step) {
        const double r2 = r * r;
        const double value = r * (1.0 + r2 * (k2 + r2 * (k4 + r2 * k6))) - distorted;
        const double slope = 1.0 + r2 * (3.0 * k2 + r2 * (5.0 * k4 + r2 * 7.0 * k6));
        const double next = r - value / slope;
        if (std::fabs(next - r) < 1e-12) return next;
        r = next;
    }
    return r;
}

FieldOfView viewOf(double width, double height, double focalX, double focalY) {
    const double halfX = width / (2.0 * focalX);
    const double halfY = height / (2.0 * focalY);
    return FieldOfView{static_cast<float>(2.0 * std::atan(halfX) * kDegreesPerRadian),
                       static_cast<float>(2.0 * std::atan(halfY) * kDegreesPerRadian),
                       static_cast<float>(2.0 * std::atan(std::sqrt(halfX * halfX + halfY * halfY)) *
                                          kDegreesPerRadian)};
}

}  // namespace

const CameraModel& CameraModel::instance() {
    // Never destroyed: mapping calls may arrive while the process exits.
    static const CameraModel* const model = new CameraModel();
    return *model;
}

CameraModel::CameraModel()
    : depth_{365.46f, 365.46f, 256.92f, 210.35f, 0.0907f, -0.2682f, 0.0924f},
      rays_(2 * static_cast<std::size_t>(kDepthPixelCount)),
      colorFocal_(1081.37f),
      colorCx_(959.5f),
      colorCy_(539.5f),
      colorOffsetX_(0.052f),
      depthView_(viewOf(kDepthWidth, kDepthHeight, depth_.FocalLengthX, depth_.FocalLengthY)),
      colorView_(viewOf(kColorWidth, kColorHeight, colorFocal_, colorFocal_)) {
    for (int row = 0; row < kDepthHeight; ++row) {
        for (int column = 0; column < kDepthWidth; ++column) {
            const double xd = (column - depth_.PrincipalPointX) / static_cast<double>(depth_.FocalLengthX);
            const double yd = (row - depth_.PrincipalPointY) / static_cast<double>(depth_.FocalLengthY);
            const double rd = std::sqrt(xd * xd + yd * yd);
            const double scale = rd > 0.0 ? undistortRadius(rd, depth_) / rd : 1.0;
            const std::size_t index = static_cast<std::size_t>(row) * kDepthWidth + column;
            rays_[2 * index] = static_cast<float>(xd * scale);
            // Image rows grow downwards, camera space y upwards.
            rays_[2 * index + 1] = static_cast<float>(-yd * scale);
        }
    }
}

CameraSpacePoint CameraModel::depthPixelToCamera(int depthPixelIndex, UINT16 millimetres) const {
    const float z = millimetres * 0.001f;
    return CameraSpacePoint{rayX(depthPixelIndex) * z, rayY(depthPixelIndex) * z, z};
}

ColorSpacePoint CameraModel::cameraToColor(const CameraSpacePoint& point) const {
    const float inverseZ = 1.0f / point.Z;
    return ColorSpacePoint{colorFocal_ * (point.X - colorOffsetX_) * inverseZ + colorCx_,
                           colorCy_ - colorFocal_ * point.Y * inverseZ};
}

}  // namespace plexa::virtual2
