// Frames, their descriptions and the body data of scripted frames.
#include "RuntimeFixture.h"
#include "SceneFrames.h"

#include <cmath>

namespace {

class FramesTest : public RuntimeTest {
protected:
    // The one frame of a reader over `sources` after queueing `scripted`.
    void take(DWORD sources, rt2::ScriptedFrame scripted, Ref<IMultiSourceFrame>& frame) {
        if (!reader_) openReader(sources, reader_);
        rt2::queueFrame(std::move(scripted));
        ASSERT_EQ(reader_->AcquireLatestFrame(frame.out()), S_OK);
    }

    void TearDown() override {
        reader_.reset();
        RuntimeTest::TearDown();
    }

    Ref<IMultiSourceFrameReader> reader_;
};

struct Described {
    int width = -1, height = -1;
    float horizontal = 0, vertical = 0, diagonal = 0;
    UINT length = 0, bytesPerPixel = 0;
};

template <class Frame>
Described describe(Frame* frame) {
    Ref<IFrameDescription> description;
    Described d;
    EXPECT_EQ(frame->get_FrameDescription(description.out()), S_OK);
    if (!description) return d;
    description->get_Width(&d.width);
    description->get_Height(&d.height);
    description->get_HorizontalFieldOfView(&d.horizontal);
    description->get_VerticalFieldOfView(&d.vertical);
    description->get_DiagonalFieldOfView(&d.diagonal);
    description->get_LengthInPixels(&d.length);
    description->get_BytesPerPixel(&d.bytesPerPixel);
    return d;
}

constexpr double kPi = 3.14159265358979;

double tanHalf(float degrees) { return std::tan(degrees * kPi / 360.0); }

void expectPlausibleView(const Described& d) {
    EXPECT_GT(d.horizontal, 0.0f);
    EXPECT_GT(d.vertical, 0.0f);
    EXPECT_GT(d.diagonal, std::max(d.horizontal, d.vertical));
    EXPECT_LT(d.diagonal, 180.0f);
}

// Degrees between the rays that the mapper gives two depth pixels.
double degreesBetweenPixels(ICoordinateMapper* mapper, int column0, int row0, int column1, int row1) {
    std::vector<UINT16> depth(512 * 424, 0);
    depth[row0 * 512 + column0] = 2000;
    depth[row1 * 512 + column1] = 2000;
    std::vector<CameraSpacePoint> points(depth.size());
    EXPECT_EQ(mapper->MapDepthFrameToCameraSpace(static_cast<UINT>(depth.size()), depth.data(),
                                                 static_cast<UINT>(points.size()), points.data()),
              S_OK);
    const CameraSpacePoint a = points[row0 * 512 + column0], b = points[row1 * 512 + column1];
    const double crossX = a.Y * b.Z - a.Z * b.Y, crossY = a.Z * b.X - a.X * b.Z, crossZ = a.X * b.Y - a.Y * b.X;
    const double dot = a.X * b.X + a.Y * b.Y + a.Z * b.Z;
    return std::atan2(std::sqrt(crossX * crossX + crossY * crossY + crossZ * crossZ), dot) * 180.0 / kPi;
}

TEST_F(FramesTest, ImageBuffersHoldTheFramesOwnSamplesWithTheirOwnCapacity) {
    rt2::ScriptedFrame scripted;
    scripted.depth = countingImage(4, 2, 500, 5);  // fewer samples than 4 x 2
    scripted.infrared = countingImage(3, 3, 7, 9);
    scripted.bodyIndex = rt2::ScriptedBodyIndexImage{2, 2, {0, 1, 255, 5}};
    Ref<IMultiSourceFrame> frame;
    take(FrameSourceTypes_Depth | FrameSourceTypes_Infrared | FrameSourceTypes_BodyIndex, std::move(scripted), frame);

    Ref<IDepthFrameReference> depthReference;
    Ref<IDepthFrame> depth;
    ASSERT_EQ(frame->get_DepthFrameReference(depthReference.out()), S_OK);
    ASSERT_EQ(depthReference->AcquireFrame(depth.out()), S_OK);
    UINT capacity = 0;
    UINT16* samples = nullptr;
    ASSERT_EQ(depth->AccessUnderlyingBuffer(&capacity, &samples), S_OK);
    ASSERT_EQ(capacity, 5u);
    EXPECT_EQ(samples[0], 500);
    EXPECT_EQ(samples[4], 504);
    const Described depthView = describe(depth.get());
    EXPECT_EQ(depthView.width, 4);
    EXPECT_EQ(depthView.height, 2);
    EXPECT_EQ(depthView.length, 8u);
    EXPECT_EQ(depthView.bytesPerPixel, 2u);
    expectPlausibleView(depthView);

    Ref<IInfraredFrameReference> infraredReference;
    Ref<IInfraredFrame> infrared;
    ASSERT_EQ(frame->get_InfraredFrameReference(infraredReference.out()), S_OK);
    ASSERT_EQ(infraredReference->AcquireFrame(infrared.out()), S_OK);
    ASSERT_EQ(infrared->AccessUnderlyingBuffer(&capacity, &samples), S_OK);
    EXPECT_EQ(capacity, 9u);
    EXPECT_EQ(samples[8], 15);

    Ref<IBodyIndexFrameReference> indexReference;
    Ref<IBodyIndexFrame> bodyIndex;
    ASSERT_EQ(frame->get_BodyIndexFrameReference(indexReference.out()), S_OK);
    ASSERT_EQ(indexReference->AcquireFrame(bodyIndex.out()), S_OK);
    BYTE* bytes = nullptr;
    ASSERT_EQ(bodyIndex->AccessUnderlyingBuffer(&capacity, &bytes), S_OK);
    ASSERT_EQ(capacity, 4u);
    EXPECT_EQ(bytes[3], 5);
    const Described indexView = describe(bodyIndex.get());
    EXPECT_EQ(indexView.bytesPerPixel, 1u);
    EXPECT_EQ(indexView.length, 4u);
}

TEST_F(FramesTest, DescriptionsFollowSizeChangesAndKeepTheCamerasView) {
    Ref<IMultiSourceFrame> frame;
    take(FrameSourceTypes_Depth, rt2::ScriptedFrame{}, frame);
    Ref<IDepthFrameReference> reference;
    Ref<IDepthFrame> depth;
    ASSERT_EQ(frame->get_DepthFrameReference(reference.out()), S_OK);
    ASSERT_EQ(reference->AcquireFrame(depth.out()), S_OK);
    const Described native = describe(depth.get());
    EXPECT_EQ(native.width, 512);
    EXPECT_EQ(native.height, 424);
    EXPECT_EQ(native.length, 512u * 424u);
    expectPlausibleView(native);
    // The view spans the rays the mapper gives the outermost pixels through
    // the principal point, and the half pixel beyond each of them. Half a
    // pixel at each edge is about half the angle gained by stepping out from
    // the next pixels in to the outermost ones.
    Ref<ICoordinateMapper> mapper;
    ASSERT_EQ(sensor_->get_CoordinateMapper(mapper.out()), S_OK);
    const CameraIntrinsics k = rt2::depthIntrinsics();
    const int column = static_cast<int>(std::lround(k.PrincipalPointX));
    const int row = static_cast<int>(std::lround(k.PrincipalPointY));
    auto expectSpan = [&](float view, int column0, int row0, int column1, int row1, int stepColumn, int stepRow) {
        const double outermost = degreesBetweenPixels(mapper.get(), column0, row0, column1, row1);
        const double inner = degreesBetweenPixels(mapper.get(), column0 + stepColumn, row0 + stepRow,
                                                  column1 - stepColumn, row1 - stepRow);
        const double halfPixels = (outermost - inner) / 2;
        EXPECT_NEAR(view, outermost + halfPixels, halfPixels / 10)
            << "from " << column0 << "," << row0 << " to " << column1 << "," << row1;
    };
    expectSpan(native.horizontal, 0, row, 511, row, 1, 0);
    expectSpan(native.vertical, column, 0, column, 423, 0, 1);
    expectSpan(native.diagonal, 0, 0, 511, 423, 1, 1);

    rt2::ScriptedFrame smaller;
    smaller.depth = countingImage(256, 212, 0, 256 * 212);
    take(FrameSourceTypes_Depth, std::move(smaller), frame);
    ASSERT_EQ(frame->get_DepthFrameReference(reference.out()), S_OK);
    ASSERT_EQ(reference->AcquireFrame(depth.out()), S_OK);
    const Described scaled = describe(depth.get());
    EXPECT_EQ(scaled.width, 256);
    EXPECT_EQ(scaled.height, 212);
    EXPECT_EQ(scaled.length, 256u * 212u);
    EXPECT_FLOAT_EQ(scaled.horizontal, native.horizontal);
}

TEST_F(FramesTest, ColorDescriptionTellsTheRawFormatsPixelSize) {
    rt2::ScriptedFrame scripted;
    scripted.color = rt2::ScriptedColorImage{640, 360, ColorImageFormat_Yuy2, std::vector<std::uint8_t>(640 * 360 * 2)};
    Ref<IMultiSourceFrame> frame;
    take(FrameSourceTypes_Color, std::move(scripted), frame);
    Ref<IColorFrameReference> reference;
    Ref<IColorFrame> color;
    ASSERT_EQ(frame->get_ColorFrameReference(reference.out()), S_OK);
    ASSERT_EQ(reference->AcquireFrame(color.out()), S_OK);
    const Described view = describe(color.get());
    EXPECT_EQ(view.width, 640);
    EXPECT_EQ(view.height, 360);
    EXPECT_EQ(view.length, 640u * 360u);
    EXPECT_EQ(view.bytesPerPixel, 2u);
    expectPlausibleView(view);
    // The color camera has no lens distortion and a centred principal point:
    // the directions at half its fields of view reach the image's edges.
    const plexa::scene::Rig2 rig = plexa::virtual2::makeSensorRig();
    const float offset = plexa::scene::Rig2::kColorOffset;
    const auto right = rig.projectToColor({offset + static_cast<float>(tanHalf(view.horizontal)), 0.0f, 1.0f});
    const auto bottom = rig.projectToColor({offset, -static_cast<float>(tanHalf(view.vertical)), 1.0f});
    EXPECT_NEAR(right.x, 1919.5f, 0.05f);
    EXPECT_NEAR(bottom.y, 1079.5f, 0.05f);
    EXPECT_NEAR(tanHalf(view.diagonal) * tanHalf(view.diagonal),
                tanHalf(view.horizontal) * tanHalf(view.horizontal) + tanHalf(view.vertical) * tanHalf(view.vertical),
                1e-4);
    EXPECT_GT(view.horizontal, 80.0f);  // the color camera sees wider than the depth camera
}

TEST_F(FramesTest, ScriptedFramesCarryRisingRelativeTimes) {
    Ref<IMultiSourceFrame> frame;
    TIMESPAN previous = -1;
    for (int i = 0; i < 3; ++i) {
        take(FrameSourceTypes_Depth, depthOnlyFrame(1), frame);
        Ref<IDepthFrameReference> reference;
        Ref<IDepthFrame> depth;
        ASSERT_EQ(frame->get_DepthFrameReference(reference.out()), S_OK);
        ASSERT_EQ(reference->AcquireFrame(depth.out()), S_OK);
        TIMESPAN time = -1;
        ASSERT_EQ(depth->get_RelativeTime(&time), S_OK);
        EXPECT_GT(time, previous);
        previous = time;
    }
}

rt2::ScriptedBodies bodiesWithSlot(int slot, float offset) {
    rt2::ScriptedBodies bodies;
    bodies.floorClipPlane = Vector4{0.1f, 0.9f, 0.0f, 1.2f};
    rt2::ScriptedBody& body = bodies.bodies[slot];
    body.tracked = true;
    for (int j = 0; j < JointType_Count; ++j) {
        const auto type = static_cast<JointType>(j);
        body.joints[j] = Joint{type, CameraSpacePoint{offset + j, 2.0f * j, 3.0f}, static_cast<TrackingState>(j % 3)};
        body.orientations[j] = JointOrientation{type, Vector4{0.0f, offset, 0.0f, 1.0f}};
    }
    return bodies;
}

class BodiesTest : public FramesTest {
protected:
    void takeBodies(rt2::ScriptedBodies scripted, Ref<IBodyFrame>& bodyFrame) {
        rt2::ScriptedFrame frame;
        frame.bodies = std::move(scripted);
        Ref<IMultiSourceFrame> multi;
        take(FrameSourceTypes_Body, std::move(frame), multi);
        Ref<IBodyFrameReference> reference;
        ASSERT_EQ(multi->get_BodyFrameReference(reference.out()), S_OK);
        ASSERT_EQ(reference->AcquireFrame(bodyFrame.out()), S_OK);
    }

    void TearDown() override {
        for (IBody*& body : bodies_) {
            if (body != nullptr) body->Release();
            body = nullptr;
        }
        FramesTest::TearDown();
    }

    IBody* bodies_[BODY_COUNT] = {};
};

TEST_F(BodiesTest, TrackedSlotGivesItsJointsOrientationsAndTheFloor) {
    Ref<IBodyFrame> bodyFrame;
    takeBodies(bodiesWithSlot(3, 0.5f), bodyFrame);
    ASSERT_EQ(bodyFrame->GetAndRefreshBodyData(BODY_COUNT, bodies_), S_OK);
    for (int slot = 0; slot < BODY_COUNT; ++slot) {
        BOOLEAN tracked = 7;
        ASSERT_EQ(bodies_[slot]->get_IsTracked(&tracked), S_OK);
        EXPECT_EQ(tracked, slot == 3 ? 1 : 0) << "slot " << slot;
    }
    Joint joints[JointType_Count];
    JointOrientation orientations[JointType_Count];
    ASSERT_EQ(bodies_[3]->GetJoints(JointType_Count, joints), S_OK);
    ASSERT_EQ(bodies_[3]->GetJointOrientations(JointType_Count, orientations), S_OK);
    EXPECT_EQ(joints[24].JointType, 24);
    EXPECT_FLOAT_EQ(joints[24].Position.X, 24.5f);
    EXPECT_FLOAT_EQ(joints[24].Position.Y, 48.0f);
    EXPECT_EQ(joints[5].TrackingState, 2);
    EXPECT_FLOAT_EQ(orientations[10].Orientation.y, 0.5f);
    Vector4 floor{};
    ASSERT_EQ(bodyFrame->get_FloorClipPlane(&floor), S_OK);
    EXPECT_FLOAT_EQ(floor.y, 0.9f);
    EXPECT_FLOAT_EQ(floor.w, 1.2f);
}

TEST_F(BodiesTest, TooSmallCapacitiesAreRefusedWithoutWriting) {
    Ref<IBodyFrame> bodyFrame;
    takeBodies(bodiesWithSlot(0, 1.0f), bodyFrame);
    EXPECT_EQ(bodyFrame->GetAndRefreshBodyData(BODY_COUNT - 1, bodies_), E_INVALIDARG);
    for (IBody* body : bodies_) EXPECT_EQ(body, nullptr);
    ASSERT_EQ(bodyFrame->GetAndRefreshBodyData(BODY_COUNT, bodies_), S_OK);

    Joint joints[JointType_Count] = {};
    JointOrientation orientations[JointType_Count] = {};
    EXPECT_EQ(bodies_[0]->GetJoints(JointType_Count - 1, joints), E_INVALIDARG);
    EXPECT_EQ(bodies_[0]->GetJointOrientations(JointType_Count - 1, orientations), E_INVALIDARG);
    EXPECT_FLOAT_EQ(joints[1].Position.X, 0.0f);
    EXPECT_FLOAT_EQ(orientations[1].Orientation.w, 0.0f);
    EXPECT_EQ(bodies_[0]->GetJoints(JointType_Count, nullptr), E_POINTER);
}

TEST_F(BodiesTest, BodiesKeptAcrossFramesAreRefreshedNotReplaced) {
    Ref<IBodyFrame> first;
    takeBodies(bodiesWithSlot(2, 1.0f), first);
    ASSERT_EQ(first->GetAndRefreshBodyData(BODY_COUNT, bodies_), S_OK);
    IBody* const kept = bodies_[2];
    const int alive = rt2::liveObjectCount();

    Ref<IBodyFrame> second;
    takeBodies(bodiesWithSlot(4, 9.0f), second);
    const int withSecondFrame = rt2::liveObjectCount();
    ASSERT_EQ(second->GetAndRefreshBodyData(BODY_COUNT, bodies_), S_OK);
    EXPECT_EQ(bodies_[2], kept);
    EXPECT_EQ(rt2::liveObjectCount(), withSecondFrame);
    EXPECT_GT(withSecondFrame, alive);

    BOOLEAN tracked = 1;
    ASSERT_EQ(bodies_[2]->get_IsTracked(&tracked), S_OK);
    EXPECT_EQ(tracked, 0);
    ASSERT_EQ(bodies_[4]->get_IsTracked(&tracked), S_OK);
    EXPECT_EQ(tracked, 1);
    Joint joints[JointType_Count];
    ASSERT_EQ(bodies_[4]->GetJoints(JointType_Count, joints), S_OK);
    EXPECT_FLOAT_EQ(joints[0].Position.X, 9.0f);
}

}  // namespace
