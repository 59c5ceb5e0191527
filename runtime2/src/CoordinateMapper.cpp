#include "CoordinateMapper.h"

#include "CameraModel.h"
#include "Instrumentation.h"
#include "SensorGeometry.h"

#include <cstddef>
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
HRESULT checkFrame(UINT depthPointCount, const void* depth, UINT outputCount, const void* output) {
    if (depth == nullptr || output == nullptr) return E_POINTER;
    if (depthPointCount != static_cast<UINT>(kDepthPixelCount) || outputCount != depthPointCount) {
        return E_INVALIDARG;
    }
    return S_OK;
}

HRESULT wholeFrameMapped(std::size_t mapped) {
    return mapped == static_cast<std::size_t>(kDepthPixelCount) ? S_OK : E_FAIL;
}

}  // namespace

HRESULT STDMETHODCALLTYPE CoordinateMapper::MapDepthFrameToColorSpace(UINT depthPointCount,
                                                                      const UINT16* depthFrameData,
                                                                      UINT colorPointCount,
                                                                      ColorSpacePoint* colorSpacePoints) {
    return traced({Operation::MapperMapDepthFrameToColorSpace}, {depthPointCount, colorPointCount}, [&] {
        const HRESULT checked = checkFrame(depthPointCount, depthFrameData, colorPointCount, colorSpacePoints);
        if (FAILED(checked)) return checked;
        return wholeFrameMapped(CameraModel::instance().rig().mapDepthFrameToColor(
            depthFrameData, depthPointCount, reinterpret_cast<scene::ImagePoint*>(colorSpacePoints)));
    });
}

HRESULT STDMETHODCALLTYPE CoordinateMapper::MapDepthFrameToCameraSpace(UINT depthPointCount,
                                                                       const UINT16* depthFrameData,
                                                                       UINT cameraPointCount,
                                                                       CameraSpacePoint* cameraSpacePoints) {
    return traced({Operation::MapperMapDepthFrameToCameraSpace}, {depthPointCount, cameraPointCount}, [&] {
        const HRESULT checked = checkFrame(depthPointCount, depthFrameData, cameraPointCount, cameraSpacePoints);
        if (FAILED(checked)) return checked;
        return wholeFrameMapped(CameraModel::instance().rig().mapDepthFrameToCamera(
            depthFrameData, depthPointCount, reinterpret_cast<scene::CameraPoint*>(cameraSpacePoints)));
    });
}

HRESULT STDMETHODCALLTYPE CoordinateMapper::GetDepthCameraIntrinsics(CameraIntrinsics* intrinsics) {
    return traced({Operation::MapperGetDepthCameraIntrinsics}, {}, [&] {
        if (intrinsics == nullptr) return E_POINTER;
        *intrinsics = CameraModel::instance().depthIntrinsics();
        return S_OK;
    });
}

}  // namespace plexa::virtual2
