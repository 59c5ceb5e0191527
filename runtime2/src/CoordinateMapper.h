// The coordinate mapper over the camera model: depth pixels to camera space
// and to color image coordinates, and the depth camera's intrinsics.
#pragma once

#include "RefCounted.h"

namespace plexa::virtual2 {

class CoordinateMapper final : public RefCounted<ICoordinateMapper> {
public:
    // A depth pixel without depth (0) maps to negative infinity in every
    // coordinate, camera-space z included. A color point may lie outside the
    // color image: the depth camera sees a little more than the color camera
    // on some sides.
    HRESULT STDMETHODCALLTYPE MapDepthFrameToColorSpace(UINT depthPointCount, const UINT16* depthFrameData,
                                                        UINT colorPointCount,
                                                        ColorSpacePoint* colorSpacePoints) override;
    HRESULT STDMETHODCALLTYPE MapDepthFrameToCameraSpace(UINT depthPointCount, const UINT16* depthFrameData,
                                                         UINT cameraPointCount,
                                                         CameraSpacePoint* cameraSpacePoints) override;
    HRESULT STDMETHODCALLTYPE GetDepthCameraIntrinsics(CameraIntrinsics* intrinsics) override;
};

}  // namespace plexa::virtual2
