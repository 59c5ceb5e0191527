// The runtime's one exported function.
#include "Instrumentation.h"
#include "KinectSensor.h"
#include "RuntimeState.h"

extern "C" KINECT_RUNTIME_API HRESULT WINAPI GetDefaultKinectSensor(IKinectSensor** sensor) {
    using namespace plexa::virtual2;
    if (sensor != nullptr) *sensor = nullptr;
    return traced({Operation::GetDefaultKinectSensor}, {}, [&] {
        if (sensor == nullptr) return E_POINTER;
        return RuntimeState::instance().takeDefaultSensor(
            sensor, []() -> RuntimeState::SensorObject* { return handOut<KinectSensor>(); });
    });
}
