// The slots of the runtime interfaces that the virtual sensor does not offer.
// Every object fills its interface's whole table, so that a caller built for
// the full runtime finds a method in every slot; these answer E_NOTIMPL and
// touch none of their arguments.
//
// What is offered is what a bridge needs to stream: opening the sensor, one
// multi-source reader with its frame-arrived subscription, the frames with
// their descriptions and buffers, body joints, and whole-frame depth mapping
// with the depth intrinsics. Not offered, and why:
// - per-source readers and frame sources, the audio source, availability and
//   capture events, pausing, and the back links from frames and readers to
//   their source or sensor: the multi-source reader covers every stream, and
//   nothing here hands out a source object to link to;
// - copying frame data into a caller's array (CopyFrameDataToArray,
//   CopyRawFrameDataToArray) and descriptions for other color formats: the
//   buffers are read in place, and conversion states its own size;
// - the relative time of a frame reference: the acquired frame reports it;
// - reliable depth range, color camera settings, unique id, capabilities:
//   properties of real hardware the scene has no counterpart for;
// - body detail beyond joints (hands, lean, engagement, expressions, tracking
//   ids, clipped edges): the scene's people do not model it;
// - point-wise, color-frame and table mappings and mapping-changed events: the
//   mapper serves whole depth frames, and its camera model never changes.
#pragma once

#include "runtime2/KinectRuntime.h"

namespace plexa::virtual2 {

// One slot that answers E_NOTIMPL; its parameters are the slot's types.
#define PLEXA_NOT_OFFERED(Method, ...) \
    HRESULT STDMETHODCALLTYPE Method(__VA_ARGS__) override { return E_NOTIMPL; }

// An interface whose slots are all offered needs nothing here.
template <class Interface>
struct NotOffered : Interface {};

template <>
struct NotOffered<IKinectSensor> : IKinectSensor {
    PLEXA_NOT_OFFERED(SubscribeIsAvailableChanged, WAITABLE_HANDLE*)
    PLEXA_NOT_OFFERED(UnsubscribeIsAvailableChanged, WAITABLE_HANDLE)
    PLEXA_NOT_OFFERED(GetIsAvailableChangedEventData, WAITABLE_HANDLE, IIsAvailableChangedEventArgs**)
    PLEXA_NOT_OFFERED(get_IsOpen, BOOLEAN*)
    PLEXA_NOT_OFFERED(get_IsAvailable, BOOLEAN*)
    PLEXA_NOT_OFFERED(get_ColorFrameSource, IColorFrameSource**)
    PLEXA_NOT_OFFERED(get_DepthFrameSource, IDepthFrameSource**)
    PLEXA_NOT_OFFERED(get_BodyFrameSource, IBodyFrameSource**)
    PLEXA_NOT_OFFERED(get_BodyIndexFrameSource, IBodyIndexFrameSource**)
    PLEXA_NOT_OFFERED(get_InfraredFrameSource, IInfraredFrameSource**)
    PLEXA_NOT_OFFERED(get_LongExposureInfraredFrameSource, ILongExposureInfraredFrameSource**)
    PLEXA_NOT_OFFERED(get_AudioSource, IAudioSource**)
    PLEXA_NOT_OFFERED(get_UniqueKinectId, UINT, WCHAR*)
    PLEXA_NOT_OFFERED(get_KinectCapabilities, DWORD*)
};

template <>
struct NotOffered<IMultiSourceFrameReader> : IMultiSourceFrameReader {
    PLEXA_NOT_OFFERED(GetMultiSourceFrameArrivedEventData, WAITABLE_HANDLE, IMultiSourceFrameArrivedEventArgs**)
    PLEXA_NOT_OFFERED(get_FrameSourceTypes, DWORD*)
    PLEXA_NOT_OFFERED(get_IsPaused, BOOLEAN*)
    PLEXA_NOT_OFFERED(put_IsPaused, BOOLEAN)
    PLEXA_NOT_OFFERED(get_KinectSensor, IKinectSensor**)
};

// The six frame references share one shape.
template <class Frame>
struct NotOfferedReference : Frame {
    PLEXA_NOT_OFFERED(get_RelativeTime, TIMESPAN*)
};

template <>
struct NotOffered<IColorFrameReference> : NotOfferedReference<IColorFrameReference> {};
template <>
struct NotOffered<IDepthFrameReference> : NotOfferedReference<IDepthFrameReference> {};
template <>
struct NotOffered<IBodyFrameReference> : NotOfferedReference<IBodyFrameReference> {};
template <>
struct NotOffered<IBodyIndexFrameReference> : NotOfferedReference<IBodyIndexFrameReference> {};
template <>
struct NotOffered<IInfraredFrameReference> : NotOfferedReference<IInfraredFrameReference> {};
template <>
struct NotOffered<ILongExposureInfraredFrameReference> : NotOfferedReference<ILongExposureInfraredFrameReference> {};

template <>
struct NotOffered<IColorFrame> : IColorFrame {
    PLEXA_NOT_OFFERED(CopyRawFrameDataToArray, UINT, BYTE*)
    PLEXA_NOT_OFFERED(CreateFrameDescription, ColorImageFormat, IFrameDescription**)
    PLEXA_NOT_OFFERED(get_ColorCameraSettings, IColorCameraSettings**)
    PLEXA_NOT_OFFERED(get_ColorFrameSource, IColorFrameSource**)
};

template <>
struct NotOffered<IDepthFrame> : IDepthFrame {
    PLEXA_NOT_OFFERED(CopyFrameDataToArray, UINT, UINT16*)
    PLEXA_NOT_OFFERED(get_DepthFrameSource, IDepthFrameSource**)
    PLEXA_NOT_OFFERED(get_DepthMinReliableDistance, USHORT*)
    PLEXA_NOT_OFFERED(get_DepthMaxReliableDistance, USHORT*)
};

template <>
struct NotOffered<IInfraredFrame> : IInfraredFrame {
    PLEXA_NOT_OFFERED(CopyFrameDataToArray, UINT, UINT16*)
    PLEXA_NOT_OFFERED(get_InfraredFrameSource, IInfraredFrameSource**)
};

template <>
struct NotOffered<ILongExposureInfraredFrame> : ILongExposureInfraredFrame {
    PLEXA_NOT_OFFERED(CopyFrameDataToArray, UINT, UINT16*)
    PLEXA_NOT_OFFERED(get_LongExposureInfraredFrameSource, ILongExposureInfraredFrameSource**)
};

template <>
struct NotOffered<IBodyIndexFrame> : IBodyIndexFrame {
    PLEXA_NOT_OFFERED(CopyFrameDataToArray, UINT, BYTE*)
    PLEXA_NOT_OFFERED(get_BodyIndexFrameSource, IBodyIndexFrameSource**)
};

template <>
struct NotOffered<IBodyFrame> : IBodyFrame {
    PLEXA_NOT_OFFERED(get_BodyFrameSource, IBodyFrameSource**)
};

template <>
struct NotOffered<IBody> : IBody {
    PLEXA_NOT_OFFERED(get_Engaged, DetectionResult*)
    PLEXA_NOT_OFFERED(GetExpressionDetectionResults, UINT, DetectionResult*)
    PLEXA_NOT_OFFERED(GetActivityDetectionResults, UINT, DetectionResult*)
    PLEXA_NOT_OFFERED(GetAppearanceDetectionResults, UINT, DetectionResult*)
    PLEXA_NOT_OFFERED(get_HandLeftState, HandState*)
    PLEXA_NOT_OFFERED(get_HandLeftConfidence, TrackingConfidence*)
    PLEXA_NOT_OFFERED(get_HandRightState, HandState*)
    PLEXA_NOT_OFFERED(get_HandRightConfidence, TrackingConfidence*)
    PLEXA_NOT_OFFERED(get_ClippedEdges, DWORD*)
    PLEXA_NOT_OFFERED(get_TrackingId, UINT64*)
    PLEXA_NOT_OFFERED(get_IsRestricted, BOOLEAN*)
    PLEXA_NOT_OFFERED(get_Lean, PointF*)
    PLEXA_NOT_OFFERED(get_LeanTrackingState, TrackingState*)
};

template <>
struct NotOffered<ICoordinateMapper> : ICoordinateMapper {
    PLEXA_NOT_OFFERED(SubscribeCoordinateMappingChanged, WAITABLE_HANDLE*)
    PLEXA_NOT_OFFERED(UnsubscribeCoordinateMappingChanged, WAITABLE_HANDLE)
    PLEXA_NOT_OFFERED(GetCoordinateMappingChangedEventData, WAITABLE_HANDLE, ICoordinateMappingChangedEventArgs**)
    PLEXA_NOT_OFFERED(MapCameraPointToDepthSpace, CameraSpacePoint, DepthSpacePoint*)
    PLEXA_NOT_OFFERED(MapCameraPointToColorSpace, CameraSpacePoint, ColorSpacePoint*)
    PLEXA_NOT_OFFERED(MapDepthPointToCameraSpace, DepthSpacePoint, UINT16, CameraSpacePoint*)
    PLEXA_NOT_OFFERED(MapDepthPointToColorSpace, DepthSpacePoint, UINT16, ColorSpacePoint*)
    PLEXA_NOT_OFFERED(MapCameraPointsToDepthSpace, UINT, const CameraSpacePoint*, UINT, DepthSpacePoint*)
    PLEXA_NOT_OFFERED(MapCameraPointsToColorSpace, UINT, const CameraSpacePoint*, UINT, ColorSpacePoint*)
    PLEXA_NOT_OFFERED(MapDepthPointsToCameraSpace, UINT, const DepthSpacePoint*, UINT, const UINT16*, UINT,
                      CameraSpacePoint*)
    PLEXA_NOT_OFFERED(MapDepthPointsToColorSpace, UINT, const DepthSpacePoint*, UINT, const UINT16*, UINT,
                      ColorSpacePoint*)
    PLEXA_NOT_OFFERED(MapColorFrameToDepthSpace, UINT, const UINT16*, UINT, DepthSpacePoint*)
    PLEXA_NOT_OFFERED(MapColorFrameToCameraSpace, UINT, const UINT16*, UINT, CameraSpacePoint*)
    PLEXA_NOT_OFFERED(GetDepthFrameToCameraSpaceTable, UINT32*, PointF**)
};

#undef PLEXA_NOT_OFFERED

}  // namespace plexa::virtual2
