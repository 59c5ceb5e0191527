// The multi-source reader: frame-arrived subscriptions and the acquisition of
// the latest frame. It keeps its sensor alive while it exists.
#pragma once

#include "RefCounted.h"
#include "RuntimeState.h"

namespace plexa::virtual2 {

class MultiSourceFrameReader final : public RefCounted<IMultiSourceFrameReader> {
public:
    // `sensor` is the one that opened the reader; the reader holds a reference to it.
    MultiSourceFrameReader(IKinectSensor& sensor, DWORD sources);
    ~MultiSourceFrameReader() override;

    // Registers the reader for frames; fails unless the sensor is open.
    HRESULT attach();

    HRESULT STDMETHODCALLTYPE SubscribeMultiSourceFrameArrived(WAITABLE_HANDLE* waitableHandle) override;
    HRESULT STDMETHODCALLTYPE UnsubscribeMultiSourceFrameArrived(WAITABLE_HANDLE waitableHandle) override;
    HRESULT STDMETHODCALLTYPE AcquireLatestFrame(IMultiSourceFrame** frame) override;

private:
    HeldReference<IKinectSensor> sensor_;
    ReaderChannel channel_;
    bool attached_ = false;
};

}  // namespace plexa::virtual2
