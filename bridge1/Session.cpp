// The session's life cycle: construction, start-up and shutdown.
#include "KSDK.h"

#include "EventThread.h"
#include "EventThreadStop.h"
#include "JavaGlobalReference.h"
#include "ResolutionSize.h"

#include <new>

namespace {

constexpr DWORD kStreamFrameLimit = 2;
constexpr std::size_t kSkeletonPositionCount = NUI_SKELETON_COUNT * NUI_SKELETON_POSITION_COUNT * 3;
constexpr std::size_t kJointStateCount = NUI_SKELETON_COUNT * NUI_SKELETON_POSITION_COUNT;
constexpr std::size_t kFloorPlaneCount = 4;

std::int32_t resolutionOrNone(std::int32_t code) {
    return code < NUI_IMAGE_RESOLUTION_INVALID || code > NUI_IMAGE_RESOLUTION_1280x960 ? NUI_IMAGE_RESOLUTION_INVALID : code;
}

HANDLE newManualResetEvent() { return CreateEventA(nullptr, TRUE, FALSE, nullptr); }

void closeEvent(HANDLE& event) {
    if (event != nullptr && event != INVALID_HANDLE_VALUE) CloseHandle(event);
    event = nullptr;
}

// Start-up messages go out without a line end; flushed so that they come
// before what Java prints next through its own buffer.
void printStartFailure(const char* message) {
    std::printf("%s", message);
    std::fflush(stdout);
}

template <typename Element>
std::unique_ptr<Element[]> zeroedArray(std::size_t count) {
    return std::unique_ptr<Element[]>(new (std::nothrow) Element[count]());
}

}  // namespace

KSDK::KSDK(int index) {
    INuiSensor* created = nullptr;
    if (FAILED(NuiCreateSensorByIndex(index, &created))) created = nullptr;
    sensor = created;
}

// Runs only once the session has ended and nothing can reach it.
KSDK::~KSDK() {
    Nui_CloseDepthFile();
    releaseJavaBinding();
    if (sensor != nullptr) sensor->Release();
}

void KSDK::Nui_Zero() {
    depthEvent = nullptr;
    videoEvent = nullptr;
    skeletonEvent = nullptr;
    depthStream = nullptr;
    videoStream = nullptr;
    eventThread = nullptr;
    stopEvent = nullptr;
    freeBuffers();
}

HRESULT KSDK::Nui_Init(bool skeleton, std::int32_t depthResolutionCode, std::int32_t videoResolutionCode,
                       bool infrared) {
    // Held until the thread exists, so that a stop from anywhere (even from the
    // new thread's first callback) sees the session either before start-up or
    // fully started.
    const auto lock = lifecycle.lockForStartUp();
    if (lifecycle.stopRequestedDuringStartUp()) return E_FAIL;
    if (sensor == nullptr) return E_POINTER;
    startUpBegun = true;

    depthResolution = resolutionOrNone(depthResolutionCode);
    videoResolution = resolutionOrNone(videoResolutionCode);
    // The three frame events exist whatever is asked for, so the wait list
    // never holds a null handle.
    depthEvent = newManualResetEvent();
    if (depthEvent == nullptr) return E_OUTOFMEMORY;
    videoEvent = newManualResetEvent();
    if (videoEvent == nullptr) return E_OUTOFMEMORY;
    skeletonEvent = newManualResetEvent();
    if (skeletonEvent == nullptr) return E_OUTOFMEMORY;
    return openStreamsAndStart(skeleton, infrared);
}

HRESULT KSDK::openStreamsAndStart(bool skeleton, bool infrared) {
    DWORD flags = 0;
    if (depthResolution != NUI_IMAGE_RESOLUTION_INVALID) flags |= NUI_INITIALIZE_FLAG_USES_DEPTH_AND_PLAYER_INDEX;
    if (videoResolution != NUI_IMAGE_RESOLUTION_INVALID) flags |= NUI_INITIALIZE_FLAG_USES_COLOR;
    if (skeleton) flags |= NUI_INITIALIZE_FLAG_USES_SKELETON;

    HRESULT result = sensor->NuiInitialize(flags);
    if (FAILED(result)) {
        std::printf("%d", static_cast<int>(result));
        printStartFailure("Cannot initialize the Kinect device.\nCheck if it is connected and powered.");
        return result;
    }
    if (skeleton) {
        result = sensor->NuiSkeletonTrackingEnable(skeletonEvent, 0);
        if (FAILED(result)) {
            printStartFailure("Cannot start skeleton tracking.");
            return result;
        }
    }
    if (videoResolution != NUI_IMAGE_RESOLUTION_INVALID) {
        infraredMode = infrared;
        const NUI_IMAGE_TYPE imageType = infrared ? NUI_IMAGE_TYPE_COLOR_INFRARED : NUI_IMAGE_TYPE_COLOR;
        result = sensor->NuiImageStreamOpen(imageType, static_cast<NUI_IMAGE_RESOLUTION>(videoResolution), 0,
                                            kStreamFrameLimit, videoEvent, &videoStream);
        if (FAILED(result)) {
            printStartFailure("Cannot start color stream.");
            return result;
        }
    }
    if (depthResolution != NUI_IMAGE_RESOLUTION_INVALID) {
        result = sensor->NuiImageStreamOpen(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX,
                                            static_cast<NUI_IMAGE_RESOLUTION>(depthResolution), 0, kStreamFrameLimit,
                                            depthEvent, &depthStream);
        if (FAILED(result)) {
            printStartFailure("Cannot start depth stream.");
            return result;
        }
    }

    skeletonFrameCount.store(0, std::memory_order_relaxed);
    videoFrameCount.store(0, std::memory_order_relaxed);
    depthFrameCount.store(0, std::memory_order_relaxed);

    skeletonPositions = zeroedArray<float>(kSkeletonPositionCount);
    skeletonTracked = zeroedArray<std::uint8_t>(NUI_SKELETON_COUNT);
    jointStates = zeroedArray<std::uint8_t>(kJointStateCount);
    floorPlane = zeroedArray<float>(kFloorPlaneCount);
    if (!skeletonPositions || !skeletonTracked || !jointStates || !floorPlane) return E_OUTOFMEMORY;

    stopEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);  // auto-reset: the wait that sees it consumes it
    if (stopEvent == nullptr) return E_OUTOFMEMORY;
    eventThread = CreateThread(nullptr, 0, plexa::bridge1::eventThreadRoutine, this, 0, nullptr);
    if (eventThread == nullptr) return E_FAIL;
    lifecycle.eventThreadCreated();
    return result;
}

void KSDK::Nui_UnInit() {
    using StopRoute = plexa::SessionLifecycle::StopRoute;
    if (lifecycle.requestStop(plexa::bridge1::onEventThread(), stopEvent) != StopRoute::ByCaller) return;
    plexa::stopAndJoinEventThread(stopEvent, eventThread);
    releaseRuntimeAndBuffers();
    releaseJavaBinding();
    lifecycle.stopDone();
}

void KSDK::Nui_StopReplaced() {
    using StopRoute = plexa::SessionLifecycle::StopRoute;
    if (lifecycle.requestStopForReplacement(plexa::bridge1::onEventThread(), stopEvent) == StopRoute::ByCaller) {
        plexa::stopAndJoinEventThread(stopEvent, eventThread);
        if (startUpBegun) releaseRuntimeAndBuffers();
        releaseJavaBinding();
        lifecycle.stopDone();
    }
    // Under the recording's lock: the event thread, if it is still ending,
    // appends whole records only, and none after this.
    Nui_CloseDepthFile();
}

void KSDK::Nui_AwaitStopUnderWay() { lifecycle.awaitStopUnderWay(plexa::bridge1::onEventThread()); }

void KSDK::Nui_FinishStopOnEventThread() {
    if (!lifecycle.eventThreadEnding()) return;
    // The loop has ended, which is all that waiting for the thread would
    // ensure. Closing its own handle lets the thread finish by itself.
    CloseHandle(eventThread);
    eventThread = nullptr;
    CloseHandle(stopEvent);
    stopEvent = nullptr;
    releaseRuntimeAndBuffers();
    releaseJavaBinding();
    lifecycle.stopDone();
}

void KSDK::releaseJavaBinding() { plexa::deleteGlobalReference(javaVM, callbackTarget); }

void KSDK::releaseRuntimeAndBuffers() {
    if (sensor != nullptr) sensor->NuiShutdown();
    closeEvent(skeletonEvent);
    closeEvent(depthEvent);
    closeEvent(videoEvent);
    freeBuffers();
}

void KSDK::freeBuffers() {
    skeletonPositions.reset();
    skeletonTracked.reset();
    jointStates.reset();
    floorPlane.reset();
    uvRaw.reset();
    uvLastMapped.reset();
}

int KSDK::depthWidth() const { return plexa::bridge1::resolutionSize(depthResolution).width; }
int KSDK::depthHeight() const { return plexa::bridge1::resolutionSize(depthResolution).height; }
int KSDK::videoWidth() const { return plexa::bridge1::resolutionSize(videoResolution).width; }
int KSDK::videoHeight() const { return plexa::bridge1::resolutionSize(videoResolution).height; }
