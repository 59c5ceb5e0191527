#include "VirtualSource.h"

#include "ProcessState.h"

namespace plexa::virtual1 {

bool VirtualSource::isConnected() {
    return processState().isConnected(index_);
}

HRESULT VirtualSource::status() {
    return processState().isConnected(index_) ? processState().status(index_) : E_NUI_NOTCONNECTED;
}

HRESULT VirtualSource::setElevation(LONG degrees) {
    processState().setElevation(index_, degrees);
    return S_OK;
}

HRESULT VirtualSource::elevation(LONG& degrees) {
    degrees = processState().elevation(index_);
    return S_OK;
}

HRESULT VirtualSource::accelerometer(Vector4& reading) {
    reading = processState().accelerometer(index_);
    return S_OK;
}

}  // namespace plexa::virtual1
