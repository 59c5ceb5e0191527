// Skeleton tracking and smoothing of one sensor.
#include "SensorDevice.h"

#include "ProcessState.h"

#include <cmath>

namespace plexa::virtual1 {

namespace {

bool within(float value, float low, float high) {
    return value >= low && value <= high;  // false for NaN
}

bool validSmoothing(const NuiTransformSmoothParameters& p) {
    return within(p.smoothing, 0.0f, 1.0f) && within(p.correction, 0.0f, 1.0f) && std::isfinite(p.prediction) &&
           p.prediction >= 0.0f && std::isfinite(p.jitterRadius) && p.jitterRadius >= 0.0f &&
           std::isfinite(p.maxDeviationRadius) && p.maxDeviationRadius >= 0.0f;
}

}  // namespace

HRESULT SensorDevice::enableSkeletonTracking(HANDLE nextFrameEvent, DWORD flags) {
    Lock lock(mutex_);
    if (!hasSkeletonFeature()) return NuiErrorFeatureNotInitialized;
    if ((flags & ~NuiSkeletonTrackingSeated) != 0) return E_INVALIDARG;
    tracker_.enable(nextFrameEvent, flags);
    processState().claimSkeletonFrames(index_, this);
    takeScriptedFramesLocked();
    startLiveTicks();
    return S_OK;
}

HRESULT SensorDevice::disableSkeletonTracking() {
    Lock lock(mutex_);
    if (!hasSkeletonFeature()) return NuiErrorFeatureNotInitialized;
    endTracking();
    changed_.notify_all();
    return S_OK;
}

HRESULT SensorDevice::getNextSkeletonFrame(DWORD millisecondsToWait, NuiSkeletonFrame* frame) {
    if (frame == nullptr) return E_POINTER;
    Lock lock(mutex_);
    if (!hasSkeletonFeature()) return NuiErrorFeatureNotInitialized;
    if (!tracker_.enabled()) return NuiErrorStreamNotEnabled;
    if (tracker_.readyCount() == 0 && millisecondsToWait > 0) {
        waitFor(lock, millisecondsToWait, [&] { return !tracker_.enabled() || tracker_.readyCount() > 0; });
        if (!hasSkeletonFeature()) return NuiErrorFeatureNotInitialized;
        if (!tracker_.enabled()) return NuiErrorStreamNotEnabled;
    }
    return tracker_.takeNext(*frame) ? S_OK : NuiErrorFrameNoData;
}

HRESULT SensorDevice::transformSmooth(NuiSkeletonFrame* frame, const NuiTransformSmoothParameters* parameters) {
    if (frame == nullptr) return E_POINTER;
    if (parameters != nullptr && !validSmoothing(*parameters)) return E_INVALIDARG;
    Lock lock(mutex_);
    smoothing_.apply(*frame, parameters);
    return S_OK;
}

void SensorDevice::endTracking() {
    if (!tracker_.enabled()) return;
    processState().returnSkeletons(index_, tracker_.disable());
    processState().yieldSkeletonFrames(index_, this);
}

}  // namespace plexa::virtual1
