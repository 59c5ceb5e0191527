// Where libfreenect is not used (the Windows build, whose sensors come from
// the vendor's runtime): auto means the virtual sensor, and asking for
// freenect reports no sensor.
#include "FreenectSelection.h"
#include "UserMessages.h"

namespace plexa::virtual1 {

std::unique_ptr<SourceSelection> makeFreenectSelection(FreenectRequest request) {
    if (request == FreenectRequest::Auto) return nullptr;
    reportToUser("PLEXA_SENSOR1=freenect: libfreenect is not used on this platform; no sensor");
    return nullptr;
}

}  // namespace plexa::virtual1
