// The runtime's two exported functions. How many sensors there are and what
// serves each is the process's source selection (sources/SourceList.h).
#include "CallJournal.h"
#include "NuiSensorObject.h"
#include "sources/SourceList.h"
#include "sources/VirtualSensors.h"

using plexa::virtual1::asInteger;
using plexa::virtual1::journal;
using plexa::virtual1::Operation;
using plexa::virtual1::sourceSelection;

extern "C" {

NUI_RUNTIME_API HRESULT NuiGetSensorCount(int* count) {
    return journal().call(Operation::GetSensorCount, -1, {asInteger(count)}, [&]() -> HRESULT {
        if (count == nullptr) return E_POINTER;
        *count = sourceSelection().sensorCount();
        return S_OK;
    });
}

NUI_RUNTIME_API HRESULT NuiCreateSensorByIndex(int index, INuiSensor** sensor) {
    return journal().call(Operation::CreateSensorByIndex, -1, {index, asInteger(sensor)}, [&]() -> HRESULT {
        if (sensor == nullptr) return E_POINTER;
        *sensor = nullptr;
        if (!plexa::virtual1::isSensorIndex(index)) return E_INVALIDARG;
        try {
            std::shared_ptr<plexa::virtual1::SensorSource> source;
            const HRESULT found = sourceSelection().sourceFor(index, source);
            if (FAILED(found)) return found;
            *sensor = plexa::virtual1::createSensorObject(index, std::move(source));
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        return S_OK;
    });
}

}  // extern "C"
