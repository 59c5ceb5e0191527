#include "SceneFrameSource.h"

#include <cstdint>
#include <vector>

namespace plexa::virtual2 {
namespace {

constexpr DWORD kDepthImageSources = FrameSourceTypes_Depth | FrameSourceTypes_BodyIndex |
                                     FrameSourceTypes_Infrared | FrameSourceTypes_LongExposureInfrared;

ScriptedShortImage depthSizedShortImage() {
    return ScriptedShortImage{kDepthWidth, kDepthHeight, std::vector<std::uint16_t>(kDepthPixelCount)};
}

// Every slot names its joints in order, tracked or not; the scene leaves the
// rest of an untracked slot zero.
ScriptedBody toScriptedBody(const scene::Body& body) {
    ScriptedBody scripted;
    scripted.tracked = body.tracked;
    for (int joint = 0; joint < JointType_Count; ++joint) {
        const scene::BodyJoint& source = body.joints[joint];
        const auto type = static_cast<JointType>(joint);
        scripted.joints[joint] = Joint{type, CameraSpacePoint{source.position.x, source.position.y, source.position.z},
                                       static_cast<TrackingState>(source.state)};
        scripted.orientations[joint] = JointOrientation{
            type, Vector4{source.orientation.x, source.orientation.y, source.orientation.z, source.orientation.w}};
    }
    return scripted;
}

static_assert(static_cast<std::int32_t>(scene::TrackingState::NotTracked) == TrackingState_NotTracked &&
                  static_cast<std::int32_t>(scene::TrackingState::Inferred) == TrackingState_Inferred &&
                  static_cast<std::int32_t>(scene::TrackingState::Tracked) == TrackingState_Tracked,
              "the scene's tracking states are the runtime's");
static_assert(scene::kBodySlots == BODY_COUNT && scene::kJointCount == JointType_Count,
              "the scene tracks the sensor's slots and joints");

}  // namespace

SceneFrameSource::SceneFrameSource() : scene_(kLiveSceneSeed), rig_(makeSensorRig()) {}

void SceneFrameSource::render(TIMESPAN time, DWORD sources, LiveFrame& frame) {
    if ((sources & (kDepthImageSources | FrameSourceTypes_Color | FrameSourceTypes_Body)) == 0) return;
    const scene::Snapshot snapshot = scene_.at(sceneSeconds(time));
    if (sources & kDepthImageSources) renderDepthImages(snapshot, sources, frame);
    if (sources & FrameSourceTypes_Color) renderColor(snapshot, frame);
    if (sources & FrameSourceTypes_Body) renderBodies(snapshot, frame);
}

// One pass of the rig fills every wanted depth-camera image at once.
void SceneFrameSource::renderDepthImages(const scene::Snapshot& snapshot, DWORD sources, LiveFrame& frame) {
    scene::DepthImages images;
    if (sources & FrameSourceTypes_Depth) {
        frame.depth = depthSizedShortImage();
        images.depthMm = frame.depth.samples.data();
    }
    if (sources & FrameSourceTypes_BodyIndex) {
        frame.bodyIndex =
            ScriptedBodyIndexImage{kDepthWidth, kDepthHeight, std::vector<std::uint8_t>(kDepthPixelCount)};
        images.personIndex = frame.bodyIndex.bytes.data();
    }
    if (sources & FrameSourceTypes_Infrared) {
        frame.infrared = depthSizedShortImage();
        images.infrared = frame.infrared.samples.data();
    }
    if (sources & FrameSourceTypes_LongExposureInfrared) {
        frame.longExposureInfrared = depthSizedShortImage();
        images.longExposureInfrared = frame.longExposureInfrared.samples.data();
    }
    rig_.renderDepth(snapshot, images);
}

void SceneFrameSource::renderColor(const scene::Snapshot& snapshot, LiveFrame& frame) {
    frame.color = ScriptedColorImage{kColorWidth, kColorHeight, ColorImageFormat_Yuy2,
                                     std::vector<std::uint8_t>(static_cast<std::size_t>(kColorWidth) * kColorHeight * 2)};
    rig_.renderColorYuy2(snapshot, frame.color.raw.data());
}

void SceneFrameSource::renderBodies(const scene::Snapshot& snapshot, LiveFrame& frame) const {
    const scene::BodyFrame tracked = rig_.bodies(snapshot);
    frame.bodies = ScriptedBodies{};
    for (int slot = 0; slot < BODY_COUNT; ++slot) frame.bodies.bodies[slot] = toScriptedBody(tracked.bodies[slot]);
    const scene::Vec4 floor = tracked.floorClipPlane;
    frame.bodies.floorClipPlane = Vector4{floor.x, floor.y, floor.z, floor.w};
}

}  // namespace plexa::virtual2
