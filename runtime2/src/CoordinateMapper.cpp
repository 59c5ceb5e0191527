#include "CoordinateMapper.h"

#include "CameraModel.h"
#include "Instrumentation.h"
#include "SensorGeometry.h"

#include <limits>

namespace plexa::virtual2 {
namespace {

constexpr float kNoDepth = -std::numeric_limits<float>::infinity();

// The mapper works on whole depth frames of the sensor's size only; any other
// count is refused before anything is written.
HRESULT checkFrame(UINT depthPointCount, const void* depth, UINT outputCount, const void* output) {
    if (depth == nullptr || output == nullptr) return E_POINTER;
    if (depthPointCount != static_cast<UINT>(kDepthPixelCount) || outputCount != depthPointCount) {
        return E_INVALIDARG;
    }
    return S_OK;
}

}  // namespace

HRESULT CoordinateMapper::MapDepthFrameToColorSpace(UINT depthPointCount, const UINT16* depthFrameData,
                                                    UINT colorPointCount, ColorSpacePoint* colorSpacePoints) {
    return traced({Operation::MapperMapDepthFrameToColorSpace}, {depthPointCount, colorPointCount}, [&] {
        const HRESULT checked = checkFrame(depthPointCount, depthFrameData, colorPointCount, colorSpacePoints);
        if (FAILED(checked)) return checked;
        const CameraModel& model = CameraModel::instance();
        for (int i = 0; i < kDepthPixelCount; ++i) {
            const UINT16 depth = depthFrameData[i];
            colorSpacePoints[i] = depth == 0 ? ColorSpacePoint{kNoDepth, kNoDepth}
                                             : model.cameraToColor(model.depthPixelToCamera(i, depth));
        }
        return S_OK;
    });
}

HRESULT CoordinateMapper::MapDepthFrameToCameraSpace(UINT depthPointCount, const UINT16* depthFrameData,
                                                     UINT cameraPointCount, CameraSpacePoint* cameraSpacePoints) {
    return traced({Operation::MapperMapDepthFrameToCameraSpace}, {depthPointCount, cameraPointCount}, [&] {
        const HRESULT checked = checkFrame(depthPointCount, depthFrameData, cameraPointCount, cameraSpacePoints);
        if (FAILED(checked)) return checked;
        const CameraModel& model = CameraModel::instance();
        for (int i = 0; i < kDepthPixelCount; ++i) {
            const UINT16 depth = depthFrameData[i];
            cameraSpacePoints[i] = depth == 0 ? CameraSpacePoint{kNoDepth, kNoDepth, kNoDepth}
                                              : model.depthPixelToCamera(i, depth);
        }
        return S_OK;
    });
}

HRESULT CoordinateMapper::GetDepthCameraIntrinsics(CameraIntrinsics* intrinsics) {
    return traced({Operation::MapperGetDepthCameraIntrinsics}, {}, [&] {
        if (intrinsics == nullptr) return E_POINTER;
        *intrinsics = CameraModel::instance().depthIntrinsics();
        return S_OK;
    });
}

}  // namespace plexa::virtual2
