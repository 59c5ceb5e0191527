// The session's construction, start-up and release.
#include "KSDK.h"

namespace {

constexpr DWORD kStreamFrameLimit = 2;

std::int32_t resolutionOrNone(std::int32_t code) {
    return plexa::runtime1::isKnownResolution(code) ? code : NUI_IMAGE_RESOLUTION_INVALID;
}

}  // namespace

KSDK::KSDK(int index) : index_(index) {
    INuiSensor* created = nullptr;
    if (SUCCEEDED(NuiCreateSensorByIndex(index, &created))) sensor.reset(created);
}

HRESULT KSDK::Nui_Init(bool skeleton, std::int32_t depthResolutionCode, std::int32_t videoResolutionCode,
                       bool infrared) {
    const auto lock = lockForStartUp();
    if (stopRequestedDuringStartUp()) return E_FAIL;
    if (!sensor) return E_POINTER;
    startUpBegun = true;

    depthResolution = resolutionOrNone(depthResolutionCode);
    videoResolution = resolutionOrNone(videoResolutionCode);
    for (plexa::HandleOwner* event : {&depthEvent, &videoEvent, &skeletonEvent}) {
        event->reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));  // manual reset
        if (!*event) return E_OUTOFMEMORY;
    }
    return openStreamsAndStart(skeleton, infrared);
}

HRESULT KSDK::openStreamsAndStart(bool skeleton, bool infrared) {
    DWORD flags = 0;
    if (depthResolution != NUI_IMAGE_RESOLUTION_INVALID) flags |= NUI_INITIALIZE_FLAG_USES_DEPTH_AND_PLAYER_INDEX;
    if (videoResolution != NUI_IMAGE_RESOLUTION_INVALID) flags |= NUI_INITIALIZE_FLAG_USES_COLOR;
    if (skeleton) flags |= NUI_INITIALIZE_FLAG_USES_SKELETON;

    HRESULT result = sensor->NuiInitialize(flags);
    if (FAILED(result)) {
        printCannotInitialize(result);
        return result;
    }
    if (skeleton) {
        result = sensor->NuiSkeletonTrackingEnable(skeletonEvent.get(), 0);
        if (FAILED(result)) {
            printStartFailure("Cannot start skeleton tracking.");
            return result;
        }
    }
    if (videoResolution != NUI_IMAGE_RESOLUTION_INVALID) {
        infraredMode = infrared;
        const NUI_IMAGE_TYPE imageType = infrared ? NUI_IMAGE_TYPE_COLOR_INFRARED : NUI_IMAGE_TYPE_COLOR;
        result = sensor->NuiImageStreamOpen(imageType, static_cast<NUI_IMAGE_RESOLUTION>(videoResolution), 0,
                                            kStreamFrameLimit, videoEvent.get(), &videoStream);
        if (FAILED(result)) {
            printStartFailure("Cannot start color stream.");
            return result;
        }
    }
    if (depthResolution != NUI_IMAGE_RESOLUTION_INVALID) {
        result = sensor->NuiImageStreamOpen(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX,
                                            static_cast<NUI_IMAGE_RESOLUTION>(depthResolution), 0, kStreamFrameLimit,
                                            depthEvent.get(), &depthStream);
        if (FAILED(result)) {
            printStartFailure("Cannot start depth stream.");
            return result;
        }
    }

    skeletonFrameCount.store(0, std::memory_order_relaxed);
    videoFrameCount.store(0, std::memory_order_relaxed);
    depthFrameCount.store(0, std::memory_order_relaxed);

    buffers = plexa::bridge1::FrameBufferShelf::shared().take(index_);
    if (!buffers) return E_OUTOFMEMORY;
    const HRESULT started = startEventThread(E_OUTOFMEMORY);
    return FAILED(started) ? started : result;
}

void KSDK::Nui_StopReplaced() {
    SessionSkeleton::Nui_StopReplaced();
    depthRecorder.close();
}

void KSDK::releaseStreams(bool replaced) {
    // A session replaced before its start-up opened nothing to shut down.
    if (replaced && !startUpBegun) return;
    if (sensor) sensor->NuiShutdown();
    skeletonEvent.reset();
    depthEvent.reset();
    videoEvent.reset();
    plexa::bridge1::FrameBufferShelf::shared().put(index_, std::move(buffers));
}
