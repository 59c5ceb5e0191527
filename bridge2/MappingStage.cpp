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

    // A mapping this frame asks for goes into its buffer, or is marked unavailable.
    const auto mapInto = [&](bool wanted, auto& buffer, bool& unavailable, auto&& map) {
        if (!wanted) return;
        if (!depthUsable || !buffer.ensure(depth.width, depth.height)) {
            unavailable = true;
        } else if (pointCount > 0) {
            map(buffer.data());
        }
    };
    FrameBuffers& buffers = *session.buffers;
    mapInto(frame.computeUV, buffers.uvBuffer, frame.uvUnavailable, [&](float* points) {
        mapper->MapDepthFrameToColorSpace(pointCount, depth.samples, pointCount,
                                          reinterpret_cast<ColorSpacePoint*>(points));
    });
    mapInto(frame.computeXYZ, buffers.xyzBuffer, frame.xyzUnavailable, [&](float* points) {
        mapper->MapDepthFrameToCameraSpace(pointCount, depth.samples, pointCount,
                                           reinterpret_cast<CameraSpacePoint*>(points));
    });
}

}  // namespace plexa::bridge2
