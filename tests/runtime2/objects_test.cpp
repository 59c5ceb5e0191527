// Reference counting: every object handed out is freed by its last Release,
// and the default sensor is one object while anybody holds it.
#include "RuntimeFixture.h"

namespace {

class ObjectsTest : public RuntimeTest {};

void describe(IFrameDescription* description) {
    int width = 0, height = 0;
    float horizontal = 0, vertical = 0, diagonal = 0;
    UINT length = 0, bytesPerPixel = 0;
    EXPECT_EQ(description->get_Width(&width), S_OK);
    EXPECT_EQ(description->get_Height(&height), S_OK);
    EXPECT_EQ(description->get_HorizontalFieldOfView(&horizontal), S_OK);
    EXPECT_EQ(description->get_VerticalFieldOfView(&vertical), S_OK);
    EXPECT_EQ(description->get_DiagonalFieldOfView(&diagonal), S_OK);
    EXPECT_EQ(description->get_LengthInPixels(&length), S_OK);
    EXPECT_EQ(description->get_BytesPerPixel(&bytesPerPixel), S_OK);
}

template <class Frame>
void describeImage(Frame* frame) {
    Ref<IFrameDescription> description;
    ASSERT_EQ(frame->get_FrameDescription(description.out()), S_OK);
    describe(description.get());
    TIMESPAN time = 0;
    EXPECT_EQ(frame->get_RelativeTime(&time), S_OK);
}

// Everything a bridge takes from one frame, with every source, described and
// given back.
void takeWholeFrame(IMultiSourceFrameReader* reader, ICoordinateMapper* mapper, int& peakObjects) {
    Ref<IMultiSourceFrame> frame;
    ASSERT_EQ(reader->AcquireLatestFrame(frame.out()), S_OK);

    Ref<IColorFrameReference> colorReference;
    Ref<IColorFrame> color;
    ASSERT_EQ(frame->get_ColorFrameReference(colorReference.out()), S_OK);
    ASSERT_EQ(colorReference->AcquireFrame(color.out()), S_OK);
    describeImage(color.get());
    std::vector<BYTE> bgra(1920u * 1080u * 4u);
    EXPECT_EQ(color->CopyConvertedFrameDataToArray(static_cast<UINT>(bgra.size()), bgra.data(), ColorImageFormat_Bgra),
              S_OK);

    Ref<IDepthFrameReference> depthReference;
    Ref<IDepthFrame> depth;
    ASSERT_EQ(frame->get_DepthFrameReference(depthReference.out()), S_OK);
    ASSERT_EQ(depthReference->AcquireFrame(depth.out()), S_OK);
    describeImage(depth.get());
    UINT capacity = 0;
    UINT16* samples = nullptr;
    ASSERT_EQ(depth->AccessUnderlyingBuffer(&capacity, &samples), S_OK);
    std::vector<ColorSpacePoint> colorPoints(capacity);
    std::vector<CameraSpacePoint> cameraPoints(capacity);
    EXPECT_EQ(mapper->MapDepthFrameToColorSpace(capacity, samples, capacity, colorPoints.data()), S_OK);
    EXPECT_EQ(mapper->MapDepthFrameToCameraSpace(capacity, samples, capacity, cameraPoints.data()), S_OK);

    Ref<IBodyIndexFrameReference> bodyIndexReference;
    Ref<IBodyIndexFrame> bodyIndex;
    ASSERT_EQ(frame->get_BodyIndexFrameReference(bodyIndexReference.out()), S_OK);
    ASSERT_EQ(bodyIndexReference->AcquireFrame(bodyIndex.out()), S_OK);
    describeImage(bodyIndex.get());

    Ref<IInfraredFrameReference> infraredReference;
    Ref<IInfraredFrame> infrared;
    ASSERT_EQ(frame->get_InfraredFrameReference(infraredReference.out()), S_OK);
    ASSERT_EQ(infraredReference->AcquireFrame(infrared.out()), S_OK);
    describeImage(infrared.get());

    Ref<ILongExposureInfraredFrameReference> longReference;
    Ref<ILongExposureInfraredFrame> longExposure;
    ASSERT_EQ(frame->get_LongExposureInfraredFrameReference(longReference.out()), S_OK);
    ASSERT_EQ(longReference->AcquireFrame(longExposure.out()), S_OK);
    describeImage(longExposure.get());

    Ref<IBodyFrameReference> bodyReference;
    Ref<IBodyFrame> bodyFrame;
    ASSERT_EQ(frame->get_BodyFrameReference(bodyReference.out()), S_OK);
    ASSERT_EQ(bodyReference->AcquireFrame(bodyFrame.out()), S_OK);
    IBody* bodies[BODY_COUNT] = {};
    ASSERT_EQ(bodyFrame->GetAndRefreshBodyData(BODY_COUNT, bodies), S_OK);
    for (IBody* body : bodies) {
        ASSERT_NE(body, nullptr);
        BOOLEAN tracked = 0;
        Joint joints[JointType_Count];
        JointOrientation orientations[JointType_Count];
        EXPECT_EQ(body->get_IsTracked(&tracked), S_OK);
        EXPECT_EQ(body->GetJoints(JointType_Count, joints), S_OK);
        EXPECT_EQ(body->GetJointOrientations(JointType_Count, orientations), S_OK);
    }
    // A second frame refreshes the same bodies instead of handing out more.
    const int withBodies = rt2::liveObjectCount();
    ASSERT_EQ(bodyFrame->GetAndRefreshBodyData(BODY_COUNT, bodies), S_OK);
    EXPECT_EQ(rt2::liveObjectCount(), withBodies);
    peakObjects = withBodies;
    for (IBody*& body : bodies) {
        body->Release();
        body = nullptr;
    }
}

TEST_F(ObjectsTest, FullAcquireDescribeReleaseCycleFreesEverything) {
    rt2::queueFrame(rt2::ScriptedFrame{});  // every source rendered live
    rt2::queueFrame(rt2::ScriptedFrame{});
    {
        Ref<IMultiSourceFrameReader> reader;
        openReader(kEverySource, reader);
        Ref<ICoordinateMapper> mapper;
        ASSERT_EQ(sensor_->get_CoordinateMapper(mapper.out()), S_OK);
        ASSERT_TRUE(mapper);
        const int held = rt2::liveObjectCount();
        EXPECT_EQ(held, objectsBefore_ + 3);  // sensor, reader, mapper

        int peak = 0;
        takeWholeFrame(reader.get(), mapper.get(), peak);
        // frame, 6 references, 6 frames, 5 descriptions are gone again; 6 bodies
        // were alive at the peak.
        EXPECT_GE(peak, held + 1 + 6 + 6 + 6);
        EXPECT_EQ(rt2::liveObjectCount(), held);
        takeWholeFrame(reader.get(), mapper.get(), peak);
        EXPECT_EQ(rt2::liveObjectCount(), held);
    }
    EXPECT_EQ(sensor_->Close(), S_OK);
    sensor_.reset();
    EXPECT_EQ(rt2::liveObjectCount(), objectsBefore_);
}

TEST_F(ObjectsTest, CloseWithReaderStillHeldStopsFramesAndFreesEverythingAfterwards) {
    Ref<IMultiSourceFrameReader> reader;
    openReader(FrameSourceTypes_Depth, reader);
    WAITABLE_HANDLE handle = 0;
    ASSERT_EQ(reader->SubscribeMultiSourceFrameArrived(&handle), S_OK);
    rt2::queueFrame(depthOnlyFrame(7));
    EXPECT_EQ(WaitForSingleObject(reinterpret_cast<HANDLE>(handle), 0), WAIT_OBJECT_0);

    ASSERT_EQ(sensor_->Close(), S_OK);
    EXPECT_EQ(WaitForSingleObject(reinterpret_cast<HANDLE>(handle), 0), WAIT_TIMEOUT);
    Ref<IMultiSourceFrame> frame;
    EXPECT_EQ(reader->AcquireLatestFrame(frame.out()), E_PENDING);
    EXPECT_EQ(rt2::queuedFrameCount(), 1);

    // Opened again, the reader gets the frame that waited.
    ASSERT_EQ(sensor_->Open(), S_OK);
    EXPECT_EQ(nextDepthMarker(reader.get()), 7);
    ASSERT_EQ(sensor_->Close(), S_OK);

    const std::size_t handles = PlexaOpenHandleCount();
    reader.reset();  // the subscription's handle goes with the reader
    EXPECT_EQ(PlexaOpenHandleCount(), handles - 1);
    sensor_.reset();
    EXPECT_EQ(rt2::liveObjectCount(), objectsBefore_);
}

TEST_F(ObjectsTest, DefaultSensorIsOneObjectWhileHeld) {
    Ref<IKinectSensor> first, second;
    ASSERT_EQ(GetDefaultKinectSensor(first.out()), S_OK);
    ASSERT_EQ(GetDefaultKinectSensor(second.out()), S_OK);
    EXPECT_EQ(first.get(), second.get());
    EXPECT_EQ(rt2::liveObjectCount(), objectsBefore_ + 1);

    // Opened through one holder, it is open for the other.
    ASSERT_EQ(first->Open(), S_OK);
    Ref<IMultiSourceFrameReader> reader;
    EXPECT_EQ(second->OpenMultiSourceFrameReader(FrameSourceTypes_Depth, reader.out()), S_OK);
    reader.reset();
    first.reset();
    second.reset();
    EXPECT_EQ(rt2::liveObjectCount(), objectsBefore_);

    // A new sensor starts closed.
    Ref<IKinectSensor> fresh;
    ASSERT_EQ(GetDefaultKinectSensor(fresh.out()), S_OK);
    EXPECT_LT(fresh->OpenMultiSourceFrameReader(FrameSourceTypes_Depth, reader.out()), 0);
    EXPECT_FALSE(reader);
}

TEST_F(ObjectsTest, MissingSensorFailsAndHandsOutNothing) {
    rt2::setSensorPresent(false);
    IKinectSensor* sensor = reinterpret_cast<IKinectSensor*>(0x1);
    EXPECT_LT(GetDefaultKinectSensor(&sensor), 0);
    EXPECT_EQ(sensor, nullptr);
    EXPECT_EQ(GetDefaultKinectSensor(nullptr), E_POINTER);
    EXPECT_EQ(rt2::liveObjectCount(), objectsBefore_);
    rt2::setSensorPresent(true);
    Ref<IKinectSensor> present;
    EXPECT_EQ(GetDefaultKinectSensor(present.out()), S_OK);
}

TEST_F(ObjectsTest, FrameOutlivesItsMultiSourceFrameAndReference) {
    Ref<IMultiSourceFrameReader> reader;
    openReader(FrameSourceTypes_Depth, reader);
    rt2::queueFrame(depthOnlyFrame(100));
    Ref<IDepthFrame> depth;
    {
        Ref<IMultiSourceFrame> frame;
        ASSERT_EQ(reader->AcquireLatestFrame(frame.out()), S_OK);
        Ref<IDepthFrameReference> reference;
        ASSERT_EQ(frame->get_DepthFrameReference(reference.out()), S_OK);
        ASSERT_EQ(reference->AcquireFrame(depth.out()), S_OK);
    }
    reader.reset();
    UINT capacity = 0;
    UINT16* samples = nullptr;
    ASSERT_EQ(depth->AccessUnderlyingBuffer(&capacity, &samples), S_OK);
    ASSERT_EQ(capacity, 8u);
    EXPECT_EQ(samples[7], 107);
}

TEST_F(ObjectsTest, GettersWithoutOutParameterRefuseWithoutHandingOut) {
    Ref<IMultiSourceFrameReader> reader;
    openReader(FrameSourceTypes_Depth, reader);
    EXPECT_EQ(sensor_->OpenMultiSourceFrameReader(FrameSourceTypes_Depth, nullptr), E_POINTER);
    EXPECT_EQ(sensor_->get_CoordinateMapper(nullptr), E_POINTER);
    EXPECT_EQ(reader->SubscribeMultiSourceFrameArrived(nullptr), E_POINTER);
    rt2::queueFrame(depthOnlyFrame(1));
    EXPECT_EQ(reader->AcquireLatestFrame(nullptr), E_POINTER);
    EXPECT_EQ(rt2::queuedFrameCount(), 1) << "a refused acquisition must not use up a frame";
}

}  // namespace
