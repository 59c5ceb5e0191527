#include "SceneFrameSource.h"

#include <cstring>

namespace plexa::virtual1 {

namespace {

using scene::FirstGenerationJoint;

Vector4 pointOf(scene::Vec3 p) { return Vector4{p.x, p.y, p.z, 1.0f}; }

Vector4 vectorOf(scene::Vec4 v) { return Vector4{v.x, v.y, v.z, v.w}; }

// Seated tracking follows the upper body only.
bool isLowerBody(int joint) {
    return joint == static_cast<int>(FirstGenerationJoint::HipCenter) || joint >= scene::index(scene::Joint::HipLeft);
}

NUI_SKELETON_POSITION_TRACKING_STATE jointStateOf(scene::TrackingState state) {
    switch (state) {
        case scene::TrackingState::Tracked: return NUI_SKELETON_POSITION_TRACKED;
        case scene::TrackingState::Inferred: return NUI_SKELETON_POSITION_INFERRED;
        case scene::TrackingState::NotTracked: break;
    }
    return NUI_SKELETON_POSITION_NOT_TRACKED;
}

void fillSkeleton(const scene::Body& body, int slot, bool seated, NUI_SKELETON_DATA& skeleton) {
    skeleton = NUI_SKELETON_DATA{};
    if (!body.tracked) return;
    skeleton.eTrackingState = NUI_SKELETON_TRACKED;
    // A person keeps one slot for the life of the scene, and so one id; the
    // smoothing of a slot starts afresh whenever its person was out of sight.
    skeleton.dwTrackingID = static_cast<DWORD>(slot + 1);
    skeleton.Position = pointOf(body[scene::Joint::SpineMid].position);
    for (int joint = 0; joint < NUI_SKELETON_POSITION_COUNT; ++joint) {
        const scene::BodyJoint& source = body[scene::kFirstGenerationJoints[joint]];
        skeleton.SkeletonPositions[joint] = pointOf(source.position);
        skeleton.eSkeletonPositionTrackingState[joint] =
            seated && isLowerBody(joint) ? NUI_SKELETON_POSITION_NOT_TRACKED : jointStateOf(source.state);
    }
}

}  // namespace

static_assert(scene::kFirstGenerationJointCount == NUI_SKELETON_POSITION_COUNT, "20 joints per skeleton");
static_assert(scene::kBodySlots == NUI_SKELETON_COUNT, "six skeleton slots");

SceneFrameSource::SceneFrameSource(int sensorIndex) : rig_(makeSensorRig(defaultElevation(sensorIndex), sensorIndex)) {}

scene::Rig1& SceneFrameSource::rigFor(const LiveView& view) {
    rig_.setTilt(static_cast<float>(view.elevationDegrees));
    return rig_;
}

const scene::Moment& SceneFrameSource::momentAt(double seconds) {
    if (!moment_ || moment_->seconds() != seconds) moment_ = liveMoments().at(seconds);
    return *moment_;
}

bool SceneFrameSource::fillImage(const LiveView& view, const ImageSlot& slot) {
    if (!isKnownImageType(slot.imageType)) return false;
    const auto resolution = rigResolutionOf(slot.size);
    if (!resolution) {
        std::memset(slot.bytes, 0, slot.size.pixelCount() * bytesPerPixelOf(slot.imageType));
        return true;
    }
    if (slot.imageType == NUI_IMAGE_TYPE_COLOR) {
        rigFor(view).renderColor(momentAt(view.seconds), *resolution, slot.bytes);
        return true;
    }
    scene::DepthImages images;
    auto* const samples = reinterpret_cast<std::uint16_t*>(slot.bytes);
    (slot.imageType == NUI_IMAGE_TYPE_COLOR_INFRARED ? images.infrared : images.depthWithPlayer) = samples;
    rigFor(view).renderDepth(momentAt(view.seconds), *resolution, images);
    return true;
}

void SceneFrameSource::fillSkeletons(const LiveView& view, bool seated, NUI_SKELETON_FRAME& frame) {
    scene::Rig1& rig = rigFor(view);
    const scene::BodyFrame bodies = rig.bodies(momentAt(view.seconds));
    const scene::Vec4 gravity = rig.accelerometer();
    frame.dwFlags = 0;
    frame.vFloorClipPlane = vectorOf(bodies.floorClipPlane);
    frame.vNormalToGravity = Vector4{-gravity.x, -gravity.y, -gravity.z, 0.0f};
    for (int slot = 0; slot < NUI_SKELETON_COUNT; ++slot) {
        fillSkeleton(bodies.bodies[slot], slot, seated, frame.SkeletonData[slot]);
    }
}

}  // namespace plexa::virtual1
