#include "CameraModel.h"

#include "LiveScene.h"

#include <cmath>

namespace plexa::virtual2 {
namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;

// A direction from a camera, as the point it passes at z = 1.
struct Direction {
    double x;
    double y;
};

// The direction that an image position (column, row) sees, found by stepping
// a direction until the camera's own projection lands on the position. Each
// step moves by the pixel error over the focal length; the lens changes that
// scale by less than half even in the corners, so every step at least halves
// the error and a hundred steps reach float precision.
template <class Project>
Direction directionAt(const Project& project, double column, double row) {
    constexpr double kProbe = 1e-3;
    const scene::ImagePoint centre = project(0.0, 0.0);
    const scene::ImagePoint probe = project(kProbe, kProbe);
    const double columnsPerUnit = (probe.x - centre.x) / kProbe;
    const double rowsPerUnit = (centre.y - probe.y) / kProbe;  // rows grow downwards, y upwards
    Direction direction{(column - centre.x) / columnsPerUnit, (centre.y - row) / rowsPerUnit};
    for (int step = 0; step < 100; ++step) {
        const scene::ImagePoint landed = project(direction.x, direction.y);
        direction.x += (column - landed.x) / columnsPerUnit;
        direction.y -= (row - landed.y) / rowsPerUnit;
    }
    return direction;
}

double degreesBetween(const Direction& a, const Direction& b) {
    const double crossX = a.y - b.y;
    const double crossY = b.x - a.x;
    const double crossZ = a.x * b.y - a.y * b.x;
    const double dot = a.x * b.x + a.y * b.y + 1.0;
    return std::atan2(std::sqrt(crossX * crossX + crossY * crossY + crossZ * crossZ), dot) * kDegreesPerRadian;
}

// Pixel k covers k - 0.5 to k + 0.5, so the image's edges lie half a pixel
// outside its outermost pixel centres.
template <class Project>
FieldOfView viewOf(const Project& project, int width, int height) {
    const scene::ImagePoint centre = project(0.0, 0.0);
    const double left = -0.5, right = width - 0.5, top = -0.5, bottom = height - 0.5;
    auto span = [&](double column0, double row0, double column1, double row1) {
        return static_cast<float>(
            degreesBetween(directionAt(project, column0, row0), directionAt(project, column1, row1)));
    };
    return FieldOfView{span(left, centre.y, right, centre.y), span(centre.x, top, centre.x, bottom),
                       span(left, top, right, bottom)};
}

CameraIntrinsics intrinsicsOf(const scene::Rig2& rig) {
    const scene::CameraIntrinsics k = rig.depthIntrinsics();
    return CameraIntrinsics{k.focalLengthX,
                            k.focalLengthY,
                            k.principalPointX,
                            k.principalPointY,
                            k.radialDistortionSecondOrder,
                            k.radialDistortionFourthOrder,
                            k.radialDistortionSixthOrder};
}

FieldOfView depthViewOf(const scene::Rig2& rig) {
    return viewOf(
        [&rig](double x, double y) {
            return rig.projectToDepth(scene::Vec3{static_cast<float>(x), static_cast<float>(y), 1.0f});
        },
        kDepthWidth, kDepthHeight);
}

// Directions from the color camera, which stands kColorOffset along x.
FieldOfView colorViewOf(const scene::Rig2& rig) {
    return viewOf(
        [&rig](double x, double y) {
            return rig.projectToColor(
                scene::Vec3{static_cast<float>(scene::Rig2::kColorOffset + x), static_cast<float>(y), 1.0f});
        },
        kColorWidth, kColorHeight);
}

}  // namespace

const CameraModel& CameraModel::instance() {
    // Never destroyed: mapping calls may arrive while the process exits.
    static const CameraModel* const model = new CameraModel();
    return *model;
}

CameraModel::CameraModel()
    : rig_(makeSensorRig()),
      depthIntrinsics_(intrinsicsOf(rig_)),
      depthView_(depthViewOf(rig_)),
      colorView_(colorViewOf(rig_)) {}

}  // namespace plexa::virtual2
