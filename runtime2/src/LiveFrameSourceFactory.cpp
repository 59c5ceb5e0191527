// The one place that decides what live mode films.
#include "LiveFrameSource.h"

namespace plexa::virtual2 {

std::unique_ptr<LiveFrameSource> makeLiveFrameSource() { return makeMovingBoxSource(); }

}  // namespace plexa::virtual2
