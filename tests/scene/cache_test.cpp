// What a rig keeps between frames (the room's image per camera pose, the ray and
// mapping tables) never shows: a rig that has filmed other frames, at other
// tilts, gives the same bytes as a fresh one; the whole-frame mappings give the
// same values as the one-pixel formulas; the outline that limits a body
// part's hit tests holds every pixel the part covers; and the hit runs give the
// one-ray tests' distances bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "body_shape.h"
#include "frames.h"
#include "hit_rows.h"
#include "part_outline.h"
#include "shade_rows.h"
#include "yuv.h"

namespace plexa::scene {
namespace {

using R = Rig1::Resolution;

TEST(SceneCache, UsedRigsFilmWhatFreshRigsFilmAcrossFramesAndTiltChanges) {
    const Scene scene(5);
    Rig1 used;
    Rig2 usedTwo;
    struct Step {
        double seconds;
        float tilt;
        R resolution;
    };
    const Step steps[] = {{2.0, 0, R::R640x480},   {9.5, 0, R::R640x480},    {9.5, 12, R::R320x240},
                          {14.0, 12, R::R640x480}, {20.0, -20, R::R640x480}, {26.0, 0, R::R80x60}};
    for (const Step& step : steps) {
        const Snapshot s = scene.at(step.seconds);
        used.setTilt(step.tilt);
        Rig1 fresh(0.9f, step.tilt);
        const auto a = testing::renderDepth(used, s, step.resolution),
                   b = testing::renderDepth(fresh, s, step.resolution);
        EXPECT_EQ(a.depthWithPlayer, b.depthWithPlayer) << step.seconds;
        EXPECT_EQ(a.infrared, b.infrared) << step.seconds;
        EXPECT_EQ(a.personIndex, b.personIndex) << step.seconds;
        EXPECT_EQ(testing::renderColor(used, s, step.resolution).bgra,
                  testing::renderColor(fresh, s, step.resolution).bgra)
            << step.seconds;
        Rig2 freshTwo;
        EXPECT_EQ(testing::renderDepth(usedTwo, s).depthMm, testing::renderDepth(freshTwo, s).depthMm);
        std::vector<std::uint8_t> rawUsed(2 * Rig2::kColorWidth * Rig2::kColorHeight), rawFresh(rawUsed.size());
        usedTwo.renderColorYuy2(s, rawUsed.data());
        freshTwo.renderColorYuy2(s, rawFresh.data());
        EXPECT_EQ(rawUsed, rawFresh) << step.seconds;
    }
}

// Every depth value 0..8191 (with player bits) at every column, on every row in turn.
TEST(SceneCache, FirstGenerationFrameMappingIsTheOnePixelFormulaForEveryDepthAndColumn) {
    const int w = 640, h = 480;
    std::vector<std::uint16_t> samples(static_cast<size_t>(w) * h);
    std::vector<ColorPixel> mapped(samples.size());
    for (int first = 0; first < 8192; first += h) {
        for (int k = 0; k < w * h; ++k)
            samples[k] = static_cast<std::uint16_t>(((first + k / w) % 8192) << 3 | (k % 8));
        for (R color : {R::R80x60, R::R320x240, R::R640x480, R::R1280x960}) {
            ASSERT_EQ(Rig1::mapDepthFrameToColor(R::R640x480, samples.data(), samples.size(), color, mapped.data()),
                      samples.size());
            for (int k = 0; k < w * h; ++k) {
                const ColorPixel one = Rig1::depthToColor(R::R640x480, k % w, k / w, samples[k] >> 3, color);
                ASSERT_TRUE(one.x == mapped[k].x && one.y == mapped[k].y)
                    << "pixel " << k << " value " << (samples[k] >> 3);
            }
        }
    }
}

TEST(SceneCache, SecondGenerationFrameMappingsAreTheOnePixelFormulasForEveryDepthAndColumn) {
    const Rig2 rig;
    std::vector<std::uint16_t> depth(Rig2::kDepthPixels);
    std::vector<CameraPoint> camera(depth.size());
    std::vector<ImagePoint> color(depth.size());
    for (int first = 0; first < 8192 + 2 * Rig2::kDepthHeight; first += Rig2::kDepthHeight) {
        // Past 8191, the largest values a sample can hold.
        for (int k = 0; k < Rig2::kDepthPixels; ++k) {
            const int v = first + k / Rig2::kDepthWidth;
            depth[k] = static_cast<std::uint16_t>(v < 8192 ? v : 65535 - (v - 8192));
        }
        ASSERT_EQ(rig.mapDepthFrameToCamera(depth.data(), depth.size(), camera.data()), depth.size());
        ASSERT_EQ(rig.mapDepthFrameToColor(depth.data(), depth.size(), color.data()), depth.size());
        for (int k = 0; k < Rig2::kDepthPixels; ++k) {
            const int col = k % Rig2::kDepthWidth, row = k / Rig2::kDepthWidth;
            const CameraPoint p = rig.depthToCamera(col, row, depth[k]);
            const ImagePoint q = rig.depthToColor(col, row, depth[k]);
            ASSERT_EQ(std::memcmp(&p, &camera[k], sizeof p), 0) << "pixel " << k << " value " << depth[k];
            ASSERT_EQ(std::memcmp(&q, &color[k], sizeof q), 0) << "pixel " << k << " value " << depth[k];
        }
    }
}

TEST(SceneCache, PartOutlinesHoldEveryPixelTheirPartCovers) {
    Lens lens;  // the first generation's color camera at 640 x 480, without distortion
    lens.width = 640;
    lens.height = 480;
    lens.fx = lens.fy = 640.0f * 265.0f / 320.0f;
    lens.cx = 319.5f;
    lens.cy = 239.5f;
    const Scene scene(11);
    long covered = 0;
    for (double t : testing::sampleTimes(12, 5.3)) {
        const Snapshot s = scene.at(t);
        for (int p = 0; p < s.personCount; ++p) {
            const BodyShape shape = shapeInCamera(s.people[p], tiltedPlacement({0, 0.9f, 0}, 0.0f));
            for (const Primitive& part : shape.parts) {
                const PixelRect all{0, lens.width, 0, lens.height};
                const PartOutline outline(part, lens, all);
                for (int row = 0; row < lens.height; ++row) {
                    float x, y, unused;  // the rays of the pixels, as the renderer has them
                    lens.unproject(lens.cx, static_cast<float>(row), unused, y);
                    const ColumnSpan span = outline.columns(y);
                    for (int col = 0; col < lens.width; ++col) {
                        lens.unproject(static_cast<float>(col), lens.cy, x, unused);
                        const float hit = intersect(part, x, y);
                        if (!(hit > 0) || std::isinf(hit)) continue;
                        ++covered;
                        ASSERT_TRUE(col >= span.begin && col < span.end)
                            << "t " << t << " row " << row << " col " << col;
                    }
                }
            }
        }
    }
    EXPECT_GT(covered, 10000);
}

// Every instruction set's runs, along shared-y rows and along per-ray tables,
// against the one-ray tests, for the parts of people and for a capsule whose
// axis one ray runs along (which the runs hand to the one-ray test); and the
// shading of the hits against the one-pixel shading.
TEST(SceneCache, HitAndShadingRunsGiveTheOnePixelResultsBitForBit) {
    std::vector<const HitRows*> variants{&portable::kHitRows};
    if (&hitRows() != &portable::kHitRows) variants.push_back(&hitRows());
    std::vector<const ShadeRows*> shadings{&portable::kShadeRows};
    if (&shadeRows() != &portable::kShadeRows) shadings.push_back(&shadeRows());
    const Vec3 light = normalized(Vec3{0.3f, -0.8f, -0.5f});
    std::vector<Primitive> parts;
    const Scene scene(5);
    for (double t : testing::sampleTimes(4, 7.1)) {
        const Snapshot s = scene.at(t);
        for (int p = 0; p < s.personCount; ++p) {
            const BodyShape shape = shapeInCamera(s.people[p], tiltedPlacement({0, 0.9f, 0}, 0.0f));
            parts.insert(parts.end(), shape.parts.begin(), shape.parts.end());
        }
    }
    Primitive alongAxis;  // a capsule from z 2 to 3 on the optical axis
    alongAxis.inverseRadius = 10.0f;
    alongAxis.inverseAxisSquared = 1.0f;
    alongAxis.kind = Primitive::Kind::Capsule;
    alongAxis.a = {0, 0, 2};
    alongAxis.b = {0, 0, 3};
    alongAxis.radius = 0.1f;
    parts.push_back(alongAxis);
    Primitive ball = alongAxis;  // and a sphere, which people do not have
    ball.kind = Primitive::Kind::Sphere;
    ball.radius = 0.4f;
    ball.inverseRadius = 1.0f / ball.radius;
    parts.push_back(ball);

    constexpr int kRays = 101;  // rays from -0.5 to 0.5 in x, the middle one (0, y) exactly
    std::vector<float> xs(kRays), xy(2 * kRays), row(kRays), table(kRays), ys(kRays), lambert(kRays);
    std::vector<std::uint32_t> bgra(kRays);
    std::vector<std::uint8_t> luma(kRays), u(kRays), v(kRays);
    long hits = 0;
    for (float y : {-0.3f, -0.05f, 0.0f, 0.2f}) {
        for (int k = 0; k < kRays; ++k) {
            xs[k] = xy[2 * k] = (k - kRays / 2) / 100.0f;
            xy[2 * k + 1] = y + xs[k] / 7;
            ys[k] = y;
        }
        for (const Primitive& part : parts) {
            auto check = [&](const auto& hit) {
                for (const HitRows* variant : variants) {
                    std::fill(row.begin(), row.end(), -1.0f);
                    std::fill(table.begin(), table.end(), -1.0f);
                    hitRow(hit, xs.data(), y, kRays, row.data(), *variant);
                    hitRow(hit, xy.data(), kRays, table.data(), *variant);
                    for (int k = 0; k < kRays; ++k) {
                        const float one = hit(xs[k], y), oneOfTable = hit(xy[2 * k], xy[2 * k + 1]);
                        hits += one < kMissed;
                        ASSERT_EQ(std::memcmp(&one, &row[k], sizeof one), 0) << "ray " << k << " y " << y;
                        ASSERT_EQ(std::memcmp(&oneOfTable, &table[k], sizeof one), 0) << "ray " << k << " y " << y;
                    }
                }
                for (const ShadeRows* shading : shadings) {
                    shading->lambert(part, light, RayHits{xs.data(), ys.data(), row.data(), kRays}, lambert.data());
                    shading->bgra(part.albedo, lambert.data(), kRays, bgra.data());
                    shading->yuv(bgra.data(), kRays, luma.data(), u.data(), v.data());
                    for (int k = 0; k < kRays; ++k) {
                        if (!(row[k] < kMissed)) continue;
                        const float oneLambert = dot(normalAt(part, Vec3{xs[k], y, 1.0f} * row[k]), light);
                        ASSERT_EQ(std::memcmp(&oneLambert, &lambert[k], sizeof oneLambert), 0) << "ray " << k;
                        const std::uint32_t one = shadeBgra(part.albedo, oneLambert);
                        const int b = one & 0xFF, g = one >> 8 & 0xFF, r = one >> 16 & 0xFF;
                        ASSERT_EQ(bgra[k], one) << "ray " << k << " y " << y;
                        ASSERT_EQ(luma[k], yuv::luma(r, g, b));
                        ASSERT_EQ(u[k], yuv::chromaU(2 * r, 2 * g, 2 * b));
                        ASSERT_EQ(v[k], yuv::chromaV(2 * r, 2 * g, 2 * b));
                    }
                }
            };
            switch (part.kind) {
                case Primitive::Kind::Sphere: check(SphereHit(part)); break;
                case Primitive::Kind::Capsule: check(CapsuleHit(part)); break;
                case Primitive::Kind::Ellipsoid: check(EllipsoidHit(part)); break;
            }
        }
    }
    EXPECT_GT(hits, 100);
}

}  // namespace
}  // namespace plexa::scene
