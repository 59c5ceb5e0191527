// Frames, their descriptions and the body data of scripted frames.
#include "RuntimeFixture.h"

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

double tanHalf(float degrees) { return std::tan(degrees * 3.14159265358979 / 360.0); }

void expectConsistentView(const Described& d) {
    EXPECT_GT(d.horizontal, 0.0f);
    EXPECT_GT(d.vertical, 0.0f);
    EXPECT_NEAR(tanHalf(d.diagonal) * tanHalf(d.diagonal),
                tanHalf(d.horizontal) * tanHalf(d.horizontal) + tanHalf(d.vertical) * tanHalf(d.vertical), 1e-4);
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
    expectConsistentView(depthView);

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
    // The depth camera's view follows from its intrinsics.
    const CameraIntrinsics k = rt2::depthIntrinsics();
    EXPECT_NEAR(tanHalf(native.horizontal), 256.0 / k.FocalLengthX, 1e-4);
    EXPECT_NEAR(tanHalf(native.vertical), 212.0 / k.FocalLengthY, 1e-4);

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
    expectConsistentView(view);
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
        body.joints[j] = Joint{j, CameraSpacePoint{offset + j, 2.0f * j, 3.0f}, j % 3};
        body.orientations[j] = JointOrientation{j, Vector4{0.0f, offset, 0.0f, 1.0f}};
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
