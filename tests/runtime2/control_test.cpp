// The control face: failure injection (once, N times, always; narrowed by
// frame kind and body slot) and the call log.
#include "RuntimeFixture.h"

namespace {

constexpr HRESULT kInjected = static_cast<HRESULT>(0x80070013u);

class ControlTest : public RuntimeTest {
protected:
    void TearDown() override {
        for (IBody*& body : bodies_) {
            if (body != nullptr) body->Release();
            body = nullptr;
        }
        reader_.reset();
        RuntimeTest::TearDown();
    }

    void takeFrame(DWORD sources, Ref<IMultiSourceFrame>& frame) {
        if (!reader_) openReader(sources, reader_);
        rt2::queueFrame(rt2::ScriptedFrame{});
        ASSERT_EQ(reader_->AcquireLatestFrame(frame.out()), S_OK);
    }

    Ref<IMultiSourceFrameReader> reader_;
    IBody* bodies_[BODY_COUNT] = {};
};

TEST_F(ControlTest, FailureOnceThenNTimesThenAlways) {
    openSensor();
    Ref<ICoordinateMapper> mapper;
    ASSERT_EQ(sensor_->get_CoordinateMapper(mapper.out()), S_OK);
    CameraIntrinsics k{};

    rt2::injectFailure(rt2::Operation::MapperGetDepthCameraIntrinsics, kInjected);
    EXPECT_EQ(mapper->GetDepthCameraIntrinsics(&k), kInjected);
    EXPECT_EQ(mapper->GetDepthCameraIntrinsics(&k), S_OK);

    rt2::injectFailure(rt2::Operation::MapperGetDepthCameraIntrinsics, E_FAIL, 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(mapper->GetDepthCameraIntrinsics(&k), E_FAIL) << "call " << i;
    EXPECT_EQ(mapper->GetDepthCameraIntrinsics(&k), S_OK);

    rt2::injectFailure(rt2::Operation::MapperGetDepthCameraIntrinsics, E_FAIL, -1);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(mapper->GetDepthCameraIntrinsics(&k), E_FAIL);
    rt2::clearFailures();
    EXPECT_EQ(mapper->GetDepthCameraIntrinsics(&k), S_OK);
}

TEST_F(ControlTest, InjectedFailureHandsOutNothing) {
    rt2::injectFailure(rt2::Operation::GetDefaultKinectSensor, kInjected);
    IKinectSensor* sensor = reinterpret_cast<IKinectSensor*>(0x1);
    EXPECT_EQ(GetDefaultKinectSensor(&sensor), kInjected);
    EXPECT_EQ(sensor, nullptr);
    EXPECT_EQ(rt2::liveObjectCount(), objectsBefore_);

    openSensor();
    rt2::injectFailure(rt2::Operation::SensorOpenMultiSourceFrameReader, kInjected);
    Ref<IMultiSourceFrameReader> reader;
    EXPECT_EQ(sensor_->OpenMultiSourceFrameReader(FrameSourceTypes_Depth, reader.out()), kInjected);
    EXPECT_FALSE(reader);
    EXPECT_EQ(rt2::liveObjectCount(), objectsBefore_ + 1);

    // A failed acquisition leaves the queued frame for the next one.
    ASSERT_EQ(sensor_->OpenMultiSourceFrameReader(FrameSourceTypes_Depth, reader.out()), S_OK);
    rt2::queueFrame(depthOnlyFrame(4));
    rt2::injectFailure(rt2::Operation::ReaderAcquireLatestFrame, kInjected);
    Ref<IMultiSourceFrame> frame;
    EXPECT_EQ(reader->AcquireLatestFrame(frame.out()), kInjected);
    EXPECT_EQ(nextDepthMarker(reader.get()), 4);
}

TEST_F(ControlTest, DescriptionGetterFailureNarrowedToOneFrameKind) {
    Ref<IMultiSourceFrame> frame;
    takeFrame(FrameSourceTypes_Depth | FrameSourceTypes_Infrared, frame);
    rt2::injectFailure(rt2::Operation::DescriptionGetWidth, kInjected, -1, rt2::FrameKind::Infrared);

    Ref<IDepthFrameReference> depthReference;
    Ref<IDepthFrame> depth;
    Ref<IInfraredFrameReference> infraredReference;
    Ref<IInfraredFrame> infrared;
    ASSERT_EQ(frame->get_DepthFrameReference(depthReference.out()), S_OK);
    ASSERT_EQ(depthReference->AcquireFrame(depth.out()), S_OK);
    ASSERT_EQ(frame->get_InfraredFrameReference(infraredReference.out()), S_OK);
    ASSERT_EQ(infraredReference->AcquireFrame(infrared.out()), S_OK);

    Ref<IFrameDescription> depthDescription, infraredDescription;
    ASSERT_EQ(depth->get_FrameDescription(depthDescription.out()), S_OK);
    ASSERT_EQ(infrared->get_FrameDescription(infraredDescription.out()), S_OK);
    int width = 0, height = 0;
    EXPECT_EQ(depthDescription->get_Width(&width), S_OK);
    EXPECT_EQ(width, 512);
    EXPECT_EQ(infraredDescription->get_Width(&width), kInjected);
    EXPECT_EQ(infraredDescription->get_Height(&height), S_OK) << "only the width was made to fail";
}

TEST_F(ControlTest, FrameOperationFailureNarrowedToOneKind) {
    Ref<IMultiSourceFrame> frame;
    takeFrame(FrameSourceTypes_Depth | FrameSourceTypes_LongExposureInfrared, frame);
    rt2::injectFailure(rt2::Operation::FrameAccessUnderlyingBuffer, kInjected, 1, rt2::FrameKind::Depth);

    Ref<ILongExposureInfraredFrameReference> longReference;
    Ref<ILongExposureInfraredFrame> longExposure;
    ASSERT_EQ(frame->get_LongExposureInfraredFrameReference(longReference.out()), S_OK);
    ASSERT_EQ(longReference->AcquireFrame(longExposure.out()), S_OK);
    UINT capacity = 0;
    UINT16* samples = nullptr;
    EXPECT_EQ(longExposure->AccessUnderlyingBuffer(&capacity, &samples), S_OK);

    Ref<IDepthFrameReference> depthReference;
    Ref<IDepthFrame> depth;
    ASSERT_EQ(frame->get_DepthFrameReference(depthReference.out()), S_OK);
    ASSERT_EQ(depthReference->AcquireFrame(depth.out()), S_OK);
    EXPECT_EQ(depth->AccessUnderlyingBuffer(&capacity, &samples), kInjected);
    EXPECT_EQ(capacity, 0u);
    EXPECT_EQ(samples, nullptr);
    EXPECT_EQ(depth->AccessUnderlyingBuffer(&capacity, &samples), S_OK);
}

TEST_F(ControlTest, IsTrackedFailureNarrowedToOneBodySlot) {
    Ref<IMultiSourceFrame> frame;
    takeFrame(FrameSourceTypes_Body, frame);
    Ref<IBodyFrameReference> reference;
    Ref<IBodyFrame> bodyFrame;
    ASSERT_EQ(frame->get_BodyFrameReference(reference.out()), S_OK);
    ASSERT_EQ(reference->AcquireFrame(bodyFrame.out()), S_OK);
    ASSERT_EQ(bodyFrame->GetAndRefreshBodyData(BODY_COUNT, bodies_), S_OK);

    rt2::injectFailure(rt2::Operation::BodyGetIsTracked, kInjected, -1, rt2::FrameKind::None, 5);
    for (int slot = 0; slot < BODY_COUNT; ++slot) {
        BOOLEAN tracked = 0;
        EXPECT_EQ(bodies_[slot]->get_IsTracked(&tracked), slot == 5 ? kInjected : S_OK) << "slot " << slot;
    }
    const auto calls = callsOf(rt2::Operation::BodyGetIsTracked);
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[5].bodySlot, 5);
    EXPECT_EQ(calls[5].result, kInjected);
    EXPECT_EQ(calls[0].frameKind, rt2::FrameKind::Body);
}

TEST_F(ControlTest, CallLogRecordsTheMaskAndOtherScalarArgumentsInOrder) {
    Ref<IMultiSourceFrameReader> reader;
    openReader(0x7F, reader);
    WAITABLE_HANDLE waitable = 0;
    ASSERT_EQ(reader->SubscribeMultiSourceFrameArrived(&waitable), S_OK);
    ASSERT_EQ(reader->UnsubscribeMultiSourceFrameArrived(waitable), S_OK);

    const std::vector<rt2::CallRecord> log = rt2::callLog();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[0].operation, rt2::Operation::GetDefaultKinectSensor);
    EXPECT_EQ(log[1].operation, rt2::Operation::SensorOpen);
    EXPECT_EQ(log[2].operation, rt2::Operation::SensorOpenMultiSourceFrameReader);
    EXPECT_EQ(log[2].arguments, std::vector<std::int64_t>{0x7F});
    EXPECT_EQ(log[2].result, S_OK);
    EXPECT_EQ(log[3].operation, rt2::Operation::ReaderSubscribeMultiSourceFrameArrived);
    EXPECT_EQ(log[4].arguments, std::vector<std::int64_t>{waitable});

    rt2::clearCallLog();
    EXPECT_TRUE(rt2::callLog().empty());
    EXPECT_STREQ(rt2::operationName(rt2::Operation::SensorOpenMultiSourceFrameReader),
                 "IKinectSensor::OpenMultiSourceFrameReader");
}

TEST_F(ControlTest, ResetRestoresPresenceModeQueueFailuresAndLog) {
    rt2::setSensorPresent(false);
    rt2::queueFrame(rt2::ScriptedFrame{});
    rt2::injectFailure(rt2::Operation::GetDefaultKinectSensor, E_FAIL, -1);
    rt2::reset();
    EXPECT_EQ(rt2::queuedFrameCount(), 0);
    EXPECT_TRUE(rt2::callLog().empty());
    Ref<IKinectSensor> sensor;
    EXPECT_EQ(GetDefaultKinectSensor(sensor.out()), S_OK);
}

}  // namespace
