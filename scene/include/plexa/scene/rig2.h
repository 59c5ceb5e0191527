// The second-generation sensor: a 512 x 424 depth/infrared camera with a little
// radial distortion, and a 1920 x 1080 color camera 5.2 cm to its left.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "plexa/scene/images.h"
#include "plexa/scene/joints.h"
#include "plexa/scene/scene.h"
#include "plexa/scene/types.h"

namespace plexa::scene {

class View;

class Rig2 {
public:
    static constexpr int kDepthWidth = 512, kDepthHeight = 424, kDepthPixels = kDepthWidth * kDepthHeight;
    static constexpr int kColorWidth = 1920, kColorHeight = 1080;
    static constexpr float kColorOffset = -0.052f;                // metres along the depth camera's x
    static constexpr float kNearLimit = 0.5f, kFarLimit = 8.0f;   // metres of depth that read

    explicit Rig2(float heightMetres = 0.95f, float tiltDegrees = -4.0f);
    ~Rig2();
    Rig2(Rig2&&) noexcept;
    Rig2& operator=(Rig2&&) noexcept;

    float height() const { return height_; }
    float tilt() const { return tilt_; }
    CameraIntrinsics depthIntrinsics() const;
    Vec4 floorClipPlane() const;

    // Depth, body index, infrared and long-exposure infrared, each 512 x 424.
    void renderDepth(const Snapshot& snapshot, const DepthImages& images);
    // 1920 x 1080 BGRA (blue, green, red, 255); false for a null buffer.
    bool renderColor(const Snapshot& snapshot, std::uint8_t* bgra);
    // The same picture as the camera's raw packed 4:2:2 YUV (Y0 U Y1 V, 1920 x 1080 x 2
    // bytes); cheaper than rendering BGRA and converting. False for a null buffer.
    bool renderColorYuy2(const Snapshot& snapshot, std::uint8_t* yuy2);
    BodyFrame bodies(const Snapshot& snapshot) const;

    // A depth pixel with its depth in camera space, and in the color image.
    // Without depth (0) both are negative infinity in every coordinate.
    CameraPoint depthToCamera(int col, int row, std::uint16_t depthMm) const;
    ImagePoint depthToColor(int col, int row, std::uint16_t depthMm) const;
    // Whole frames: pixel k at column k % 512, row k / 512. Map at most 512 x 424
    // values and return how many they mapped.
    std::size_t mapDepthFrameToCamera(const std::uint16_t* depthMm, std::size_t count, CameraPoint* out) const;
    std::size_t mapDepthFrameToColor(const std::uint16_t* depthMm, std::size_t count, ImagePoint* out) const;

    // Image positions of a depth-camera-space point (distortion applied for depth).
    ImagePoint projectToDepth(Vec3 point) const;
    ImagePoint projectToColor(Vec3 point) const;

private:
    View& colorView();

    float height_;
    float tilt_;
    std::unique_ptr<View> depthView_;
    std::unique_ptr<View> colorView_;
};

}  // namespace plexa::scene
