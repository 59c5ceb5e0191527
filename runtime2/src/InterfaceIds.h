// Which identifier QueryInterface answers for each interface the virtual
// sensor implements.
#pragma once

#include "runtime2/KinectRuntime.h"

namespace plexa::virtual2 {

// IUnknown's own identifier, which every object answers.
inline const IID kUnknownInterfaceId = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

template <class Interface>
const IID& interfaceIdOf();

template <> inline const IID& interfaceIdOf<IKinectSensor>() { return IID_IKinectSensor; }
template <> inline const IID& interfaceIdOf<IMultiSourceFrameReader>() { return IID_IMultiSourceFrameReader; }
template <> inline const IID& interfaceIdOf<IMultiSourceFrame>() { return IID_IMultiSourceFrame; }
template <> inline const IID& interfaceIdOf<IColorFrameReference>() { return IID_IColorFrameReference; }
template <> inline const IID& interfaceIdOf<IDepthFrameReference>() { return IID_IDepthFrameReference; }
template <> inline const IID& interfaceIdOf<IBodyFrameReference>() { return IID_IBodyFrameReference; }
template <> inline const IID& interfaceIdOf<IBodyIndexFrameReference>() { return IID_IBodyIndexFrameReference; }
template <> inline const IID& interfaceIdOf<IInfraredFrameReference>() { return IID_IInfraredFrameReference; }
template <> inline const IID& interfaceIdOf<ILongExposureInfraredFrameReference>() {
    return IID_ILongExposureInfraredFrameReference;
}
template <> inline const IID& interfaceIdOf<IColorFrame>() { return IID_IColorFrame; }
template <> inline const IID& interfaceIdOf<IDepthFrame>() { return IID_IDepthFrame; }
template <> inline const IID& interfaceIdOf<IInfraredFrame>() { return IID_IInfraredFrame; }
template <> inline const IID& interfaceIdOf<ILongExposureInfraredFrame>() { return IID_ILongExposureInfraredFrame; }
template <> inline const IID& interfaceIdOf<IBodyIndexFrame>() { return IID_IBodyIndexFrame; }
template <> inline const IID& interfaceIdOf<IBodyFrame>() { return IID_IBodyFrame; }
template <> inline const IID& interfaceIdOf<IBody>() { return IID_IBody; }
template <> inline const IID& interfaceIdOf<IFrameDescription>() { return IID_IFrameDescription; }
template <> inline const IID& interfaceIdOf<ICoordinateMapper>() { return IID_ICoordinateMapper; }

}  // namespace plexa::virtual2
