// Several first-generation rigs filming one room: where the default sensors
// stand, that a room point seen by two of them maps to the same world point,
// and that a shared moment, rendered from several threads, films what its
// snapshot films.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <set>
#include <thread>

#include "frames.h"
#include "plexa/scene/moment.h"
#include "plexa/scene/pose.h"

namespace plexa::scene {
namespace {

using testing::distance;
using testing::sameBodies;

using R = Rig1::Resolution;
constexpr R kVga = R::R640x480;

// The world point a rig measures where it sees `world`: the pixel it projects
// to, that pixel's depth, the camera-space XYZ of both, through the rig's pose.
Vec3 measured(const Rig1& rig, const testing::DepthFrame& frame, Vec3 world) {
    const RigPose& pose = rig.pose();
    const Vec3 camera = pose.toCamera(world);
    const ImagePoint at = Rig1::projectToDepth(kVga, camera);
    const int col = static_cast<int>(std::lround(at.x)), row = static_cast<int>(std::lround(at.y));
    if (!frame.inside(col, row)) return {1e9f, 1e9f, 1e9f};
    const CameraPoint p = Rig1::depthToCamera(kVga, col, row, frame.depthMm[frame.at(col, row)]);
    return pose.toWorld({p.x, p.y, p.z});
}

TEST(MultiRig, DefaultSensorsStandApartInsideTheRoomAndEachSeesThePeople) {
    const RigPose first = Rig1::defaultPose(0);
    EXPECT_EQ(first.x, 0.0f);
    EXPECT_EQ(first.z, 0.0f);
    EXPECT_EQ(first.height, 0.9f);
    EXPECT_EQ(first.headingDegrees, 0.0f);
    EXPECT_EQ(first.tiltDegrees, 0.0f);
    EXPECT_EQ(Rig1::defaultPose(Rig1::kDefaultPoses).height, first.height);  // out of range: sensor 0's
    EXPECT_EQ(Rig1::defaultPose(-1).height, first.height);

    const Scene scene(7);
    std::set<float> heights, tilts;
    for (int i = 0; i < Rig1::kDefaultPoses; ++i) {
        const RigPose pose = Rig1::defaultPose(i);
        heights.insert(pose.height);
        tilts.insert(pose.tiltDegrees);
        EXPECT_LT(std::fabs(pose.x), 2.15f) << i;
        EXPECT_LT(pose.z, 3.0f) << i;
        EXPECT_GE(pose.tiltDegrees, Rig1::kMinTilt);
        EXPECT_LE(pose.tiltDegrees, Rig1::kMaxTilt);
        Rig1 rig(pose);
        // Looking at the middle: the centre pixel sees the room well beyond the near limit.
        const testing::DepthFrame empty = testing::renderDepth(rig, Snapshot{}, kVga);
        EXPECT_GT(empty.depthMm[empty.at(320, 240)], 1500) << i;
        // Gravity follows the tilt and not the heading; the camera-space round trip is the identity.
        const float t = pose.tiltDegrees * 3.14159265f / 180.0f;
        const Vec4 g = rig.accelerometer(), plane = rig.floorClipPlane();
        EXPECT_NEAR(g.x, 0.0f, 1e-6f);
        EXPECT_NEAR(g.y, -std::cos(t), 1e-6f);
        EXPECT_NEAR(g.z, -std::sin(t), 1e-6f);
        EXPECT_EQ(plane.w, pose.height);
        const Vec3 back = pose.toWorld(pose.toCamera({0.3f, 1.2f, 2.5f}));
        EXPECT_LT(distance(back, {0.3f, 1.2f, 2.5f}), 1e-5f);
        // Over the scene's first minute, every sensor tracks someone most of the time.
        int framesWithSomeone = 0, samples = 0;
        for (double seconds = 0.5; seconds < 60.0; seconds += 2.5, ++samples) {
            const Moment moment(scene, seconds);
            const BodyFrame bodies = rig.bodies(moment);
            const testing::DepthFrame f = testing::renderDepth(rig, moment.snapshot(), kVga);
            const bool tracked =
                std::any_of(bodies.bodies.begin(), bodies.bodies.end(), [](const Body& b) { return b.tracked; });
            const bool player = std::any_of(f.depthWithPlayer.begin(), f.depthWithPlayer.end(),
                                            [](std::uint16_t v) { return (v & 7) != 0; });
            EXPECT_EQ(tracked, player) << "sensor " << i << " at " << seconds;
            framesWithSomeone += tracked ? 1 : 0;
        }
        EXPECT_GT(framesWithSomeone, samples * 3 / 4) << "sensor " << i;
    }
    EXPECT_EQ(heights.size(), static_cast<size_t>(Rig1::kDefaultPoses));
    EXPECT_GE(tilts.size(), static_cast<size_t>(Rig1::kDefaultPoses - 1));
}

TEST(MultiRig, APointSeenByTwoSensorsMapsToOneRoomPointWithinACentimetre) {
    const Scene scene(7);
    const Moment moment(scene, 12.0);
    struct Pair {
        int a, b;
    };
    for (const Pair pair : {Pair{0, 1}, Pair{2, 3}, Pair{4, 7}, Pair{5, 9}, Pair{6, 8}}) {
        Rig1 a(Rig1::defaultPose(pair.a)), b(Rig1::defaultPose(pair.b));
        const testing::DepthFrame fa = testing::renderDepth(a, moment.snapshot(), kVga);
        const testing::DepthFrame fb = testing::renderDepth(b, moment.snapshot(), kVga);
        // Points of the back wall that both see (not hidden by a person or
        // furniture: the depth each reads there is the point's own, give or take
        // 5 cm) map back to the point within a centimetre, through each pose. (The
        // floor far off is seen too slantwise for a centimetre: a pixel spans more.)
        int seenByBoth = 0;
        for (float x = -1.8f; x <= 1.8f; x += 0.3f)
            for (const Vec3 point :
                 {Vec3{x, 0.6f, 4.0f}, Vec3{x, 1.2f, 4.0f}, Vec3{x, 1.8f, 4.0f}, Vec3{x, 2.4f, 4.0f}}) {
                const Vec3 ma = measured(a, fa, point), mb = measured(b, fb, point);
                if (distance(ma, point) > 0.05f || distance(mb, point) > 0.05f) continue;
                ++seenByBoth;
                EXPECT_LT(distance(ma, point), 0.01f)
                    << pair.a << " at " << point.x << ", " << point.y << ", " << point.z;
                EXPECT_LT(distance(mb, point), 0.01f)
                    << pair.b << " at " << point.x << ", " << point.y << ", " << point.z;
                EXPECT_LT(distance(ma, mb), 0.02f);  // each within a centimetre of the point
            }
        EXPECT_GE(seenByBoth, 12) << pair.a << " and " << pair.b;
        // Each joint both track lies at one room point, the person's own joint.
        const BodyFrame ba = a.bodies(moment), bb = b.bodies(moment);
        int shared = 0;
        for (int p = 0; p < moment.snapshot().personCount; ++p) {
            const Person& person = moment.snapshot().people[p];
            const Body &x = ba.bodies[person.slot], &y = bb.bodies[person.slot];
            if (!x.tracked || !y.tracked) continue;
            for (int j = 0; j < kJointCount; ++j) {
                const Vec3 wa = a.pose().toWorld(x.joints[j].position), wb = b.pose().toWorld(y.joints[j].position);
                EXPECT_LT(distance(wa, person.joints[j]), 1e-4f);
                EXPECT_LT(distance(wa, wb), 1e-4f);
                ++shared;
            }
        }
        EXPECT_GT(shared, 0) << pair.a << " and " << pair.b << " track nobody in common";
    }
}

// Each of four threads films its own sensor from the moments one cache hands
// out; every image and skeleton equals a fresh rig's render of the snapshot.
TEST(MultiRig, SharedMomentsFilmWhatTheirSnapshotsFilmFromEveryThread) {
    const Scene scene(7);
    constexpr int kSensors = 4;
    const std::vector<double> times = testing::sampleTimes(6, 2.9);
    // Keeps every time, however far apart the threads run.
    MomentCache cache(scene, times.size());
    struct Result {
        std::vector<const Moment*> moments;
        std::vector<testing::DepthFrame> depth;
        std::vector<testing::ColorFrame> color;
        std::vector<BodyFrame> bodies;
    };
    std::vector<Result> results(kSensors);
    std::vector<std::thread> threads;
    std::vector<std::shared_ptr<const Moment>> keepAlive(times.size());
    std::mutex keepMutex;
    for (int s = 0; s < kSensors; ++s)
        threads.emplace_back([&, s] {
            Rig1 rig(Rig1::defaultPose(s));
            for (size_t k = 0; k < times.size(); ++k) {
                const std::shared_ptr<const Moment> moment = cache.at(times[k]);
                {
                    std::lock_guard<std::mutex> lock(keepMutex);
                    keepAlive[k] = moment;
                }
                testing::DepthFrame d(640, 480);
                rig.renderDepth(*moment, kVga, d.images());
                testing::ColorFrame c(640, 480);
                rig.renderColor(*moment, kVga, c.bgra.data());
                results[s].moments.push_back(moment.get());
                results[s].depth.push_back(std::move(d));
                results[s].color.push_back(std::move(c));
                results[s].bodies.push_back(rig.bodies(*moment));
            }
        });
    for (std::thread& t : threads)
        t.join();
    for (int s = 0; s < kSensors; ++s) {
        Rig1 fresh(Rig1::defaultPose(s));
        for (size_t k = 0; k < times.size(); ++k) {
            EXPECT_EQ(results[s].moments[k], results[0].moments[k]) << "one moment per time";
            EXPECT_EQ(results[s].moments[k]->seconds(), times[k]);
            const Snapshot snapshot = scene.at(times[k]);
            const testing::DepthFrame d = testing::renderDepth(fresh, snapshot, kVga);
            EXPECT_EQ(results[s].depth[k].depthWithPlayer, d.depthWithPlayer) << s << " at " << times[k];
            EXPECT_EQ(results[s].depth[k].depthMm, d.depthMm);
            EXPECT_EQ(results[s].depth[k].infrared, d.infrared);
            EXPECT_EQ(results[s].color[k].bgra, testing::renderColor(fresh, snapshot, kVga).bgra);
            EXPECT_TRUE(sameBodies(results[s].bodies[k], fresh.bodies(snapshot)));
        }
    }
    // Times the cache cannot use share the moment of time 0; older moments make way for new ones.
    EXPECT_EQ(cache.at(NAN), cache.at(INFINITY));
    EXPECT_EQ(cache.at(NAN)->seconds(), 0.0);
    const std::shared_ptr<const Moment> early = cache.at(1.0);
    for (double t = 2.0; t < 2.0 + static_cast<double>(times.size()); t += 1.0)
        cache.at(t);
    EXPECT_NE(cache.at(1.0), early);
    EXPECT_EQ(early->seconds(), 1.0) << "a moment someone holds stays as it was";
    EXPECT_TRUE(sameBodies(Rig1().bodies(*early), Rig1().bodies(*cache.at(1.0))));
}

}  // namespace
}  // namespace plexa::scene
