// The multi-source reader in scripted mode: the frame-arrived handle, the
// acquisition of frames in order, and the sources a frame carries.
#include "RuntimeFixture.h"

namespace {

class ReaderTest : public RuntimeTest {};

HANDLE asHandle(WAITABLE_HANDLE waitable) { return reinterpret_cast<HANDLE>(waitable); }

TEST_F(ReaderTest, AcquireFailsWhenNoFrameArrivedSinceTheLastAcquisition) {
    Ref<IMultiSourceFrameReader> reader;
    openReader(FrameSourceTypes_Depth, reader);
    Ref<IMultiSourceFrame> frame;
    EXPECT_EQ(reader->AcquireLatestFrame(frame.out()), E_PENDING);
    EXPECT_FALSE(frame);

    rt2::queueFrame(depthOnlyFrame(5));
    EXPECT_EQ(reader->AcquireLatestFrame(frame.out()), S_OK);
    EXPECT_TRUE(frame);
    EXPECT_EQ(reader->AcquireLatestFrame(frame.out()), E_PENDING);
    EXPECT_FALSE(frame);
}

TEST_F(ReaderTest, HandleIsWaitableSignalledWhileAFrameWaitsAndResetByAcquisition) {
    Ref<IMultiSourceFrameReader> reader;
    openReader(FrameSourceTypes_Depth, reader);
    WAITABLE_HANDLE waitable = 0;
    ASSERT_EQ(reader->SubscribeMultiSourceFrameArrived(&waitable), S_OK);
    ASSERT_NE(waitable, 0);

    // Waited on beside a stop event, as a bridge's event thread does.
    HANDLE stop = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    const HANDLE handles[2] = {stop, asHandle(waitable)};
    EXPECT_EQ(WaitForMultipleObjects(2, handles, FALSE, 0), WAIT_TIMEOUT);

    rt2::queueFrame(depthOnlyFrame(1));
    EXPECT_EQ(WaitForMultipleObjects(2, handles, FALSE, 1000), WAIT_OBJECT_0 + 1);
    // Manual reset: a wait does not consume the signal, acquisition does.
    EXPECT_EQ(WaitForMultipleObjects(2, handles, FALSE, 0), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(nextDepthMarker(reader.get()), 1);
    EXPECT_EQ(WaitForMultipleObjects(2, handles, FALSE, 0), WAIT_TIMEOUT);
    CloseHandle(stop);
}

TEST_F(ReaderTest, ScriptedFramesComeOnceEachInOrderWithTheHandleSignalledUntilTheLast) {
    Ref<IMultiSourceFrameReader> reader;
    openReader(FrameSourceTypes_Depth, reader);
    WAITABLE_HANDLE waitable = 0;
    ASSERT_EQ(reader->SubscribeMultiSourceFrameArrived(&waitable), S_OK);
    for (std::uint16_t marker : {10, 20, 30}) rt2::queueFrame(depthOnlyFrame(marker));
    EXPECT_EQ(rt2::queuedFrameCount(), 3);

    for (int marker : {10, 20, 30}) {
        EXPECT_EQ(WaitForSingleObject(asHandle(waitable), 0), WAIT_OBJECT_0) << "before frame " << marker;
        EXPECT_EQ(nextDepthMarker(reader.get()), marker);
    }
    EXPECT_EQ(rt2::queuedFrameCount(), 0);
    EXPECT_EQ(WaitForSingleObject(asHandle(waitable), 0), WAIT_TIMEOUT);
    Ref<IMultiSourceFrame> frame;
    EXPECT_EQ(reader->AcquireLatestFrame(frame.out()), E_PENDING);
}

TEST_F(ReaderTest, FramesQueuedBeforeTheReaderOpensWaitForIt) {
    rt2::queueFrame(depthOnlyFrame(42));
    openSensor();
    Ref<IMultiSourceFrameReader> reader;
    openReader(FrameSourceTypes_Depth, reader);
    WAITABLE_HANDLE waitable = 0;
    ASSERT_EQ(reader->SubscribeMultiSourceFrameArrived(&waitable), S_OK);
    EXPECT_EQ(WaitForSingleObject(asHandle(waitable), 0), WAIT_OBJECT_0);
    EXPECT_EQ(nextDepthMarker(reader.get()), 42);
}

TEST_F(ReaderTest, ReferenceGettersSucceedForTheMaskAndFailForOtherSources) {
    Ref<IMultiSourceFrameReader> reader;
    openReader(FrameSourceTypes_Depth | FrameSourceTypes_Body, reader);
    rt2::queueFrame(rt2::ScriptedFrame{});
    Ref<IMultiSourceFrame> frame;
    ASSERT_EQ(reader->AcquireLatestFrame(frame.out()), S_OK);

    Ref<IDepthFrameReference> depth;
    Ref<IBodyFrameReference> body;
    EXPECT_EQ(frame->get_DepthFrameReference(depth.out()), S_OK);
    EXPECT_EQ(frame->get_BodyFrameReference(body.out()), S_OK);

    IColorFrameReference* color = reinterpret_cast<IColorFrameReference*>(0x1);
    IBodyIndexFrameReference* bodyIndex = reinterpret_cast<IBodyIndexFrameReference*>(0x1);
    IInfraredFrameReference* infrared = reinterpret_cast<IInfraredFrameReference*>(0x1);
    ILongExposureInfraredFrameReference* longExposure = reinterpret_cast<ILongExposureInfraredFrameReference*>(0x1);
    EXPECT_LT(frame->get_ColorFrameReference(&color), 0);
    EXPECT_LT(frame->get_BodyIndexFrameReference(&bodyIndex), 0);
    EXPECT_LT(frame->get_InfraredFrameReference(&infrared), 0);
    EXPECT_LT(frame->get_LongExposureInfraredFrameReference(&longExposure), 0);
    EXPECT_EQ(color, nullptr);
    EXPECT_EQ(bodyIndex, nullptr);
    EXPECT_EQ(infrared, nullptr);
    EXPECT_EQ(longExposure, nullptr);
}

TEST_F(ReaderTest, ReaderNeedsAnOpenSensorAndAMaskOfKnownSources) {
    ASSERT_EQ(GetDefaultKinectSensor(sensor_.out()), S_OK);
    Ref<IMultiSourceFrameReader> reader;
    EXPECT_LT(sensor_->OpenMultiSourceFrameReader(FrameSourceTypes_Depth, reader.out()), 0);
    EXPECT_FALSE(reader);

    ASSERT_EQ(sensor_->Open(), S_OK);
    EXPECT_EQ(sensor_->OpenMultiSourceFrameReader(FrameSourceTypes_None, reader.out()), E_INVALIDARG);
    EXPECT_EQ(sensor_->OpenMultiSourceFrameReader(0x80, reader.out()), E_INVALIDARG);
    EXPECT_FALSE(reader);
    // Every source, audio included, is a valid mask.
    EXPECT_EQ(sensor_->OpenMultiSourceFrameReader(0x7F, reader.out()), S_OK);
    EXPECT_TRUE(reader);
}

TEST_F(ReaderTest, UnsubscribeClosesTheHandleAndEachSubscriptionIsSignalled) {
    Ref<IMultiSourceFrameReader> reader;
    openReader(FrameSourceTypes_Depth, reader);
    const std::size_t handles = PlexaOpenHandleCount();
    WAITABLE_HANDLE first = 0, second = 0;
    ASSERT_EQ(reader->SubscribeMultiSourceFrameArrived(&first), S_OK);
    ASSERT_EQ(reader->SubscribeMultiSourceFrameArrived(&second), S_OK);
    EXPECT_NE(first, second);
    EXPECT_EQ(PlexaOpenHandleCount(), handles + 2);

    rt2::queueFrame(depthOnlyFrame(3));
    EXPECT_EQ(WaitForSingleObject(asHandle(first), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(asHandle(second), 0), WAIT_OBJECT_0);

    EXPECT_EQ(reader->UnsubscribeMultiSourceFrameArrived(first), S_OK);
    EXPECT_EQ(PlexaOpenHandleCount(), handles + 1);
    EXPECT_EQ(reader->UnsubscribeMultiSourceFrameArrived(first), E_INVALIDARG);
    EXPECT_EQ(reader->UnsubscribeMultiSourceFrameArrived(0), E_INVALIDARG);
    EXPECT_EQ(WaitForSingleObject(asHandle(second), 0), WAIT_OBJECT_0);
    EXPECT_EQ(reader->UnsubscribeMultiSourceFrameArrived(second), S_OK);
    EXPECT_EQ(PlexaOpenHandleCount(), handles);
}

TEST_F(ReaderTest, SourcesLeftOutOfAScriptedFrameGetLiveContentAtTheSensorsSize) {
    Ref<IMultiSourceFrameReader> reader;
    openReader(FrameSourceTypes_Depth | FrameSourceTypes_Infrared | FrameSourceTypes_Color, reader);
    rt2::queueFrame(depthOnlyFrame(9));
    Ref<IMultiSourceFrame> frame;
    ASSERT_EQ(reader->AcquireLatestFrame(frame.out()), S_OK);

    Ref<IInfraredFrameReference> infraredReference;
    Ref<IInfraredFrame> infrared;
    ASSERT_EQ(frame->get_InfraredFrameReference(infraredReference.out()), S_OK);
    ASSERT_EQ(infraredReference->AcquireFrame(infrared.out()), S_OK);
    Ref<IFrameDescription> description;
    ASSERT_EQ(infrared->get_FrameDescription(description.out()), S_OK);
    int width = 0, height = 0;
    description->get_Width(&width);
    description->get_Height(&height);
    EXPECT_EQ(width, 512);
    EXPECT_EQ(height, 424);
    UINT capacity = 0;
    UINT16* samples = nullptr;
    ASSERT_EQ(infrared->AccessUnderlyingBuffer(&capacity, &samples), S_OK);
    EXPECT_EQ(capacity, 512u * 424u);

    Ref<IColorFrameReference> colorReference;
    Ref<IColorFrame> color;
    ASSERT_EQ(frame->get_ColorFrameReference(colorReference.out()), S_OK);
    ASSERT_EQ(colorReference->AcquireFrame(color.out()), S_OK);
    ColorImageFormat format = ColorImageFormat_None;
    ASSERT_EQ(color->get_RawColorImageFormat(&format), S_OK);
    EXPECT_EQ(format, ColorImageFormat_Yuy2);
    BYTE* raw = nullptr;
    ASSERT_EQ(color->AccessRawUnderlyingBuffer(&capacity, &raw), S_OK);
    EXPECT_EQ(capacity, 1920u * 1080u * 2u);

    // The scripted source itself is delivered as queued.
    Ref<IDepthFrameReference> depthReference;
    Ref<IDepthFrame> depth;
    ASSERT_EQ(frame->get_DepthFrameReference(depthReference.out()), S_OK);
    ASSERT_EQ(depthReference->AcquireFrame(depth.out()), S_OK);
    ASSERT_EQ(depth->AccessUnderlyingBuffer(&capacity, &samples), S_OK);
    EXPECT_EQ(capacity, 8u);
    EXPECT_EQ(samples[0], 9);
}

TEST_F(ReaderTest, SensorThatGoesAwayStopsDeliveringUntilItIsBack) {
    Ref<IMultiSourceFrameReader> reader;
    openReader(FrameSourceTypes_Depth, reader);
    WAITABLE_HANDLE waitable = 0;
    ASSERT_EQ(reader->SubscribeMultiSourceFrameArrived(&waitable), S_OK);
    rt2::queueFrame(depthOnlyFrame(8));
    rt2::setSensorPresent(false);
    EXPECT_EQ(WaitForSingleObject(asHandle(waitable), 0), WAIT_TIMEOUT);
    Ref<IMultiSourceFrame> frame;
    EXPECT_EQ(reader->AcquireLatestFrame(frame.out()), E_PENDING);
    EXPECT_LT(sensor_->Open(), 0);
    rt2::setSensorPresent(true);
    EXPECT_EQ(WaitForSingleObject(asHandle(waitable), 0), WAIT_OBJECT_0);
    EXPECT_EQ(nextDepthMarker(reader.get()), 8);
}

TEST_F(ReaderTest, SwitchingToLiveAndBackDeliversOnlyQueuedFramesInScriptedMode) {
    Ref<IMultiSourceFrameReader> reader;
    openReader(FrameSourceTypes_Depth, reader);
    WAITABLE_HANDLE waitable = 0;
    ASSERT_EQ(reader->SubscribeMultiSourceFrameArrived(&waitable), S_OK);
    rt2::setScripted(false);
    EXPECT_EQ(WaitForSingleObject(asHandle(waitable), kLiveFrameDeadlineMs), WAIT_OBJECT_0) << "no live frame arrived";
    rt2::setScripted(true);
    // The live frame not taken is gone; the handle follows the queue.
    EXPECT_EQ(WaitForSingleObject(asHandle(waitable), 0), WAIT_TIMEOUT);
    Ref<IMultiSourceFrame> frame;
    EXPECT_EQ(reader->AcquireLatestFrame(frame.out()), E_PENDING);
    rt2::queueFrame(depthOnlyFrame(77));
    EXPECT_EQ(nextDepthMarker(reader.get()), 77);
}

}  // namespace
