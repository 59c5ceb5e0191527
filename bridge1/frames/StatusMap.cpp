#include "StatusMap.h"

#include "runtime1/NuiRuntime.h"

namespace plexa::bridge1 {

std::int32_t statusFromResult(std::int32_t result) {
    switch (result) {
        case NuiResultInitializing:
        case NuiErrorStreamNotEnabled:
        case NuiErrorImageStreamInUse:
        case NuiErrorFrameLimitExceeded:
        case NuiErrorFeatureNotInitialized:
        case NuiErrorDeviceNotGenuine:
        case NuiErrorInsufficientBandwidth:
        case NuiErrorNotSupported:
        case NuiErrorDeviceInUse:
        case NuiErrorDatabaseNotFound:
        case NuiErrorDatabaseVersionMismatch:
        case NuiErrorHardwareFeatureUnavailable:
        case NuiErrorNotConnected:
        case NuiErrorNotReady:
        case NuiErrorSkeletalEngineBusy:
        case NuiErrorNotPowered:
        case NuiErrorBadIndex:
            return static_cast<std::int32_t>(static_cast<std::uint32_t>(result) & 0xFFFFu);
        default:
            return result;
    }
}

}  // namespace plexa::bridge1
