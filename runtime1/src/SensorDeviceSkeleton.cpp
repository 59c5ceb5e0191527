// Skeleton tracking and smoothing of one sensor.
#include "SensorDevice.h"

#include <limits>

namespace plexa::virtual1 {

namespace {

// Fractions within [0, 1], the rest finite and not negative; NaN is neither.
bool validSmoothing(const NUI_TRANSFORM_SMOOTH_PARAMETERS& p) {
    const auto within = [](float value, float high) { return value >= 0.0f && value <= high; };
    constexpr float finite = std::numeric_limits<float>::max();
    return within(p.fSmoothing, 1.0f) && within(p.fCorrection, 1.0f) && within(p.fPrediction, finite) &&
           within(p.fJitterRadius, finite) && within(p.fMaxDeviationRadius, finite);
}

}  // namespace

HRESULT SensorDevice::enableSkeletonTracking(HANDLE nextFrameEvent, DWORD flags) {
    const HRESULT offered = source_->checkSkeletonTracking();
    if (FAILED(offered)) return offered;
    Lock lock(mutex_);
    if (!hasSkeletonFeature()) return E_NUI_FEATURE_NOT_INITIALIZED;
    if ((flags & ~NUI_SKELETON_TRACKING_FLAG_ENABLE_SEATED_SUPPORT) != 0) return E_INVALIDARG;
    tracker_.enable(nextFrameEvent, flags);
    source_->trackingEnabled(shared_from_this());
    takeScriptedFramesLocked();
    return S_OK;
}

HRESULT SensorDevice::disableSkeletonTracking() {
    const HRESULT offered = source_->checkSkeletonTracking();
    if (FAILED(offered)) return offered;
    Lock lock(mutex_);
    if (!hasSkeletonFeature()) return E_NUI_FEATURE_NOT_INITIALIZED;
    endTracking();
    changed_.notify_all();
    return S_OK;
}

HRESULT SensorDevice::getNextSkeletonFrame(DWORD millisecondsToWait, NUI_SKELETON_FRAME* frame) {
    if (frame == nullptr) return E_POINTER;
    const HRESULT offered = source_->checkSkeletonTracking();
    if (FAILED(offered)) return offered;
    Lock lock(mutex_);
    if (!hasSkeletonFeature()) return E_NUI_FEATURE_NOT_INITIALIZED;
    if (!tracker_.enabled()) return E_NUI_STREAM_NOT_ENABLED;
    if (tracker_.readyCount() == 0 && millisecondsToWait > 0) {
        waitFor(lock, millisecondsToWait, [&] { return !tracker_.enabled() || tracker_.readyCount() > 0; });
        if (!hasSkeletonFeature()) return E_NUI_FEATURE_NOT_INITIALIZED;
        if (!tracker_.enabled()) return E_NUI_STREAM_NOT_ENABLED;
    }
    return tracker_.takeNext(*frame) ? S_OK : E_NUI_FRAME_NO_DATA;
}

HRESULT SensorDevice::transformSmooth(NUI_SKELETON_FRAME* frame, const NUI_TRANSFORM_SMOOTH_PARAMETERS* parameters) {
    if (frame == nullptr) return E_POINTER;
    if (parameters != nullptr && !validSmoothing(*parameters)) return E_INVALIDARG;
    Lock lock(mutex_);
    smoothing_.apply(*frame, parameters);
    return S_OK;
}

void SensorDevice::endTracking() {
    if (!tracker_.enabled()) return;
    source_->trackingDisabled(this, tracker_.disable());
}

}  // namespace plexa::virtual1
