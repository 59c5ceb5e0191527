// The control face: connected sensors, failure injection, the call log, reset.
#include "Runtime1Fixture.h"

#include <cstring>

namespace runtime1_test {
namespace {

class ControlFaceTest : public Runtime1Test {};

std::vector<v1::CallRecord> callsOf(v1::Operation operation) {
    std::vector<v1::CallRecord> found;
    for (const auto& call : v1::callLog()) {
        if (call.operation == operation) found.push_back(call);
    }
    return found;
}

std::int64_t asInteger(const void* pointer) {
    return static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(pointer));
}

TEST_F(ControlFaceTest, SensorCountAndCreationFollowTheConnectedCount) {
    int count = -1;
    ASSERT_EQ(NuiGetSensorCount(&count), S_OK);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(NuiGetSensorCount(nullptr), E_POINTER);
    INuiSensor* sensor = reinterpret_cast<INuiSensor*>(&count);
    EXPECT_TRUE(FAILED(NuiCreateSensorByIndex(1, &sensor)));
    EXPECT_EQ(sensor, nullptr);
    EXPECT_TRUE(FAILED(NuiCreateSensorByIndex(-1, &sensor)));
    EXPECT_EQ(NuiCreateSensorByIndex(0, nullptr), E_POINTER);

    v1::setConnectedCount(3);
    ASSERT_EQ(NuiGetSensorCount(&count), S_OK);
    EXPECT_EQ(count, 3);
    SensorPtr third = createSensor(2);
    EXPECT_EQ(third->NuiInitialize(NUI_INITIALIZE_FLAG_USES_COLOR), S_OK);

    v1::reset();
    ASSERT_EQ(NuiGetSensorCount(&count), S_OK);
    EXPECT_EQ(count, 1);
}

TEST_F(ControlFaceTest, ASensorMayBeCreatedAgainAndTheNewestStreamReceivesScripts) {
    v1::setScripted(0, true);
    SensorPtr first = createSensor();
    SensorPtr second = createSensor();
    ASSERT_NE(first.get(), second.get());
    HANDLE firstStream = nullptr;
    HANDLE secondStream = nullptr;
    ASSERT_EQ(first->NuiInitialize(NUI_INITIALIZE_FLAG_USES_DEPTH_AND_PLAYER_INDEX), S_OK);
    ASSERT_EQ(first->NuiImageStreamOpen(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, NUI_IMAGE_RESOLUTION_80x60, 0, 2, nullptr, &firstStream),
              S_OK);
    ASSERT_EQ(second->NuiInitialize(NUI_INITIALIZE_FLAG_USES_DEPTH_AND_PLAYER_INDEX), S_OK);
    ASSERT_EQ(second->NuiImageStreamOpen(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, NUI_IMAGE_RESOLUTION_80x60, 0, 2, nullptr,
                                         &secondStream),
              S_OK);
    EXPECT_NE(firstStream, secondStream);

    v1::queueImageFrame(0, v1::Stream::Depth, countingFrame(80 * 60 * 2, 1));
    NUI_IMAGE_FRAME frame{};
    EXPECT_EQ(first->NuiImageStreamGetNextFrame(firstStream, 0, &frame), E_NUI_FRAME_NO_DATA);
    ASSERT_EQ(second->NuiImageStreamGetNextFrame(secondStream, 0, &frame), S_OK);
    EXPECT_EQ(first->NuiImageStreamReleaseFrame(firstStream, &frame), E_INVALIDARG) << "another sensor's frame";
    EXPECT_EQ(v1::framesOutstanding(0), 1);
    EXPECT_EQ(second->NuiImageStreamReleaseFrame(secondStream, &frame), S_OK);
}

TEST_F(ControlFaceTest, InjectedFailuresReplaceTheOperationOnceNTimesOrAlways) {
    SensorPtr sensor = createSensor();
    v1::injectFailure(v1::Operation::Initialize, E_NUI_NOTPOWERED);
    EXPECT_EQ(sensor->NuiInitialize(NUI_INITIALIZE_FLAG_USES_DEPTH_AND_PLAYER_INDEX), E_NUI_NOTPOWERED);
    HANDLE stream = nullptr;
    EXPECT_EQ(sensor->NuiImageStreamOpen(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, NUI_IMAGE_RESOLUTION_80x60, 0, 2, nullptr, &stream),
              E_NUI_FEATURE_NOT_INITIALIZED)
        << "the failed initialisation did nothing";
    ASSERT_EQ(sensor->NuiInitialize(NUI_INITIALIZE_FLAG_USES_DEPTH_AND_PLAYER_INDEX), S_OK) << "once only";

    v1::injectFailure(v1::Operation::ImageStreamOpen, E_FAIL, 2);
    EXPECT_EQ(sensor->NuiImageStreamOpen(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, NUI_IMAGE_RESOLUTION_80x60, 0, 2, nullptr, &stream),
              E_FAIL);
    EXPECT_EQ(stream, nullptr);
    // The count is shared by every sensor.
    v1::setConnectedCount(2);
    SensorPtr other = createSensor(1);
    ASSERT_EQ(other->NuiInitialize(NUI_INITIALIZE_FLAG_USES_DEPTH_AND_PLAYER_INDEX), S_OK);
    EXPECT_EQ(other->NuiImageStreamOpen(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, NUI_IMAGE_RESOLUTION_80x60, 0, 2, nullptr, &stream),
              E_FAIL);
    EXPECT_EQ(sensor->NuiImageStreamOpen(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, NUI_IMAGE_RESOLUTION_80x60, 0, 2, nullptr, &stream),
              S_OK);

    v1::injectFailure(v1::Operation::Status, E_NUI_NOTREADY, -1);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(sensor->NuiStatus(), E_NUI_NOTREADY);
    v1::injectFailure(v1::Operation::GetSensorCount, E_FAIL, -1);
    int count = 0;
    EXPECT_EQ(NuiGetSensorCount(&count), E_FAIL);
    v1::clearFailures();
    EXPECT_EQ(sensor->NuiStatus(), S_OK);
    EXPECT_EQ(NuiGetSensorCount(&count), S_OK);

    // Even the texture's lock can fail.
    v1::setScripted(0, true);
    v1::queueImageFrame(0, v1::Stream::Depth, countingFrame(80 * 60 * 2, 0));
    NUI_IMAGE_FRAME frame{};
    ASSERT_EQ(sensor->NuiImageStreamGetNextFrame(stream, 0, &frame), S_OK);
    v1::injectFailure(v1::Operation::LockRect, E_OUTOFMEMORY);
    NUI_LOCKED_RECT locked{-5, -5, nullptr};
    EXPECT_EQ(frame.pFrameTexture->LockRect(0, &locked, nullptr, 0), E_OUTOFMEMORY);
    EXPECT_EQ(locked.Pitch, -5);
    EXPECT_EQ(frame.pFrameTexture->LockRect(0, &locked, nullptr, 0), S_OK);
    EXPECT_EQ(sensor->NuiImageStreamReleaseFrame(stream, &frame), S_OK);
}

TEST_F(ControlFaceTest, CallLogRecordsEachCallWithItsArgumentsAndResult) {
    v1::setScripted(0, true);
    SensorPtr sensor = createSensor();
    Event depthEvent;
    Event skeletonEvent;
    HANDLE stream = nullptr;
    ASSERT_EQ(v1::callLog().size(), 1u) << "the creation";
    v1::clearCallLog();
    ASSERT_EQ(sensor->NuiInitialize(10), S_OK);
    EXPECT_EQ(sensor->NuiImageStreamOpen(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, NUI_IMAGE_RESOLUTION_320x240, 0, 2, depthEvent.get(),
                                         &stream),
              E_NUI_STREAM_NOT_ENABLED);
    ASSERT_EQ(sensor->NuiInitialize(11), S_OK);
    ASSERT_EQ(sensor->NuiImageStreamOpen(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, NUI_IMAGE_RESOLUTION_320x240, 0, 2, depthEvent.get(),
                                         &stream),
              S_OK);
    ASSERT_EQ(sensor->NuiImageStreamSetImageFrameFlags(stream, NUI_IMAGE_STREAM_FLAG_ENABLE_NEAR_MODE), S_OK);
    ASSERT_EQ(sensor->NuiSkeletonTrackingEnable(skeletonEvent.get(), NUI_SKELETON_TRACKING_FLAG_ENABLE_SEATED_SUPPORT), S_OK);
    sensor->NuiShutdown();

    const auto log = v1::callLog();
    ASSERT_EQ(log.size(), 7u);
    EXPECT_EQ(log[0].operation, v1::Operation::Initialize);
    EXPECT_EQ(log[0].sensorIndex, 0);
    EXPECT_EQ(log[0].arguments, std::vector<std::int64_t>{10});
    EXPECT_EQ(log[1].result, E_NUI_STREAM_NOT_ENABLED);
    const std::vector<std::int64_t> open{NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, NUI_IMAGE_RESOLUTION_320x240, 0, 2,
                                         asInteger(depthEvent.get()), asInteger(&stream)};
    EXPECT_EQ(log[3].operation, v1::Operation::ImageStreamOpen);
    EXPECT_EQ(log[3].arguments, open);
    EXPECT_EQ(log[3].result, S_OK);
    EXPECT_EQ(log[4].arguments, (std::vector<std::int64_t>{asInteger(stream), 0x20000}));
    EXPECT_EQ(log[5].operation, v1::Operation::SkeletonTrackingEnable);
    EXPECT_EQ(log[5].arguments, (std::vector<std::int64_t>{asInteger(skeletonEvent.get()), 4}));
    EXPECT_EQ(log[6].operation, v1::Operation::Shutdown);
    EXPECT_TRUE(log[6].arguments.empty());

    INuiSensor* created = nullptr;
    EXPECT_TRUE(FAILED(NuiCreateSensorByIndex(4, &created)));
    const auto create = callsOf(v1::Operation::CreateSensorByIndex);
    ASSERT_EQ(create.size(), 1u);
    EXPECT_EQ(create[0].sensorIndex, -1);
    EXPECT_EQ(create[0].arguments[0], 4);
    EXPECT_TRUE(FAILED(create[0].result));
    EXPECT_STREQ(v1::operationName(v1::Operation::ImageStreamOpen), "NuiImageStreamOpen");

    v1::clearCallLog();
    EXPECT_TRUE(v1::callLog().empty());
}

TEST_F(ControlFaceTest, AFullCallLogKeepsTheNewestCallsInOrder) {
    // The log holds 32768 calls; the oldest go first.
    constexpr int kLogged = 32768;
    int count = 0;
    for (int i = 0; i < kLogged + 3; ++i) NuiCreateSensorByIndex(100 + i, nullptr);
    ASSERT_EQ(NuiGetSensorCount(&count), S_OK);
    const auto log = v1::callLog();
    ASSERT_EQ(log.size(), static_cast<std::size_t>(kLogged));
    EXPECT_EQ(log.front().arguments.at(0), 100 + 4) << "the four oldest calls are gone";
    EXPECT_EQ(log[log.size() - 2].arguments.at(0), 100 + kLogged + 2);
    EXPECT_EQ(log.back().operation, v1::Operation::GetSensorCount);
}

TEST_F(ControlFaceTest, ResetForgetsStreamsButHeldFramesStayReleasable) {
    v1::setScripted(0, true);
    SensorPtr sensor = createSensor();
    Event event;
    HANDLE stream = nullptr;
    ASSERT_EQ(sensor->NuiInitialize(NUI_INITIALIZE_FLAG_USES_DEPTH_AND_PLAYER_INDEX), S_OK);
    ASSERT_EQ(sensor->NuiImageStreamOpen(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, NUI_IMAGE_RESOLUTION_80x60, 0, 2, event.get(), &stream),
              S_OK);
    v1::queueImageFrame(0, v1::Stream::Depth, countingFrame(80 * 60 * 2, 0));
    v1::queueImageFrame(0, v1::Stream::Depth, countingFrame(80 * 60 * 2, 1));
    NUI_IMAGE_FRAME frame{};
    ASSERT_EQ(sensor->NuiImageStreamGetNextFrame(stream, 0, &frame), S_OK);
    v1::injectFailure(v1::Operation::Status, E_FAIL, -1);

    v1::reset();
    EXPECT_FALSE(event.signalled());
    EXPECT_EQ(sensor->NuiStatus(), S_OK);
    EXPECT_TRUE(v1::callLog().size() == 1u);
    NUI_IMAGE_FRAME next{};
    EXPECT_EQ(sensor->NuiImageStreamGetNextFrame(stream, 0, &next), E_INVALIDARG) << "the stream is gone";
    EXPECT_EQ(sensor->NuiImageStreamReleaseFrame(stream, &frame), S_OK);
    EXPECT_EQ(v1::framesOutstanding(0), 0);
    // Still initialised, and the queue is empty again.
    v1::setScripted(0, true);
    ASSERT_EQ(sensor->NuiImageStreamOpen(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, NUI_IMAGE_RESOLUTION_80x60, 0, 2, event.get(), &stream),
              S_OK);
    EXPECT_EQ(v1::readyFrameCount(0, v1::Stream::Depth), 0);
}

}  // namespace
}  // namespace runtime1_test
