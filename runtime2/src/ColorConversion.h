// Conversion of a color frame's raw bytes into the format a caller asks for.
//
// YUY2 is packed 4:2:2: every two pixels share four bytes Y0 U Y1 V, in BT.601
// studio range (Y 16..235, U and V 16..240 around 128). The scene encodes the
// camera's raw frames that way, and its own converter turns them back, so a
// converted frame shows the scene's colors; alpha is 255.
#pragma once

#include "runtime2/VirtualSensor2.h"

namespace plexa::virtual2 {

// Bytes per pixel of a color format; 0 for formats without a fixed size.
unsigned colorBytesPerPixel(ColorImageFormat format);

// Converts `image` into `target` (BGRA, RGBA, or the raw format itself) in
// `buffer` of `capacity` bytes. E_POINTER for a null buffer; E_INVALIDARG when
// the target format is not offered or capacity < width x height x its bytes
// per pixel; E_FAIL when the frame's own bytes are fewer than its size needs
// or its raw format cannot be converted.
HRESULT convertColorImage(const ScriptedColorImage& image, ColorImageFormat target, UINT capacity, BYTE* buffer);

}  // namespace plexa::virtual2
