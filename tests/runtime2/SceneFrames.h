// Whole frames read back from the runtime, and the same moment of the scene
// filmed by the test itself through a rig at the sensor's pose, so a test can
// hold what the runtime delivered against what the scene shows.
#pragma once

#include "LiveScene.h"
#include "RuntimeFixture.h"

#include "plexa/scene/rig2.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace rt2scene {

namespace scene = plexa::scene;

struct SensorBody {
    bool tracked = false;
    std::array<Joint, JointType_Count> joints{};
    std::array<JointOrientation, JointType_Count> orientations{};
};

// What one multi-source frame held; a source the frame lacks stays empty.
struct FrameImages {
    std::vector<TIMESPAN> times;  // relative time of each source read
    std::vector<std::uint16_t> depth, infrared, longExposureInfrared;
    std::vector<std::uint8_t> bodyIndex, rawColor;
    bool hasBodies = false;
    std::array<SensorBody, BODY_COUNT> bodies{};
    Vector4 floorClipPlane{};
};

namespace detail {

template <class Reference, class Frame, class Pixel>
void readImage(Reference* reference, std::vector<TIMESPAN>& times, std::vector<Pixel>& pixels) {
    Ref<Frame> image;
    ASSERT_EQ(reference->AcquireFrame(image.out()), S_OK);
    TIMESPAN time = -1;
    ASSERT_EQ(image->get_RelativeTime(&time), S_OK);
    times.push_back(time);
    UINT capacity = 0;
    Pixel* data = nullptr;
    ASSERT_EQ(image->AccessUnderlyingBuffer(&capacity, &data), S_OK);
    pixels.assign(data, data + capacity);
}

}  // namespace detail

// Reads the sources in `sources` from `frame`.
inline void readFrame(IMultiSourceFrame* frame, DWORD sources, FrameImages& out) {
    if (sources & FrameSourceTypes_Depth) {
        Ref<IDepthFrameReference> reference;
        ASSERT_EQ(frame->get_DepthFrameReference(reference.out()), S_OK);
        detail::readImage<IDepthFrameReference, IDepthFrame>(reference.get(), out.times, out.depth);
    }
    if (sources & FrameSourceTypes_BodyIndex) {
        Ref<IBodyIndexFrameReference> reference;
        ASSERT_EQ(frame->get_BodyIndexFrameReference(reference.out()), S_OK);
        detail::readImage<IBodyIndexFrameReference, IBodyIndexFrame>(reference.get(), out.times, out.bodyIndex);
    }
    if (sources & FrameSourceTypes_Infrared) {
        Ref<IInfraredFrameReference> reference;
        ASSERT_EQ(frame->get_InfraredFrameReference(reference.out()), S_OK);
        detail::readImage<IInfraredFrameReference, IInfraredFrame>(reference.get(), out.times, out.infrared);
    }
    if (sources & FrameSourceTypes_LongExposureInfrared) {
        Ref<ILongExposureInfraredFrameReference> reference;
        ASSERT_EQ(frame->get_LongExposureInfraredFrameReference(reference.out()), S_OK);
        detail::readImage<ILongExposureInfraredFrameReference, ILongExposureInfraredFrame>(
            reference.get(), out.times, out.longExposureInfrared);
    }
    if (sources & FrameSourceTypes_Color) {
        Ref<IColorFrameReference> reference;
        Ref<IColorFrame> color;
        ASSERT_EQ(frame->get_ColorFrameReference(reference.out()), S_OK);
        ASSERT_EQ(reference->AcquireFrame(color.out()), S_OK);
        TIMESPAN time = -1;
        ASSERT_EQ(color->get_RelativeTime(&time), S_OK);
        out.times.push_back(time);
        ColorImageFormat format = ColorImageFormat_None;
        ASSERT_EQ(color->get_RawColorImageFormat(&format), S_OK);
        ASSERT_EQ(format, ColorImageFormat_Yuy2);
        UINT capacity = 0;
        BYTE* raw = nullptr;
        ASSERT_EQ(color->AccessRawUnderlyingBuffer(&capacity, &raw), S_OK);
        out.rawColor.assign(raw, raw + capacity);
    }
    if (sources & FrameSourceTypes_Body) {
        Ref<IBodyFrameReference> reference;
        Ref<IBodyFrame> bodyFrame;
        ASSERT_EQ(frame->get_BodyFrameReference(reference.out()), S_OK);
        ASSERT_EQ(reference->AcquireFrame(bodyFrame.out()), S_OK);
        TIMESPAN time = -1;
        ASSERT_EQ(bodyFrame->get_RelativeTime(&time), S_OK);
        out.times.push_back(time);
        ASSERT_EQ(bodyFrame->get_FloorClipPlane(&out.floorClipPlane), S_OK);
        IBody* bodies[BODY_COUNT] = {};
        ASSERT_EQ(bodyFrame->GetAndRefreshBodyData(BODY_COUNT, bodies), S_OK);
        for (int slot = 0; slot < BODY_COUNT; ++slot) {
            BOOLEAN tracked = 0;
            SensorBody& body = out.bodies[slot];
            EXPECT_EQ(bodies[slot]->get_IsTracked(&tracked), S_OK);
            EXPECT_EQ(bodies[slot]->GetJoints(JointType_Count, body.joints.data()), S_OK);
            EXPECT_EQ(bodies[slot]->GetJointOrientations(JointType_Count, body.orientations.data()), S_OK);
            body.tracked = tracked != 0;
            bodies[slot]->Release();
        }
        out.hasBodies = true;
    }
}

// The scene of live mode at a frame's relative time, every source filmed.
inline FrameImages filmScene(TIMESPAN time) {
    FrameImages film;
    film.times.push_back(time);
    const scene::Snapshot snapshot = scene::Scene(plexa::virtual2::kLiveSceneSeed).at(plexa::virtual2::sceneSeconds(time));
    scene::Rig2 rig = plexa::virtual2::makeSensorRig();
    constexpr std::size_t kPixels = scene::Rig2::kDepthPixels;
    film.depth.resize(kPixels);
    film.bodyIndex.resize(kPixels);
    film.infrared.resize(kPixels);
    film.longExposureInfrared.resize(kPixels);
    rig.renderDepth(snapshot, scene::DepthImages{film.depth.data(), film.bodyIndex.data(), nullptr, film.infrared.data(),
                                                 film.longExposureInfrared.data()});
    film.rawColor.resize(static_cast<std::size_t>(scene::Rig2::kColorWidth) * scene::Rig2::kColorHeight * 2);
    rig.renderColorYuy2(snapshot, film.rawColor.data());
    const scene::BodyFrame bodies = rig.bodies(snapshot);
    film.floorClipPlane = Vector4{bodies.floorClipPlane.x, bodies.floorClipPlane.y, bodies.floorClipPlane.z,
                                  bodies.floorClipPlane.w};
    for (int slot = 0; slot < BODY_COUNT; ++slot) {
        const scene::Body& source = bodies.bodies[slot];
        SensorBody& body = film.bodies[slot];
        body.tracked = source.tracked;
        for (int j = 0; j < JointType_Count; ++j) {
            const scene::BodyJoint& joint = source.joints[j];
            const auto type = static_cast<JointType>(j);
            body.joints[j] = Joint{type, CameraSpacePoint{joint.position.x, joint.position.y, joint.position.z},
                                   static_cast<TrackingState>(joint.state)};
            body.orientations[j] = JointOrientation{
                type, Vector4{joint.orientation.x, joint.orientation.y, joint.orientation.z, joint.orientation.w}};
        }
    }
    film.hasBodies = true;
    return film;
}

// Equal images, or where they first differ.
template <class Pixel>
::testing::AssertionResult sameImage(const std::vector<Pixel>& delivered, const std::vector<Pixel>& filmed) {
    if (delivered.size() != filmed.size()) {
        return ::testing::AssertionFailure() << delivered.size() << " pixels delivered, " << filmed.size() << " filmed";
    }
    const auto differ = std::mismatch(delivered.begin(), delivered.end(), filmed.begin());
    if (differ.first == delivered.end()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "first difference at element " << (differ.first - delivered.begin())
                                         << ": " << +*differ.first << " delivered, " << +*differ.second << " filmed";
}

// Equal body slots, joint by joint, and the same floor.
inline ::testing::AssertionResult sameBodies(const FrameImages& delivered, const FrameImages& filmed) {
    if (std::memcmp(&delivered.floorClipPlane, &filmed.floorClipPlane, sizeof(Vector4)) != 0) {
        return ::testing::AssertionFailure() << "floor clip planes differ";
    }
    for (int slot = 0; slot < BODY_COUNT; ++slot) {
        const SensorBody& a = delivered.bodies[slot];
        const SensorBody& b = filmed.bodies[slot];
        if (a.tracked != b.tracked) return ::testing::AssertionFailure() << "slot " << slot << " tracked differs";
        for (int j = 0; j < JointType_Count; ++j) {
            if (std::memcmp(&a.joints[j], &b.joints[j], sizeof(Joint)) != 0 ||
                std::memcmp(&a.orientations[j], &b.orientations[j], sizeof(JointOrientation)) != 0) {
                return ::testing::AssertionFailure() << "slot " << slot << " joint " << j << " differs";
            }
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace rt2scene
