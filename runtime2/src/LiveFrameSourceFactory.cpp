// The one place that decides what live mode films.
#include "SceneFrameSource.h"

#include <memory>

namespace plexa::virtual2 {

std::unique_ptr<LiveFrameSource> makeLiveFrameSource() { return std::make_unique<SceneFrameSource>(); }

}  // namespace plexa::virtual2
