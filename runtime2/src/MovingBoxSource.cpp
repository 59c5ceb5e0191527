// The live content in use until the synthetic scene arrives: a room seen from
// a sensor 1 m above the floor, with a back wall 3.5 m away (a dark patch on
// it returns no depth, as a black surface does) and, 2 m away, a person-sized
// box that sways from side to side every four seconds. The box is body slot 0:
// its pixels carry that slot in the body-index image, and a tracked skeleton
// stands inside it, waving its left hand. The other five slots are empty.
#include "CameraModel.h"
#include "LiveFrameSource.h"
#include "SensorGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace plexa::virtual2 {
namespace {

constexpr float kFloorY = -1.0f;
constexpr float kWallZ = 3.5f;
constexpr float kBoxFrontZ = 2.0f;
constexpr float kBoxHalfWidth = 0.25f;
constexpr float kBoxTopY = 0.8f;
constexpr float kPatchLeft = -1.2f, kPatchRight = -0.8f, kPatchBottom = 0.2f, kPatchTop = 0.6f;
constexpr double kSwayPeriodSeconds = 4.0;
constexpr double kSwayAmplitude = 0.6;
constexpr double kPi = 3.14159265358979323846;

constexpr std::uint8_t kNoBody = 255;

struct Yuv {
    std::uint8_t y, u, v;
};
constexpr Yuv kWallColor{180, 140, 120};
constexpr Yuv kFloorColor{100, 100, 150};
constexpr Yuv kBoxColor{150, 60, 200};
constexpr Yuv kPatchColor{16, 128, 128};

enum class Surface { Wall, Floor, Box, Patch };

struct Pose {
    float boxCenterX;
    float seconds;
};

Pose poseAt(TIMESPAN time) {
    const double seconds = static_cast<double>(time) / kTicksPerSecond;
    return Pose{static_cast<float>(kSwayAmplitude * std::sin(2.0 * kPi * seconds / kSwayPeriodSeconds)),
                static_cast<float>(seconds)};
}

bool inBox(const Pose& pose, float x, float y) {
    return std::fabs(x - pose.boxCenterX) <= kBoxHalfWidth && y >= kFloorY && y <= kBoxTopY;
}

bool inPatch(float x, float y) { return x >= kPatchLeft && x <= kPatchRight && y >= kPatchBottom && y <= kPatchTop; }

// What a ray from a camera at (originX, 0, 0) with direction (dx, dy, 1)
// meets first, and at which z.
Surface trace(const Pose& pose, float originX, float dx, float dy, float& z) {
    if (inBox(pose, originX + dx * kBoxFrontZ, dy * kBoxFrontZ)) {
        z = kBoxFrontZ;
        return Surface::Box;
    }
    if (dy < 0.0f && kFloorY / dy < kWallZ) {
        z = kFloorY / dy;
        return Surface::Floor;
    }
    z = kWallZ;
    return inPatch(originX + dx * kWallZ, dy * kWallZ) ? Surface::Patch : Surface::Wall;
}

std::uint16_t infraredOf(Surface surface, float z) {
    if (surface == Surface::Patch) return 300;
    const float intensity = 6.0e4f / (z * z);
    return static_cast<std::uint16_t>(std::min(intensity, 65535.0f));
}

void renderDepthImages(const Pose& pose, DWORD sources, LiveFrame& frame) {
    const CameraModel& model = CameraModel::instance();
    const bool depth = sources & FrameSourceTypes_Depth;
    const bool bodyIndex = sources & FrameSourceTypes_BodyIndex;
    const bool infrared = sources & FrameSourceTypes_Infrared;
    const bool longExposure = sources & FrameSourceTypes_LongExposureInfrared;
    auto shortImage = [] {
        return ScriptedShortImage{kDepthWidth, kDepthHeight, std::vector<std::uint16_t>(kDepthPixelCount)};
    };
    if (depth) frame.depth = shortImage();
    if (infrared) frame.infrared = shortImage();
    if (longExposure) frame.longExposureInfrared = shortImage();
    if (bodyIndex) {
        frame.bodyIndex =
            ScriptedBodyIndexImage{kDepthWidth, kDepthHeight, std::vector<std::uint8_t>(kDepthPixelCount)};
    }
    for (int i = 0; i < kDepthPixelCount; ++i) {
        float z = 0.0f;
        const Surface surface = trace(pose, 0.0f, model.rayX(i), model.rayY(i), z);
        if (depth) {
            frame.depth.samples[i] =
                surface == Surface::Patch ? 0 : static_cast<std::uint16_t>(std::lround(z * 1000.0f));
        }
        if (bodyIndex) frame.bodyIndex.bytes[i] = surface == Surface::Box ? 0 : kNoBody;
        const std::uint16_t ir = infraredOf(surface, z);
        if (infrared) frame.infrared.samples[i] = ir;
        if (longExposure) frame.longExposureInfrared.samples[i] = static_cast<std::uint16_t>(std::min(ir * 2, 65535));
    }
}

// Every surface is flat and upright or level, so what a color pixel sees
// depends on its row and column separately, and rows come in few kinds (floor
// or wall, crossing the box or not, crossing the dark patch or not): each kind
// is drawn once and copied to the rows of that kind.
struct RowKind {
    bool floor;
    bool box;
    bool patch;
    int index() const { return (floor ? 1 : 0) | (box ? 2 : 0) | (patch ? 4 : 0); }
};

void drawColorRow(const RowKind& kind, const std::vector<bool>& columnInBox, const std::vector<bool>& columnInPatch,
                  std::uint8_t* out) {
    for (int column = 0; column < kColorWidth; column += 2, out += 4) {
        Yuv pixel[2];
        for (int k = 0; k < 2; ++k) {
            const int c = column + k;
            if (kind.box && columnInBox[c]) {
                pixel[k] = kBoxColor;
            } else if (kind.floor) {
                pixel[k] = kFloorColor;
            } else {
                pixel[k] = kind.patch && columnInPatch[c] ? kPatchColor : kWallColor;
            }
        }
        // A pair shares the chroma of its first pixel.
        out[0] = pixel[0].y;
        out[1] = pixel[0].u;
        out[2] = pixel[1].y;
        out[3] = pixel[0].v;
    }
}

void renderColor(const Pose& pose, LiveFrame& frame) {
    const CameraModel& model = CameraModel::instance();
    const float focal = model.colorFocalLength();
    const float originX = model.colorOffsetX();
    std::vector<bool> columnInBox(kColorWidth), columnInPatch(kColorWidth);
    for (int column = 0; column < kColorWidth; ++column) {
        const float dx = (column - model.colorPrincipalPointX()) / focal;
        columnInBox[column] = std::fabs(originX + dx * kBoxFrontZ - pose.boxCenterX) <= kBoxHalfWidth;
        const float wallX = originX + dx * kWallZ;
        columnInPatch[column] = wallX >= kPatchLeft && wallX <= kPatchRight;
    }
    constexpr std::size_t kRowBytes = static_cast<std::size_t>(kColorWidth) * 2;
    frame.color = ScriptedColorImage{kColorWidth, kColorHeight, ColorImageFormat_Yuy2,
                                     std::vector<std::uint8_t>(kRowBytes * kColorHeight)};
    const std::uint8_t* drawn[8] = {};
    for (int row = 0; row < kColorHeight; ++row) {
        const float dy = -(row - model.colorPrincipalPointY()) / focal;
        const float boxY = dy * kBoxFrontZ;
        const float wallY = dy * kWallZ;
        const RowKind kind{dy < 0.0f && kFloorY / dy < kWallZ, boxY >= kFloorY && boxY <= kBoxTopY,
                           wallY >= kPatchBottom && wallY <= kPatchTop};
        std::uint8_t* out = frame.color.raw.data() + row * kRowBytes;
        if (drawn[kind.index()] != nullptr) {
            std::memcpy(out, drawn[kind.index()], kRowBytes);
        } else {
            drawColorRow(kind, columnInBox, columnInPatch, out);
            drawn[kind.index()] = out;
        }
    }
}

// Joint offsets from the spine base, metres, in joint-type order: spine base,
// spine mid, neck, head; the left arm (shoulder, elbow, wrist, hand), the
// right arm; the left leg (hip, knee, ankle, foot), the right leg; spine at
// the shoulders; left hand tip and thumb, right hand tip and thumb. The person
// faces the sensor, so their left is the sensor's right (+x). The left arm is
// raised; its forearm is placed per frame.
struct Offset {
    float x, y;
};
constexpr Offset kStandingPose[JointType_Count] = {
    {0.00f, 0.00f},   {0.00f, 0.30f},   {0.00f, 0.62f},   {0.00f, 0.75f},    // spine, head
    {0.18f, 0.55f},   {0.32f, 0.62f},   {0.32f, 0.85f},   {0.32f, 0.92f},    // left arm (raised)
    {-0.18f, 0.55f},  {-0.22f, 0.30f},  {-0.24f, 0.08f},  {-0.24f, 0.00f},   // right arm
    {0.09f, -0.02f},  {0.10f, -0.48f},  {0.10f, -0.88f},  {0.10f, -0.93f},   // left leg
    {-0.09f, -0.02f}, {-0.10f, -0.48f}, {-0.10f, -0.88f}, {-0.10f, -0.93f},  // right leg
    {0.00f, 0.55f},   {0.32f, 1.00f},   {0.28f, 0.92f},   {-0.24f, -0.08f},  // spine shoulder, hand tips
    {-0.20f, 0.00f},                                                          // right thumb
};
constexpr int kWaving[] = {6, 7, 21, 22};  // left wrist, hand, hand tip, thumb
constexpr float kSpineBaseY = -0.05f;
constexpr float kSkeletonZ = 2.2f;

void renderBodies(const Pose& pose, LiveFrame& frame) {
    frame.bodies = ScriptedBodies{};
    frame.bodies.floorClipPlane = Vector4{0.0f, 1.0f, 0.0f, -kFloorY};
    for (int slot = 0; slot < BODY_COUNT; ++slot) {
        for (int joint = 0; joint < JointType_Count; ++joint) {
            frame.bodies.bodies[slot].joints[joint].JointType = joint;
            frame.bodies.bodies[slot].orientations[joint] = JointOrientation{joint, Vector4{0.0f, 0.0f, 0.0f, 1.0f}};
        }
    }
    ScriptedBody& body = frame.bodies.bodies[0];
    body.tracked = true;
    const float wave = 0.12f * std::sin(2.0f * static_cast<float>(kPi) * pose.seconds);
    for (int joint = 0; joint < JointType_Count; ++joint) {
        float x = kStandingPose[joint].x;
        if (std::find(std::begin(kWaving), std::end(kWaving), joint) != std::end(kWaving)) x += wave;
        body.joints[joint].Position = CameraSpacePoint{pose.boxCenterX + x, kSpineBaseY + kStandingPose[joint].y,
                                                       kSkeletonZ};
        body.joints[joint].TrackingState = TrackingState_Tracked;
    }
}

class MovingBoxSource final : public LiveFrameSource {
public:
    void render(TIMESPAN time, DWORD sources, LiveFrame& frame) override {
        const Pose pose = poseAt(time);
        const DWORD depthImages = FrameSourceTypes_Depth | FrameSourceTypes_BodyIndex | FrameSourceTypes_Infrared |
                                  FrameSourceTypes_LongExposureInfrared;
        if (sources & depthImages) renderDepthImages(pose, sources, frame);
        if (sources & FrameSourceTypes_Color) renderColor(pose, frame);
        if (sources & FrameSourceTypes_Body) renderBodies(pose, frame);
    }
};

}  // namespace

std::unique_ptr<LiveFrameSource> makeMovingBoxSource() { return std::make_unique<MovingBoxSource>(); }

}  // namespace plexa::virtual2
