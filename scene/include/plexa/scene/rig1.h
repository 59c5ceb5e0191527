// The first-generation sensor: a depth camera and a color camera 2.5 cm to its
// right on one motorised body, tilted by an elevation angle, with an accelerometer.
// It stands anywhere in the room (its pose); everything it reports (depth, XYZ,
// skeletons, floor clip plane, gravity) is in its own depth camera's space.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "plexa/scene/images.h"
#include "plexa/scene/joints.h"
#include "plexa/scene/moment.h"
#include "plexa/scene/pose.h"
#include "plexa/scene/scene.h"
#include "plexa/scene/types.h"

namespace plexa::scene {

class View;
struct TrackedScene;

class Rig1 {
public:
    // The values are the first-generation resolution codes.
    enum class Resolution : int { R80x60 = 0, R320x240 = 1, R640x480 = 2, R1280x960 = 3 };
    static bool valid(Resolution resolution);
    static int width(Resolution resolution);  // 0 for an invalid code
    static int height(Resolution resolution);

    static constexpr float kMinTilt = -27.0f, kMaxTilt = 27.0f;  // degrees
    static constexpr float kColorOffset = 0.025f;                // metres to the right of the depth camera
    static constexpr float kNearLimit = 0.4f, kFarLimit = 8.0f;  // metres of depth that read

    // At the origin's vertical, looking along +z.
    explicit Rig1(float heightMetres = 0.9f, float tiltDegrees = 0.0f);
    explicit Rig1(const RigPose& pose);
    ~Rig1();
    Rig1(Rig1&&) noexcept;
    Rig1& operator=(Rig1&&) noexcept;

    // Positive tilts up; clamped to [kMinTilt, kMaxTilt]. The cached room is
    // redrawn by the next render of each resolution.
    void setTilt(float degrees);
    float tilt() const { return pose_.tiltDegrees; }
    float height() const { return pose_.height; }
    // The tilt is clamped as setTilt does; a coordinate or heading that is not
    // finite counts as 0 (a height that is not finite as the default 0.9 m).
    void setPose(const RigPose& pose);
    const RigPose& pose() const { return pose_; }

    // Where the i-th first-generation virtual sensor stands (i = 0 .. kDefaultPoses - 1): sensor 0
    // at the origin, 0.9 m up, level, looking along +z; the others spread around the room at
    // different heights, each looking at its middle. An index out of range gives sensor 0's.
    static constexpr int kDefaultPoses = 10;
    static RigPose defaultPose(int sensorIndex);

    // In depth camera space: normal up, w the height, so n.p + w = 0 on the floor
    // (the heading does not change it, the tilt does).
    Vec4 floorClipPlane() const;
    // Gravity in the sensor's frame in g, w = 0: (0, -1, 0) when level.
    Vec4 accelerometer() const;

    // Depth-camera images at a resolution; false (and nothing written) for an invalid one.
    bool renderDepth(const Snapshot& snapshot, Resolution resolution, const DepthImages& images);
    // BGRA (blue, green, red, 255) from the color camera; false for an invalid resolution or null buffer.
    bool renderColor(const Snapshot& snapshot, Resolution resolution, std::uint8_t* bgra);
    // Joints in depth camera space, tracking states, and the floor clip plane.
    BodyFrame bodies(const Snapshot& snapshot) const;

    // The same from a moment several rigs share: the same images as from its
    // snapshot. The streams of one rig filming one moment share its tracking.
    bool renderDepth(const Moment& moment, Resolution resolution, const DepthImages& images);
    bool renderColor(const Moment& moment, Resolution resolution, std::uint8_t* bgra);
    BodyFrame bodies(const Moment& moment) const;

    // The depth camera's pinhole: f = W * 285.63 / 320, centre (W/2 - 0.5, H/2 - 0.5).
    static CameraPoint depthToCamera(Resolution depth, int col, int row, std::uint16_t depthMm);
    // Where a depth pixel with its depth appears in a color image of the given
    // resolution (rounded to whole pixels). A pixel without depth maps as if it were far away.
    static ColorPixel depthToColor(Resolution depth, int col, int row, std::uint16_t depthMm, Resolution color);
    // The same for `count` first-generation samples (depth << 3 | player), pixel k at
    // column k % W, row k / W. Maps at most W x H of them; returns how many it mapped.
    static std::size_t mapDepthFrameToColor(Resolution depth, const std::uint16_t* depthWithPlayer, std::size_t count,
                                            Resolution color, ColorPixel* out);
    // Image positions of a depth-camera-space point, in the depth and in the color image.
    static ImagePoint projectToDepth(Resolution depth, Vec3 point);
    static ImagePoint projectToColor(Resolution color, Vec3 point);

private:
    View& depthView(Resolution resolution);
    View& colorView(Resolution resolution);
    // The tracking of a moment: worked out again for a snapshot, kept for the
    // other streams of the last moment filmed.
    const TrackedScene& trackedAt(const Moment& moment) const;
    void forgetTracking() { trackedMoment_ = 0; }

    RigPose pose_;
    mutable std::unique_ptr<TrackedScene> tracked_;
    mutable std::uint64_t trackedMoment_ = 0;  // identity of the moment tracked_ holds; 0 none
    std::array<std::unique_ptr<View>, 4> depthViews_;
    std::array<std::unique_ptr<View>, 4> colorViews_;
};

}  // namespace plexa::scene
