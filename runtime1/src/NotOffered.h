// The slots of the runtime interfaces that the virtual sensor does not offer.
// Every object fills its interface's whole table, so that a caller built for
// the full runtime finds a method in every slot; these answer as a runtime
// without the feature would: E_NOTIMPL with any out-pointer set to null, no
// string, FALSE.
//
// What is offered is what a bridge needs to stream: initialisation, the image
// streams and their frames, whole-frame depth-to-color coordinates, tilt,
// skeleton tracking with smoothing, status and the accelerometer. Not offered,
// and why:
// - the frame-end event: every stream signals its own event;
// - per-pixel color coordinates and the coordinate-mapper object: the
//   whole-frame conversion serves every depth pixel at once;
// - chosen skeletons: the tracker picks the people itself;
// - audio, color camera settings, the infrared emitter switch, depth filters
//   and the extended-depth texture: hardware the scene has no counterpart for;
// - device identity strings: a virtual sensor has no connection or serial id;
// - a texture's level description: a texture knows its bytes and pitch, not
//   its pixel format.
#pragma once

#include "runtime1/NuiRuntime.h"

namespace plexa::virtual1 {

template <class Interface>
struct NotOffered;

template <>
struct NotOffered<INuiSensor> : INuiSensor {
    HRESULT STDMETHODCALLTYPE NuiSetFrameEndEvent(HANDLE, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE NuiImageGetColorPixelCoordinatesFromDepthPixel(NUI_IMAGE_RESOLUTION,
                                                                             const NUI_IMAGE_VIEW_AREA*, LONG, LONG,
                                                                             USHORT, LONG*, LONG*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE NuiImageGetColorPixelCoordinatesFromDepthPixelAtResolution(
        NUI_IMAGE_RESOLUTION, NUI_IMAGE_RESOLUTION, const NUI_IMAGE_VIEW_AREA*, LONG, LONG, USHORT, LONG*,
        LONG*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE NuiSkeletonSetTrackedSkeletons(DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE NuiGetAudioSource(INuiAudioBeam** audio) override { return none(audio); }
    BSTR STDMETHODCALLTYPE NuiDeviceConnectionId() override { return nullptr; }
    BSTR STDMETHODCALLTYPE NuiUniqueId() override { return nullptr; }
    BSTR STDMETHODCALLTYPE NuiAudioArrayId() override { return nullptr; }
    HRESULT STDMETHODCALLTYPE NuiGetCoordinateMapper(INuiCoordinateMapper** mapper) override { return none(mapper); }
    HRESULT STDMETHODCALLTYPE NuiImageFrameGetDepthImagePixelFrameTexture(HANDLE, NUI_IMAGE_FRAME*, BOOL*,
                                                                          INuiFrameTexture** texture) override {
        return none(texture);
    }
    HRESULT STDMETHODCALLTYPE NuiGetColorCameraSettings(INuiColorCameraSettings** settings) override {
        return none(settings);
    }
    BOOL STDMETHODCALLTYPE NuiGetForceInfraredEmitterOff() override { return FALSE; }
    HRESULT STDMETHODCALLTYPE NuiSetForceInfraredEmitterOff(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE NuiSetDepthFilter(INuiDepthFilter*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE NuiGetDepthFilter(INuiDepthFilter** filter) override { return none(filter); }
    HRESULT STDMETHODCALLTYPE NuiGetDepthFilterForTimeStamp(LARGE_INTEGER, INuiDepthFilter** filter) override {
        return none(filter);
    }

private:
    template <typename Out>
    static HRESULT none(Out** out) {
        if (out != nullptr) *out = nullptr;
        return E_NOTIMPL;
    }
};

template <>
struct NotOffered<INuiFrameTexture> : INuiFrameTexture {
    HRESULT STDMETHODCALLTYPE GetLevelDesc(UINT, NUI_SURFACE_DESC*) override { return E_NOTIMPL; }
};

}  // namespace plexa::virtual1
