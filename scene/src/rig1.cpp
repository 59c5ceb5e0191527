#include "plexa/scene/rig1.h"

#include <algorithm>
#include <cmath>

#include "camera.h"
#include "mapping_loops.h"
#include "tracking.h"
#include "view.h"

namespace plexa::scene {

namespace {

constexpr float kTrackingRange = 4.5f;

int code(Rig1::Resolution r) { return static_cast<int>(r); }

Lens depthLens(Rig1::Resolution r) {
    Lens lens;
    lens.width = Rig1::width(r);
    lens.height = Rig1::height(r);
    // Single precision, multiplied before divided: the bridge's own arithmetic.
    lens.fx = lens.fy = static_cast<float>(lens.width) * 285.63f / 320.0f;
    lens.cx = static_cast<float>(lens.width) * 0.5f - 0.5f;
    lens.cy = static_cast<float>(lens.height) * 0.5f - 0.5f;
    return lens;
}

// A slightly wider view than the depth camera, so that the color image covers it.
Lens colorLens(Rig1::Resolution r) {
    Lens lens = depthLens(r);
    lens.fx = lens.fy = static_cast<float>(lens.width) * 265.0f / 320.0f;
    return lens;
}

Placement depthPlacement(const RigPose& pose) { return placementOf(pose); }

Placement colorPlacement(const RigPose& pose) {
    Placement p = depthPlacement(pose);
    p.position = p.toWorld({Rig1::kColorOffset, 0, 0});
    return p;
}

// Tracking does not depend on resolution; any lens of the depth camera's field of view will do.
TrackerSetup tracker(const RigPose& pose) {
    return {depthLens(Rig1::Resolution::R640x480), depthPlacement(pose), Rig1::kNearLimit, kTrackingRange};
}

float finiteOr(float v, float fallback) { return std::isfinite(v) ? v : fallback; }

// Where the people walk, a little below a standing person's chest.
constexpr Vec3 kRoomMiddle{0.0f, 1.0f, 3.0f};

// The virtual sensors beyond the first: floor position and height of each,
// all inside the walls and clear of the furniture and the left door, far enough
// from the middle (2.3 m or more) to see most of a person, near enough (4 m
// or less) to track the people walking there.
struct Spot {
    float x, z, height;
};
constexpr Spot kSpots[Rig1::kDefaultPoses - 1] = {
    {-1.5f, 0.2f, 1.2f},  {1.5f, 0.2f, 0.6f},   {-2.0f, 0.9f, 1.5f}, {2.0f, 0.9f, 0.75f},   {-0.7f, -0.5f, 1.8f},
    {0.8f, -0.9f, 1.05f}, {2.05f, 1.9f, 1.35f}, {0.3f, -0.7f, 0.5f}, {-1.9f, -0.3f, 1.65f},
};

std::int32_t nearestPixel(float v) {
    const float up = std::clamp(v + 0.5f, -1.0e9f, 1.0e9f);
    auto i = static_cast<std::int32_t>(up);
    return static_cast<float>(i) > up ? i - 1 : i;  // floor, without a library call
}

}  // namespace

bool Rig1::valid(Resolution r) { return code(r) >= 0 && code(r) <= 3; }
int Rig1::width(Resolution r) { return valid(r) ? 80 << (code(r) == 0 ? 0 : code(r) + 1) : 0; }
int Rig1::height(Resolution r) { return valid(r) ? 60 << (code(r) == 0 ? 0 : code(r) + 1) : 0; }

Rig1::Rig1(float heightMetres, float tiltDegrees) {
    RigPose pose;
    pose.height = heightMetres;
    pose.tiltDegrees = tiltDegrees;
    setPose(pose);
}
Rig1::Rig1(const RigPose& pose) { setPose(pose); }
Rig1::~Rig1() = default;
Rig1::Rig1(Rig1&&) noexcept = default;
Rig1& Rig1::operator=(Rig1&&) noexcept = default;

void Rig1::setTilt(float degrees) {
    pose_.tiltDegrees = std::isnan(degrees) ? 0.0f : std::clamp(degrees, kMinTilt, kMaxTilt);
    forgetTracking();
}

void Rig1::setPose(const RigPose& pose) {
    pose_.x = finiteOr(pose.x, 0.0f);
    pose_.z = finiteOr(pose.z, 0.0f);
    pose_.height = finiteOr(pose.height, RigPose{}.height);
    pose_.headingDegrees = finiteOr(pose.headingDegrees, 0.0f);
    setTilt(pose.tiltDegrees);
}

RigPose Rig1::defaultPose(int sensorIndex) {
    if (sensorIndex <= 0 || sensorIndex >= kDefaultPoses) return RigPose{};
    const Spot& spot = kSpots[sensorIndex - 1];
    RigPose pose = poseLookingAt(spot.x, spot.z, spot.height, kRoomMiddle);
    pose.tiltDegrees = std::clamp(pose.tiltDegrees, kMinTilt, kMaxTilt);
    return pose;
}

Vec4 Rig1::floorClipPlane() const { return floorClipPlaneOf(depthPlacement(pose_)); }

Vec4 Rig1::accelerometer() const {
    Vec4 up = floorClipPlane();
    return {-up.x, -up.y, -up.z, 0.0f};
}

View& Rig1::depthView(Resolution r) {
    auto& view = depthViews_[code(r)];
    if (!view) view = std::make_unique<View>(depthLens(r), View::Kind::Depth, kNearLimit, kFarLimit);
    view->place(depthPlacement(pose_));
    return *view;
}

View& Rig1::colorView(Resolution r) {
    auto& view = colorViews_[code(r)];
    if (!view) view = std::make_unique<View>(colorLens(r), View::Kind::Color, kNearLimit, kFarLimit);
    view->place(colorPlacement(pose_));
    return *view;
}

const TrackedScene& Rig1::trackedAt(const Moment& moment) const {
    if (!tracked_) tracked_ = std::make_unique<TrackedScene>();
    if (trackedMoment_ != moment.identity()) {
        trackPeople(moment.snapshot(), tracker(pose_), *tracked_);
        trackedMoment_ = moment.identity();
    }
    return *tracked_;
}

bool Rig1::renderDepth(const Moment& moment, Resolution resolution, const DepthImages& images) {
    if (!valid(resolution)) return false;
    const TrackedScene& tracked = trackedAt(moment);
    depthView(resolution).renderDepth(tracked.shapes.data(), tracked.count, images);
    return true;
}

bool Rig1::renderColor(const Moment& moment, Resolution resolution, std::uint8_t* bgra) {
    if (!valid(resolution) || bgra == nullptr) return false;
    const Snapshot& snapshot = moment.snapshot();
    const Placement placement = colorPlacement(pose_);
    std::array<BodyShape, kMaxPeople> shapes;
    const int count = std::clamp(snapshot.personCount, 0, kMaxPeople);
    for (int p = 0; p < count; ++p) shapes[p] = shapeInCamera(snapshot.people[p], placement);
    colorView(resolution).renderColor(shapes.data(), count, bgra);
    return true;
}

BodyFrame Rig1::bodies(const Moment& moment) const { return trackedAt(moment).frame; }

// A snapshot is a moment of its own, filmed by this call alone.
bool Rig1::renderDepth(const Snapshot& snapshot, Resolution resolution, const DepthImages& images) {
    return renderDepth(Moment(snapshot), resolution, images);
}

bool Rig1::renderColor(const Snapshot& snapshot, Resolution resolution, std::uint8_t* bgra) {
    return renderColor(Moment(snapshot), resolution, bgra);
}

BodyFrame Rig1::bodies(const Snapshot& snapshot) const { return bodies(Moment(snapshot)); }

CameraPoint Rig1::depthToCamera(Resolution depth, int col, int row, std::uint16_t depthMm) {
    if (!valid(depth)) return {};
    const Lens lens = depthLens(depth);
    const float z = static_cast<float>(depthMm / 1000.0);
    return {(static_cast<float>(col) - lens.cx) * z / lens.fx, (lens.cy - static_cast<float>(row)) * z / lens.fy, z};
}

// Column and row of a depth pixel in the color image: the row and most of the
// column depend on the pixel alone; the offset between the cameras shifts the
// column by an amount that shrinks with depth (nothing at all without depth).
struct ColorMapping {
    Lens depth, color;
    ColorMapping(Rig1::Resolution d, Rig1::Resolution c) : depth(depthLens(d)), color(colorLens(c)) {}
    float column(int col) const { return color.cx + color.fx * ((static_cast<float>(col) - depth.cx) / depth.fx); }
    float row(int row) const { return color.cy - color.fy * ((depth.cy - static_cast<float>(row)) / depth.fy); }
    // The shift is shiftScale() / depth in millimetres.
    float shiftScale() const { return color.fx * Rig1::kColorOffset * 1000.0f; }
    float shift(std::uint16_t depthMm) const {
        return depthMm == 0 ? 0.0f : shiftScale() / static_cast<float>(depthMm);
    }
};

ColorPixel Rig1::depthToColor(Resolution depth, int col, int row, std::uint16_t depthMm, Resolution color) {
    if (!valid(depth) || !valid(color)) return {};
    const ColorMapping m(depth, color);
    return {nearestPixel(m.column(col) - m.shift(depthMm)), nearestPixel(m.row(row))};
}

std::size_t Rig1::mapDepthFrameToColor(Resolution depth, const std::uint16_t* depthWithPlayer, std::size_t count,
                                       Resolution color, ColorPixel* out) {
    if (!valid(depth) || !valid(color) || depthWithPlayer == nullptr || out == nullptr) return 0;
    const ColorMapping m(depth, color);
    const int w = width(depth), h = height(depth);
    const std::size_t n = std::min(count, static_cast<std::size_t>(w) * h);
    std::array<float, 1280> columns;
    for (int col = 0; col < w; ++col) columns[col] = m.column(col);
    const float shiftScale = m.shiftScale();
    const MappingLoops& loops = mappingLoops();
    for (std::size_t start = 0, row = 0; start < n; start += static_cast<std::size_t>(w), ++row) {
        const std::size_t length = std::min(static_cast<std::size_t>(w), n - start);
        loops.rowToColor1(columns.data(), depthWithPlayer + start, length, shiftScale,
                          nearestPixel(m.row(static_cast<int>(row))), out + start);
    }
    return n;
}

ImagePoint Rig1::projectToDepth(Resolution depth, Vec3 p) {
    if (!valid(depth) || !(p.z > 0)) return {-INFINITY, -INFINITY};
    ImagePoint r;
    depthLens(depth).project(p.x / p.z, p.y / p.z, r.x, r.y);
    return r;
}

ImagePoint Rig1::projectToColor(Resolution color, Vec3 p) {
    const Vec3 q{p.x - kColorOffset, p.y, p.z};
    if (!valid(color) || !(q.z > 0)) return {-INFINITY, -INFINITY};
    ImagePoint r;
    colorLens(color).project(q.x / q.z, q.y / q.z, r.x, r.y);
    return r;
}

}  // namespace plexa::scene
