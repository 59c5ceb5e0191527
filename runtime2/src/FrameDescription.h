// The description of one frame: its size, the camera's fields of view and
// the bytes of one pixel as the frame holds it.
#pragma once

#include "RefCounted.h"
#include "runtime2/VirtualSensor2.h"

namespace plexa::virtual2 {

class FrameDescription final : public RefCounted<IFrameDescription> {
public:
    FrameDescription(FrameKind kind, int width, int height, UINT bytesPerPixel);

    HRESULT STDMETHODCALLTYPE get_Width(int* width) override;
    HRESULT STDMETHODCALLTYPE get_Height(int* height) override;
    HRESULT STDMETHODCALLTYPE get_HorizontalFieldOfView(float* degrees) override;
    HRESULT STDMETHODCALLTYPE get_VerticalFieldOfView(float* degrees) override;
    HRESULT STDMETHODCALLTYPE get_DiagonalFieldOfView(float* degrees) override;
    HRESULT STDMETHODCALLTYPE get_LengthInPixels(UINT* length) override;
    HRESULT STDMETHODCALLTYPE get_BytesPerPixel(UINT* bytesPerPixel) override;

private:
    const FrameKind kind_;
    const int width_;
    const int height_;
    const UINT bytesPerPixel_;
};

// Hands out a new description for a frame of `kind`; the shared body of every
// frame's get_FrameDescription.
HRESULT describeFrame(FrameKind kind, int width, int height, UINT bytesPerPixel, IFrameDescription** description);

}  // namespace plexa::virtual2
