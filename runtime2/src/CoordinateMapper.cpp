#include "CoordinateMapper.h"

#include "CameraModel.h"
#include "Instrumentation.h"
#include "SensorGeometry.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace plexa::virtual2 {
namespace {

// The rig writes its points straight into the caller's array: both sides are
// plain packed floats in the same order.
static_assert(sizeof(CameraSpacePoint) == sizeof(scene::CameraPoint) &&
                  offsetof(CameraSpacePoint, Y) == offsetof(scene::CameraPoint, y) &&
                  offsetof(CameraSpacePoint, Z) == offsetof(scene::CameraPoint, z),
              "camera points share one layout");
static_assert(sizeof(ColorSpacePoint) == sizeof(scene::ImagePoint) &&
                  offsetof(ColorSpacePoint, Y) == offsetof(scene::ImagePoint, y),
              "color points share one layout");
static_assert(std::is_standard_layout_v<CameraSpacePoint> && std::is_standard_layout_v<scene::CameraPoint> &&
                  std::is_standard_layout_v<ColorSpacePoint> && std::is_standard_layout_v<scene::ImagePoint>,
              "points are plain records");

// The mapper works on whole depth frames of the sensor's size only; any other
// count is refused before anything is written.
template <typename Point, typename ScenePoint>
HRESULT mapWholeFrame(Operation operation,
                      std::size_t (scene::Rig2::*map)(const std::uint16_t*, std::size_t, ScenePoint*) const,
                      UINT depthPointCount, const UINT16* depth, UINT outputCount, Point* output) {
    return traced({operation}, {depthPointCount, outputCount}, [&] {
        if (depth == nullptr || output == nullptr) return E_POINTER;
        if (depthPointCount != static_cast<UINT>(kDepthPixelCount) || outputCount != depthPointCount) {
            return E_INVALIDARG;
        }
        const std::size_t mapped =
            (CameraModel::instance().rig().*map)(depth, depthPointCount, reinterpret_cast<ScenePoint*>(output));
        return mapped == static_cast<std::size_t>(kDepthPixelCount) ? S_OK : E_FAIL;
    });
}

}  // namespace

HRESULT STDMETHODCALLTYPE CoordinateMapper::MapDepthFrameToColorSpace(UINT depthCount, const UINT16* depth,
                                                                      UINT pointCount, ColorSpacePoint* points) {
    return mapWholeFrame(Operation::MapperMapDepthFrameToColorSpace, &scene::Rig2::mapDepthFrameToColor, depthCount,
                         depth, pointCount, points);
}

HRESULT STDMETHODCALLTYPE CoordinateMapper::MapDepthFrameToCameraSpace(UINT depthCount, const UINT16* depth,
                                                                       UINT pointCount, CameraSpacePoint* points) {
    return mapWholeFrame(Operation::MapperMapDepthFrameToCameraSpace, &scene::Rig2::mapDepthFrameToCamera, depthCount,
                         depth, pointCount, points);
}

HRESULT STDMETHODCALLTYPE CoordinateMapper::GetDepthCameraIntrinsics(CameraIntrinsics* intrinsics) {
    return answer({Operation::MapperGetDepthCameraIntrinsics}, intrinsics, CameraModel::instance().depthIntrinsics());
}

}  // namespace plexa::virtual2
