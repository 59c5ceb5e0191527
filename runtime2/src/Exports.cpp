// The runtime's one exported function.
#include "Instrumentation.h"
#include "KinectSensor.h"
#include "RuntimeState.h"

using plexa::virtual2::Operation;

extern "C" KINECT_RUNTIME_API HRESULT WINAPI GetDefaultKinectSensor(IKinectSensor** sensor) {
    if (sensor != nullptr) *sensor = nullptr;
    return plexa::virtual2::traced({Operation::GetDefaultKinectSensor}, {}, [&] {
        if (sensor == nullptr) return E_POINTER;
        return plexa::virtual2::RuntimeState::instance().takeDefaultSensor(
            sensor, []() -> plexa::virtual2::RuntimeState::SensorObject* {
                return plexa::virtual2::handOut<plexa::virtual2::KinectSensor>();
            });
    });
}
