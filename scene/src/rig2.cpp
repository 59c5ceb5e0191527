#include "plexa/scene/rig2.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "camera.h"
#include "mapping_loops.h"
#include "tracking.h"
#include "view.h"

namespace plexa::scene {

namespace {

constexpr float kTrackingRange = 4.5f;
constexpr float kNoValue = -std::numeric_limits<float>::infinity();

Lens depthLens() {
    Lens lens;
    lens.width = Rig2::kDepthWidth;
    lens.height = Rig2::kDepthHeight;
    lens.fx = 365.3f;
    lens.fy = 365.3f;
    lens.cx = 256.7f;
    lens.cy = 207.1f;
    lens.k2 = 0.09f;
    lens.k4 = -0.25f;
    lens.k6 = 0.08f;
    return lens;
}

Lens colorLens() {
    Lens lens;
    lens.width = Rig2::kColorWidth;
    lens.height = Rig2::kColorHeight;
    lens.fx = lens.fy = 1060.0f;
    lens.cx = 959.5f;
    lens.cy = 539.5f;
    return lens;
}

Placement depthPlacement(float height, float tilt) { return tiltedPlacement({0, height, 0}, tilt); }

Placement colorPlacement(float height, float tilt) {
    Placement p = depthPlacement(height, tilt);
    p.position = p.toWorld({Rig2::kColorOffset, 0, 0});
    return p;
}

float metres(std::uint16_t depthMm) { return static_cast<float>(depthMm) / 1000.0f; }

CameraPoint toCamera(float rayX, float rayY, std::uint16_t depthMm) {
    if (depthMm == 0) return {kNoValue, kNoValue, kNoValue};
    const float z = metres(depthMm);
    return {rayX * z, rayY * z, z};
}

ImagePoint toColor(const Lens& color, float rayX, float rayY, std::uint16_t depthMm) {
    if (depthMm == 0) return {kNoValue, kNoValue};
    const float z = metres(depthMm);
    // The color camera sits kColorOffset along x: the point's x/z shifts by the offset over the depth.
    return {color.cx + color.fx * ((rayX * z - Rig2::kColorOffset) / z), color.cy - color.fy * rayY};
}

std::array<BodyShape, kMaxPeople> shapesFor(const Snapshot& snapshot, const Placement& placement) {
    std::array<BodyShape, kMaxPeople> shapes;
    const int count = std::clamp(snapshot.personCount, 0, kMaxPeople);
    for (int p = 0; p < count; ++p) shapes[p] = shapeInCamera(snapshot.people[p], placement);
    return shapes;
}

// The color camera's picture of the snapshot through one of the view's color
// passes (BGRA or packed 4:2:2).
void renderColorPass(View& view, const Snapshot& snapshot, void (View::*pass)(const BodyShape*, int, std::uint8_t*),
                     std::uint8_t* out) {
    const auto shapes = shapesFor(snapshot, view.placement());
    (view.*pass)(shapes.data(), std::clamp(snapshot.personCount, 0, kMaxPeople), out);
}

ImagePoint projectWith(const Lens& lens, Vec3 p) {
    if (!(p.z > 0)) return {kNoValue, kNoValue};
    ImagePoint r;
    lens.project(p.x / p.z, p.y / p.z, r.x, r.y);
    return r;
}

}  // namespace

Rig2::Rig2(float heightMetres, float tiltDegrees)
    : height_(heightMetres),
      tilt_(std::isnan(tiltDegrees) ? 0.0f : std::clamp(tiltDegrees, -45.0f, 45.0f)),
      depthView_(std::make_unique<View>(depthLens(), View::Kind::Depth, kNearLimit, kFarLimit)) {
    depthView_->place(depthPlacement(height_, tilt_));
}

Rig2::~Rig2() = default;
Rig2::Rig2(Rig2&&) noexcept = default;
Rig2& Rig2::operator=(Rig2&&) noexcept = default;

CameraIntrinsics Rig2::depthIntrinsics() const {
    const Lens l = depthLens();
    return {l.fx, l.fy, l.cx, l.cy, l.k2, l.k4, l.k6};
}

Vec4 Rig2::floorClipPlane() const { return floorClipPlaneOf(depthPlacement(height_, tilt_)); }

View& Rig2::colorView() {
    if (!colorView_) {
        colorView_ = std::make_unique<View>(colorLens(), View::Kind::Color, kNearLimit, kFarLimit);
        colorView_->place(colorPlacement(height_, tilt_));
    }
    return *colorView_;
}

void Rig2::renderDepth(const Snapshot& snapshot, const DepthImages& images) {
    TrackedScene tracked;
    trackPeople(snapshot, {depthLens(), depthView_->placement(), kNearLimit, kTrackingRange}, tracked);
    depthView_->renderDepth(tracked.shapes.data(), tracked.count, images);
}

bool Rig2::renderColor(const Snapshot& snapshot, std::uint8_t* bgra) {
    if (bgra == nullptr) return false;
    renderColorPass(colorView(), snapshot, &View::renderColor, bgra);
    return true;
}

bool Rig2::renderColorYuy2(const Snapshot& snapshot, std::uint8_t* yuy2) {
    if (yuy2 == nullptr) return false;
    renderColorPass(colorView(), snapshot, &View::renderColorYuy2, yuy2);
    return true;
}

BodyFrame Rig2::bodies(const Snapshot& snapshot) const {
    TrackedScene tracked;
    trackPeople(snapshot, {depthLens(), depthView_->placement(), kNearLimit, kTrackingRange}, tracked);
    return tracked.frame;
}

CameraPoint Rig2::depthToCamera(int col, int row, std::uint16_t depthMm) const {
    if (col < 0 || row < 0 || col >= kDepthWidth || row >= kDepthHeight) return {kNoValue, kNoValue, kNoValue};
    const RayGrid& rays = depthView_->rays();
    return toCamera(rays.x(col, row), rays.y(col, row), depthMm);
}

ImagePoint Rig2::depthToColor(int col, int row, std::uint16_t depthMm) const {
    if (col < 0 || row < 0 || col >= kDepthWidth || row >= kDepthHeight) return {kNoValue, kNoValue};
    const RayGrid& rays = depthView_->rays();
    return toColor(colorLens(), rays.x(col, row), rays.y(col, row), depthMm);
}

// The whole-frame mappings run through the ray table in pixel order, with the
// same arithmetic as toCamera() and toColor() (mapping_loops.inc).
std::size_t Rig2::mapDepthFrameToCamera(const std::uint16_t* depthMm, std::size_t count, CameraPoint* out) const {
    if (depthMm == nullptr || out == nullptr) return 0;
    const std::size_t n = std::min(count, static_cast<std::size_t>(kDepthPixels));
    mappingLoops().depthToCamera2(depthView_->rays().perPixel(), depthMm, n, out);
    return n;
}

std::size_t Rig2::mapDepthFrameToColor(const std::uint16_t* depthMm, std::size_t count, ImagePoint* out) const {
    if (depthMm == nullptr || out == nullptr) return 0;
    const Lens color = colorLens();
    const std::size_t n = std::min(count, static_cast<std::size_t>(kDepthPixels));
    mappingLoops().depthToColor2(depthView_->rays().perPixel(), depthMm, n, color.cx, color.cy, color.fx, color.fy,
                                 kColorOffset, out);
    return n;
}

ImagePoint Rig2::projectToDepth(Vec3 p) const { return projectWith(depthLens(), p); }

ImagePoint Rig2::projectToColor(Vec3 p) const { return projectWith(colorLens(), {p.x - kColorOffset, p.y, p.z}); }

}  // namespace plexa::scene
