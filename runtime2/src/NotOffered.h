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

// An interface whose slots are all offered needs nothing here.
template <class Interface>
struct NotOffered : Interface {};

template <>
struct NotOffered<IKinectSensor> : IKinectSensor {
    HRESULT STDMETHODCALLTYPE SubscribeIsAvailableChanged(WAITABLE_HANDLE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnsubscribeIsAvailableChanged(WAITABLE_HANDLE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIsAvailableChangedEventData(WAITABLE_HANDLE,
                                                             IIsAvailableChangedEventArgs**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_IsOpen(BOOLEAN*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_IsAvailable(BOOLEAN*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ColorFrameSource(IColorFrameSource**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_DepthFrameSource(IDepthFrameSource**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_BodyFrameSource(IBodyFrameSource**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_BodyIndexFrameSource(IBodyIndexFrameSource**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_InfraredFrameSource(IInfraredFrameSource**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_LongExposureInfraredFrameSource(ILongExposureInfraredFrameSource**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_AudioSource(IAudioSource**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_UniqueKinectId(UINT, WCHAR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_KinectCapabilities(DWORD*) override { return E_NOTIMPL; }
};

template <>
struct NotOffered<IMultiSourceFrameReader> : IMultiSourceFrameReader {
    HRESULT STDMETHODCALLTYPE GetMultiSourceFrameArrivedEventData(WAITABLE_HANDLE,
                                                                  IMultiSourceFrameArrivedEventArgs**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_FrameSourceTypes(DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_IsPaused(BOOLEAN*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_IsPaused(BOOLEAN) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_KinectSensor(IKinectSensor**) override { return E_NOTIMPL; }
};

// The six frame references share one shape.
template <class Frame>
struct NotOfferedReference : Frame {
    HRESULT STDMETHODCALLTYPE get_RelativeTime(TIMESPAN*) override { return E_NOTIMPL; }
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
    HRESULT STDMETHODCALLTYPE CopyRawFrameDataToArray(UINT, BYTE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateFrameDescription(ColorImageFormat, IFrameDescription**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_ColorCameraSettings(IColorCameraSettings**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ColorFrameSource(IColorFrameSource**) override { return E_NOTIMPL; }
};

template <>
struct NotOffered<IDepthFrame> : IDepthFrame {
    HRESULT STDMETHODCALLTYPE CopyFrameDataToArray(UINT, UINT16*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_DepthFrameSource(IDepthFrameSource**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_DepthMinReliableDistance(USHORT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_DepthMaxReliableDistance(USHORT*) override { return E_NOTIMPL; }
};

template <>
struct NotOffered<IInfraredFrame> : IInfraredFrame {
    HRESULT STDMETHODCALLTYPE CopyFrameDataToArray(UINT, UINT16*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_InfraredFrameSource(IInfraredFrameSource**) override { return E_NOTIMPL; }
};

template <>
struct NotOffered<ILongExposureInfraredFrame> : ILongExposureInfraredFrame {
    HRESULT STDMETHODCALLTYPE CopyFrameDataToArray(UINT, UINT16*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_LongExposureInfraredFrameSource(ILongExposureInfraredFrameSource**) override {
        return E_NOTIMPL;
    }
};

template <>
struct NotOffered<IBodyIndexFrame> : IBodyIndexFrame {
    HRESULT STDMETHODCALLTYPE CopyFrameDataToArray(UINT, BYTE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_BodyIndexFrameSource(IBodyIndexFrameSource**) override { return E_NOTIMPL; }
};

template <>
struct NotOffered<IBodyFrame> : IBodyFrame {
    HRESULT STDMETHODCALLTYPE get_BodyFrameSource(IBodyFrameSource**) override { return E_NOTIMPL; }
};

template <>
struct NotOffered<IBody> : IBody {
    HRESULT STDMETHODCALLTYPE get_Engaged(DetectionResult*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetExpressionDetectionResults(UINT, DetectionResult*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetActivityDetectionResults(UINT, DetectionResult*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAppearanceDetectionResults(UINT, DetectionResult*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_HandLeftState(HandState*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_HandLeftConfidence(TrackingConfidence*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_HandRightState(HandState*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_HandRightConfidence(TrackingConfidence*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ClippedEdges(DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_TrackingId(UINT64*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_IsRestricted(BOOLEAN*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Lean(PointF*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_LeanTrackingState(TrackingState*) override { return E_NOTIMPL; }
};

template <>
struct NotOffered<ICoordinateMapper> : ICoordinateMapper {
    HRESULT STDMETHODCALLTYPE SubscribeCoordinateMappingChanged(WAITABLE_HANDLE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnsubscribeCoordinateMappingChanged(WAITABLE_HANDLE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCoordinateMappingChangedEventData(WAITABLE_HANDLE,
                                                                   ICoordinateMappingChangedEventArgs**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE MapCameraPointToDepthSpace(CameraSpacePoint, DepthSpacePoint*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE MapCameraPointToColorSpace(CameraSpacePoint, ColorSpacePoint*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE MapDepthPointToCameraSpace(DepthSpacePoint, UINT16, CameraSpacePoint*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE MapDepthPointToColorSpace(DepthSpacePoint, UINT16, ColorSpacePoint*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE MapCameraPointsToDepthSpace(UINT, const CameraSpacePoint*, UINT,
                                                          DepthSpacePoint*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE MapCameraPointsToColorSpace(UINT, const CameraSpacePoint*, UINT,
                                                          ColorSpacePoint*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE MapDepthPointsToCameraSpace(UINT, const DepthSpacePoint*, UINT, const UINT16*, UINT,
                                                          CameraSpacePoint*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE MapDepthPointsToColorSpace(UINT, const DepthSpacePoint*, UINT, const UINT16*, UINT,
                                                         ColorSpacePoint*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE MapColorFrameToDepthSpace(UINT, const UINT16*, UINT, DepthSpacePoint*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE MapColorFrameToCameraSpace(UINT, const UINT16*, UINT, CameraSpacePoint*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDepthFrameToCameraSpaceTable(UINT32*, PointF**) override { return E_NOTIMPL; }
};

}  // namespace plexa::virtual2
