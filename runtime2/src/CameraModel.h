// The one camera model of the virtual sensor: the scene's second-generation
// rig at the sensor's pose. The coordinate mapper, the depth intrinsics and
// the fields of view in frame descriptions all come from it, as does the live
// content, so a mapped point lands where the scene drew what it maps.
//
// Camera space is in metres with x to the right, y up and z forward from the
// depth camera; the color camera sits beside it, looking the same way.
#pragma once

#include "runtime2/KinectRuntime.h"

#include "plexa/scene/rig2.h"

namespace plexa::virtual2 {

// Degrees. Horizontal and vertical run edge to edge through the principal
// point; diagonal runs corner to corner.
struct FieldOfView {
    float horizontal;
    float vertical;
    float diagonal;
};

class CameraModel {
public:
    static const CameraModel& instance();

    // Only mapping and projection are used on this rig, never rendering, so
    // any number of threads may use it at once.
    const scene::Rig2& rig() const { return rig_; }

    const CameraIntrinsics& depthIntrinsics() const { return depthIntrinsics_; }

    // An image of another size shows the same view.
    const FieldOfView& depthFieldOfView() const { return depthView_; }
    const FieldOfView& colorFieldOfView() const { return colorView_; }

private:
    CameraModel();

    const scene::Rig2 rig_;
    const CameraIntrinsics depthIntrinsics_;
    const FieldOfView depthView_;
    const FieldOfView colorView_;
};

}  // namespace plexa::virtual2
