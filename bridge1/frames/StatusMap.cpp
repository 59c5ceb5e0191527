#include "StatusMap.h"

#include "runtime1/NuiRuntime.h"

namespace plexa::bridge1 {

std::int32_t statusFromResult(std::int32_t result) {
    switch (result) {
        case S_NUI_INITIALIZING:
        case E_NUI_STREAM_NOT_ENABLED:
        case E_NUI_IMAGE_STREAM_IN_USE:
        case E_NUI_FRAME_LIMIT_EXCEEDED:
        case E_NUI_FEATURE_NOT_INITIALIZED:
        case E_NUI_NOTGENUINE:
        case E_NUI_INSUFFICIENTBANDWIDTH:
        case E_NUI_NOTSUPPORTED:
        case E_NUI_DEVICE_IN_USE:
        case E_NUI_DATABASE_NOT_FOUND:
        case E_NUI_DATABASE_VERSION_MISMATCH:
        case E_NUI_HARDWARE_FEATURE_UNAVAILABLE:
        case E_NUI_NOTCONNECTED:
        case E_NUI_NOTREADY:
        case E_NUI_SKELETAL_ENGINE_BUSY:
        case E_NUI_NOTPOWERED:
        case E_NUI_BADINDEX:
            return static_cast<std::int32_t>(static_cast<std::uint32_t>(result) & 0xFFFFu);
        default:
            return result;
    }
}

}  // namespace plexa::bridge1
