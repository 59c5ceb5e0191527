// The runtime's two exported functions.
#include "CallJournal.h"
#include "NuiSensorObject.h"
#include "ProcessState.h"

using plexa::virtual1::Operation;
using plexa::virtual1::asInteger;
using plexa::virtual1::journal;
using plexa::virtual1::processState;

extern "C" {

NUI_RUNTIME_API HRESULT NuiGetSensorCount(int* count) {
    return journal().call(Operation::GetSensorCount, -1, {asInteger(count)}, [&]() -> HRESULT {
        if (count == nullptr) return E_POINTER;
        *count = processState().connectedCount();
        return S_OK;
    });
}

NUI_RUNTIME_API HRESULT NuiCreateSensorByIndex(int index, INuiSensor** sensor) {
    return journal().call(Operation::CreateSensorByIndex, -1, {index, asInteger(sensor)}, [&]() -> HRESULT {
        if (sensor == nullptr) return E_POINTER;
        *sensor = nullptr;
        if (!processState().isConnected(index)) return E_INVALIDARG;
        try {
            *sensor = plexa::virtual1::createSensorObject(index);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        return S_OK;
    });
}

}  // extern "C"
