#include "MultiSourceFrameReader.h"

#include "Instrumentation.h"
#include "MultiSourceFrame.h"

namespace plexa::virtual2 {

MultiSourceFrameReader::MultiSourceFrameReader(IKinectSensor& sensor, DWORD sources) : sensor_(holdReference(sensor)) {
    channel_.sources = sources;
}

// Ends the subscriptions (the runtime owns their handles) before the sensor
// reference goes.
MultiSourceFrameReader::~MultiSourceFrameReader() {
    if (attached_) RuntimeState::instance().detachReader(channel_);
}

HRESULT MultiSourceFrameReader::attach() {
    const HRESULT result = RuntimeState::instance().attachReader(channel_);
    attached_ = SUCCEEDED(result);
    return result;
}

HRESULT STDMETHODCALLTYPE MultiSourceFrameReader::SubscribeMultiSourceFrameArrived(WAITABLE_HANDLE* waitableHandle) {
    if (waitableHandle != nullptr) *waitableHandle = 0;
    return traced({Operation::ReaderSubscribeMultiSourceFrameArrived}, {}, [&] {
        if (waitableHandle == nullptr) return E_POINTER;
        return RuntimeState::instance().subscribe(channel_, waitableHandle);
    });
}

HRESULT STDMETHODCALLTYPE MultiSourceFrameReader::UnsubscribeMultiSourceFrameArrived(WAITABLE_HANDLE waitableHandle) {
    return traced({Operation::ReaderUnsubscribeMultiSourceFrameArrived}, {waitableHandle},
                  [&] { return RuntimeState::instance().unsubscribe(channel_, waitableHandle); });
}

HRESULT STDMETHODCALLTYPE MultiSourceFrameReader::AcquireLatestFrame(IMultiSourceFrame** frame) {
    if (frame != nullptr) *frame = nullptr;
    return traced({Operation::ReaderAcquireLatestFrame}, {}, [&] {
        if (frame == nullptr) return E_POINTER;
        std::shared_ptr<const FrameContent> content;
        const HRESULT result = RuntimeState::instance().acquireFrame(channel_, content);
        if (FAILED(result)) return result;
        *frame = handOut<MultiSourceFrame>(channel_.sources, std::move(content));
        return S_OK;
    });
}

}  // namespace plexa::virtual2
