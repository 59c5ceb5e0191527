// The multi-source reader: frame-arrived subscriptions and the acquisition of
// the latest frame. It keeps its sensor alive while it exists.
#pragma once

#include "RefCounted.h"
#include "RuntimeState.h"

namespace plexa::virtual2 {

class KinectSensor;

class MultiSourceFrameReader final : public RefCounted<IMultiSourceFrameReader> {
public:
    MultiSourceFrameReader(KinectSensor& sensor, DWORD sources);
    ~MultiSourceFrameReader() override;

    // Registers the reader for frames; fails unless the sensor is open.
    HRESULT attach();

    HRESULT STDMETHODCALLTYPE SubscribeMultiSourceFrameArrived(WAITABLE_HANDLE* waitableHandle) override;
    HRESULT STDMETHODCALLTYPE UnsubscribeMultiSourceFrameArrived(WAITABLE_HANDLE waitableHandle) override;
    HRESULT STDMETHODCALLTYPE AcquireLatestFrame(IMultiSourceFrame** frame) override;

private:
    HeldReference<KinectSensor> sensor_;
    ReaderChannel channel_;
    bool attached_ = false;
};

}  // namespace plexa::virtual2
