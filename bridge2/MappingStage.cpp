// The mapping stage: for every depth pixel, its place in the color image and
// its camera-space point, through the session's coordinate mapper, into
// session buffers sized to the depth frame. The color points stay as the
// mapper gives them; delivery normalises them to 1920 x 1080 as it writes
// them into the Java array, so a buffer the mapper left untouched is never
// divided twice.
#include "FramePhases.h"
#include "KSDK.h"

namespace plexa::bridge2 {

void runMappingStage(KSDK& session, FrameWorkingSet& frame) {
    if (!session.streams.useDepth || (!frame.computeUV && !frame.computeXYZ)) return;
    // Without a mapper the entries carry what their buffers hold (nothing,
    // unless an earlier mapper filled them).
    ICoordinateMapper* mapper = session.coordinateMapper.get();
    if (mapper == nullptr) return;

    const ImageView<std::uint16_t>& depth = frame.depth;
    // The mapper reads width x height samples: only from a buffer that holds them.
    const std::int64_t points = elementCount(depth.width, depth.height, 1);
    const bool depthUsable =
        depth.samples != nullptr && points >= 0 && static_cast<std::uint64_t>(points) <= depth.capacity;
    const auto pointCount = static_cast<UINT>(points < 0 ? 0 : points);

    if (frame.computeUV) {
        if (!depthUsable || !session.buffers->uvBuffer.ensure(depth.width, depth.height)) {
            frame.uvUnavailable = true;
        } else if (pointCount > 0) {
            mapper->MapDepthFrameToColorSpace(pointCount, depth.samples, pointCount,
                                              reinterpret_cast<ColorSpacePoint*>(session.buffers->uvBuffer.data()));
        }
    }
    if (frame.computeXYZ) {
        if (!depthUsable || !session.buffers->xyzBuffer.ensure(depth.width, depth.height)) {
            frame.xyzUnavailable = true;
        } else if (pointCount > 0) {
            mapper->MapDepthFrameToCameraSpace(pointCount, depth.samples, pointCount,
                                               reinterpret_cast<CameraSpacePoint*>(session.buffers->xyzBuffer.data()));
        }
    }
}

}  // namespace plexa::bridge2
