#include "view.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

#include "hit_rows.h"
#include "part_outline.h"
#include "plexa/scene/color_format.h"
#include "plexa/scene/joints.h"
#include "room.h"
#include "shade_rows.h"
#include "yuv.h"

namespace plexa::scene {

// Color pixels are kept as words whose bytes, in memory, are blue, green, red, alpha.
#if defined(__BYTE_ORDER__)  // MSVC builds only for little-endian machines
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "BGRA words assume a little-endian machine");
#endif

namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();
constexpr float kInfraredGain = 26000.0f;  // at 1 m, head-on, albedo 1
constexpr float kLongExposureFactor = 2.5f;

std::uint16_t saturate16(float v) { return v >= 65535.0f ? 65535 : static_cast<std::uint16_t>(v > 0 ? v : 0); }

}  // namespace

std::uint16_t depthReading(float z, float nearLimit, float farLimit) {
    if (!(z >= nearLimit && z <= farLimit)) return 0;
    return static_cast<std::uint16_t>(z * 1000.0f + 0.5f);
}

void infraredOf(float infraredAlbedo, float cosine, float distanceSquared, std::uint16_t& shortExposure,
                std::uint16_t& longExposure) {
    float v = kInfraredGain * infraredAlbedo * std::max(0.0f, cosine) / std::max(distanceSquared, 1e-6f);
    shortExposure = saturate16(v);
    longExposure = saturate16(v * kLongExposureFactor);
}

RayGrid::RayGrid(const Lens& lens) : width_(lens.width) {
    if (!lens.distorted()) {
        cols_.resize(lens.width);
        rows_.resize(lens.height);
        float unused;
        for (int c = 0; c < lens.width; ++c) lens.unproject(static_cast<float>(c), lens.cy, cols_[c], unused);
        for (int r = 0; r < lens.height; ++r) lens.unproject(lens.cx, static_cast<float>(r), unused, rows_[r]);
        return;
    }
    table_.resize(2 * static_cast<size_t>(lens.width) * lens.height);
    for (int r = 0; r < lens.height; ++r)
        for (int c = 0; c < lens.width; ++c) {
            size_t i = 2 * (static_cast<size_t>(r) * lens.width + c);
            lens.unproject(static_cast<float>(c), static_cast<float>(r), table_[i], table_[i + 1]);
        }
}

View::View(const Lens& lens, Kind kind, float nearLimit, float farLimit)
    : lens_(lens), kind_(kind), near_(nearLimit), far_(farLimit), rays_(lens) {
    const size_t n = static_cast<size_t>(lens.width) * lens.height;
    roomZ_.resize(n);
    if (kind == Kind::Depth) {
        roomDepth_.resize(n);
        roomInfrared_.resize(n);
        roomLongInfrared_.resize(n);
        roomDepthWithPlayer_.resize(n);
    } else {
        roomColor_.resize(n);
        if (lens.width % 2 == 0) roomYuy2_.resize(2 * n);
    }
    peopleZ_.resize(n);
    stamp_.assign(n, 0);
    rowHits_.resize(lens.width);
    run_.resize(lens.width);
}

void View::place(const Placement& placement) {
    if (roomDrawn_ && placement == placement_) return;
    placement_ = placement;
    roomDrawn_ = false;
}

void View::drawRoom() {
    lightInCamera_ = placement_.directionToCamera(lightDirection());
    const Vec3 light = lightDirection();
    for (int row = 0; row < lens_.height; ++row) {
        for (int col = 0; col < lens_.width; ++col) {
            const size_t i = static_cast<size_t>(row) * lens_.width + col;
            const Vec3 ray{rays_.x(col, row), rays_.y(col, row), 1.0f};
            const Vec3 direction = placement_.directionToWorld(ray);
            const SurfaceHit hit = castIntoRoom(placement_.position, direction);
            roomZ_[i] = hit.t;
            if (kind_ == Kind::Color) {
                roomColor_[i] =
                    std::isinf(hit.t) ? shadeBgra(kOutsideColor, 1.0f) : shadeBgra(hit.albedo, dot(hit.normal, light));
                continue;
            }
            roomDepth_[i] = depthReading(hit.t, near_, far_);
            roomDepthWithPlayer_[i] = static_cast<std::uint16_t>(roomDepth_[i] << 3);
            if (std::isinf(hit.t)) {
                roomInfrared_[i] = roomLongInfrared_[i] = 0;
            } else {
                const float dd = dot(direction, direction);
                const float cosine = -dot(hit.normal, direction) / std::sqrt(dd);
                infraredOf(hit.infraredAlbedo, cosine, hit.t * hit.t * dd, roomInfrared_[i], roomLongInfrared_[i]);
            }
        }
    }
    if (!roomYuy2_.empty()) {
        std::vector<std::uint8_t> bytes(4 * roomColor_.size());
        for (size_t i = 0; i < roomColor_.size(); ++i) {
            const std::uint32_t c = roomColor_[i];
            bytes[4 * i] = c & 0xFF;
            bytes[4 * i + 1] = c >> 8 & 0xFF;
            bytes[4 * i + 2] = c >> 16 & 0xFF;
            bytes[4 * i + 3] = 0xFF;
        }
        bgraToYuy2(bytes.data(), lens_.width, lens_.height, roomYuy2_.data());
    }
    roomDrawn_ = true;
}

void View::beginFrame() {
    if (!roomDrawn_) drawRoom();
    if (++frame_ == 0) {
        // After 2^32 frames the stamps would alias; start them over.
        std::fill(stamp_.begin(), stamp_.end(), 0u);
        frame_ = 1;
    }
}

template <class Hit, class Writer>
void View::drawPart(const Primitive& part, std::uint8_t label, const Hit& hit, Writer& writer) {
    if (part.boundsMax.z <= near_ * 0.25f) return;  // behind the camera
    PixelRect rect;
    if (part.boundsMin.z <= 0.05f) {
        rect = {0, lens_.width, 0, lens_.height};
    } else {
        // A box projects inside the hull of its corners' projections.
        float xMin = kInfinity, xMax = -kInfinity, yMin = kInfinity, yMax = -kInfinity;
        for (float z : {part.boundsMin.z, part.boundsMax.z})
            for (float x : {part.boundsMin.x, part.boundsMax.x})
                for (float y : {part.boundsMin.y, part.boundsMax.y}) {
                    xMin = std::min(xMin, x / z);
                    xMax = std::max(xMax, x / z);
                    yMin = std::min(yMin, y / z);
                    yMax = std::max(yMax, y / z);
                }
        rect = lens_.pixelsSeeing(xMin, xMax, yMin, yMax);
    }
    const int width = lens_.width;
    // Without distortion a part covers a convex patch of the image, so a row
    // is done once the ray has left it.
    const bool convex = !lens_.distorted();
    const PartOutline outline(part, lens_, rect);
    // One row's pixels [begin, end): the ray of each from rayAt(col), its hit
    // from hitAt(col). The pixels the part is nearest in go to the writer as one run.
    auto drawRow = [&](int row, int begin, int end, auto rayAt, auto hitAt) {
        bool entered = false;
        int n = 0;
        for (int col = begin; col < end; ++col) {
            const float t = hitAt(col);
            if (!(t > 0) || t == kInfinity) {
                if (entered && convex) break;
                continue;
            }
            entered = true;
            const size_t i = static_cast<size_t>(row) * width + col;
            const float current = stamp_[i] == frame_ ? peopleZ_[i] : roomZ_[i];
            if (t >= current) continue;
            peopleZ_[i] = t;
            stamp_[i] = frame_;
            const ImagePoint ray = rayAt(col);
            run_.index[n] = i;
            run_.x[n] = ray.x;
            run_.y[n] = ray.y;
            run_.t[n] = t;
            ++n;
        }
        if (n > 0) writer(run_, RayHits{run_.x.data(), run_.y.data(), run_.t.data(), n}, part, label);
    };
    float* hits = rowHits_.data();
    for (int row = rect.rowBegin; row < rect.rowEnd; ++row) {
        if (convex) {
            // Rays outside the outline miss the part: a row's hit tests and pixels
            // start and stop there. Each ray's x is its column's.
            const float y = rays_.y(0, row);
            const ColumnSpan span = outline.columns(y);
            if (span.end <= span.begin) continue;
            const float* columnX = rays_.columnX();
            const int first = span.begin;
            hitRow(hit, columnX + first, y, span.end - first, hits);
            auto rayAt = [columnX, y](int col) { return ImagePoint{columnX[col], y}; };
            drawRow(row, first, span.end, rayAt, [hits, first](int col) { return hits[col - first]; });
        } else {
            if (rect.colEnd <= rect.colBegin) continue;
            const float* perPixel = rays_.perPixel() + 2 * static_cast<size_t>(row) * width;
            const int first = rect.colBegin;
            hitRow(hit, perPixel + 2 * first, rect.colEnd - first, hits);
            auto rayAt = [perPixel](int col) { return ImagePoint{perPixel[2 * col], perPixel[2 * col + 1]}; };
            drawRow(row, first, rect.colEnd, rayAt, [hits, first](int col) { return hits[col - first]; });
        }
    }
}

template <class Writer>
void View::drawPeople(const BodyShape* shapes, int count, Writer& writer) {
    // Nearest parts first, so that parts behind them mostly fail the depth test
    // before any shading is done. The order does not change the picture.
    struct Entry {
        float nearest;
        int rank;
        const Primitive* part;
        std::uint8_t label;
    };
    std::array<Entry, kMaxPeople * kPrimitivesPerPerson> order;
    int n = 0;
    for (int p = 0; p < count && p < kMaxPeople; ++p)
        for (const Primitive& part : shapes[p].parts) {
            order[n] = {part.boundsMin.z, n, &part, shapes[p].label};
            ++n;
        }
    std::sort(order.begin(), order.begin() + n, [](const Entry& a, const Entry& b) {
        return a.nearest < b.nearest || (a.nearest == b.nearest && a.rank < b.rank);
    });
    for (int k = 0; k < n; ++k) {
        const Primitive& part = *order[k].part;
        switch (part.kind) {
            case Primitive::Kind::Sphere: drawPart(part, order[k].label, SphereHit(part), writer); break;
            case Primitive::Kind::Capsule: drawPart(part, order[k].label, CapsuleHit(part), writer); break;
            case Primitive::Kind::Ellipsoid: drawPart(part, order[k].label, EllipsoidHit(part), writer); break;
        }
    }
}

void View::renderDepth(const BodyShape* shapes, int count, const DepthImages& images) {
    beginFrame();
    const size_t n = roomZ_.size();
    if (images.depthMm) std::memcpy(images.depthMm, roomDepth_.data(), n * sizeof(std::uint16_t));
    if (images.depthWithPlayer)
        std::memcpy(images.depthWithPlayer, roomDepthWithPlayer_.data(), n * sizeof(std::uint16_t));
    if (images.personIndex) std::memset(images.personIndex, kNoPerson, n);
    if (images.infrared) std::memcpy(images.infrared, roomInfrared_.data(), n * sizeof(std::uint16_t));
    if (images.longExposureInfrared)
        std::memcpy(images.longExposureInfrared, roomLongInfrared_.data(), n * sizeof(std::uint16_t));

    const DepthImages out = images;
    const bool wantsInfrared = out.infrared || out.longExposureInfrared;
    const float nearLimit = near_, farLimit = far_;
    auto writer = [&out, wantsInfrared, nearLimit, farLimit](const PixelRun& run, const RayHits& hits,
                                                             const Primitive& part, std::uint8_t label) {
        for (int k = 0; k < hits.count; ++k) {
            const size_t i = run.index[k];
            const float t = hits.t[k];
            const std::uint16_t mm = depthReading(t, nearLimit, farLimit);
            if (out.depthMm) out.depthMm[i] = mm;
            if (out.personIndex) out.personIndex[i] = label;
            if (out.depthWithPlayer) {
                const unsigned player = label == kNoPerson ? 0u : label + 1u;
                out.depthWithPlayer[i] = static_cast<std::uint16_t>(mm << 3 | player);
            }
            if (wantsInfrared) {
                const Vec3 ray{hits.x[k], hits.y[k], 1.0f};
                const Vec3 point = ray * t;
                const float dd = dot(ray, ray);
                const float cosine = -dot(normalAt(part, point), ray) / std::sqrt(dd);
                std::uint16_t shortExposure, longExposure;
                infraredOf(infraredAlbedoOf(part.albedo), cosine, t * t * dd, shortExposure, longExposure);
                if (out.infrared) out.infrared[i] = shortExposure;
                if (out.longExposureInfrared) out.longExposureInfrared[i] = longExposure;
            }
        }
    };
    drawPeople(shapes, count, writer);
}

void View::renderColorYuy2(const BodyShape* shapes, int count, std::uint8_t* yuy2) {
    if (roomYuy2_.empty()) return;
    beginFrame();
    std::memcpy(yuy2, roomYuy2_.data(), roomYuy2_.size());
    const Vec3 light = lightInCamera_;
    const ShadeRows& shade = shadeRows();
    auto writer = [yuy2, light, &shade](PixelRun& run, const RayHits& hits, const Primitive& part, std::uint8_t) {
        shade.lambert(part, light, hits, run.lambert.data());
        shade.bgra(part.albedo, run.lambert.data(), hits.count, run.bgra.data());
        shade.yuv(run.bgra.data(), hits.count, run.luma.data(), run.u.data(), run.v.data());
        for (int k = 0; k < hits.count; ++k) {
            const size_t i = run.index[k];
            std::uint8_t* pair = yuy2 + 4 * (i / 2);
            pair[2 * (i % 2)] = run.luma[k];
            pair[1] = run.u[k];
            pair[3] = run.v[k];
        }
    };
    drawPeople(shapes, count, writer);
}

void View::renderColor(const BodyShape* shapes, int count, std::uint8_t* bgra) {
    beginFrame();
    std::memcpy(bgra, roomColor_.data(), roomColor_.size() * sizeof(std::uint32_t));
    const Vec3 light = lightInCamera_;
    const ShadeRows& shade = shadeRows();
    auto writer = [bgra, light, &shade](PixelRun& run, const RayHits& hits, const Primitive& part, std::uint8_t) {
        shade.lambert(part, light, hits, run.lambert.data());
        shade.bgra(part.albedo, run.lambert.data(), hits.count, run.bgra.data());
        for (int k = 0; k < hits.count; ++k) std::memcpy(bgra + 4 * run.index[k], &run.bgra[k], sizeof run.bgra[k]);
    };
    drawPeople(shapes, count, writer);
}

}  // namespace plexa::scene
