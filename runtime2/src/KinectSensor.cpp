#include "KinectSensor.h"

#include "CoordinateMapper.h"
#include "Instrumentation.h"
#include "MultiSourceFrameReader.h"
#include "RuntimeState.h"
#include "SensorGeometry.h"

#include <memory>

namespace plexa::virtual2 {

KinectSensor::~KinectSensor() { RuntimeState::instance().sensorDestroyed(this); }

// Without a mapper (setMapperPresent(false)) the call succeeds with null, as
// a runtime without mapping support would answer.
HRESULT STDMETHODCALLTYPE KinectSensor::get_CoordinateMapper(ICoordinateMapper** mapper) {
    if (mapper != nullptr) *mapper = nullptr;
    return traced({Operation::SensorGetCoordinateMapper}, {}, [&] {
        if (mapper == nullptr) return E_POINTER;
        if (RuntimeState::instance().mapperPresent()) *mapper = handOut<CoordinateMapper>();
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE KinectSensor::Open() {
    return traced({Operation::SensorOpen}, {}, [] { return RuntimeState::instance().openSensor(); });
}

HRESULT STDMETHODCALLTYPE KinectSensor::Close() {
    return traced({Operation::SensorClose}, {}, [] {
        RuntimeState::instance().closeSensor();
        return S_OK;
    });
}

// An empty mask, or bits that name no source, is refused with E_INVALIDARG;
// a closed sensor refuses with E_FAIL.
HRESULT STDMETHODCALLTYPE KinectSensor::OpenMultiSourceFrameReader(DWORD enabledFrameSourceTypes,
                                                                   IMultiSourceFrameReader** reader) {
    if (reader != nullptr) *reader = nullptr;
    return traced({Operation::SensorOpenMultiSourceFrameReader}, {enabledFrameSourceTypes}, [&] {
        if (reader == nullptr) return E_POINTER;
        if (enabledFrameSourceTypes == FrameSourceTypes_None || (enabledFrameSourceTypes & ~kAllFrameSources) != 0) {
            return E_INVALIDARG;
        }
        auto opened = std::make_unique<MultiSourceFrameReader>(*this, enabledFrameSourceTypes);
        const HRESULT attached = opened->attach();
        if (FAILED(attached)) return attached;
        *reader = opened.release();
        return S_OK;
    });
}

}  // namespace plexa::virtual2
