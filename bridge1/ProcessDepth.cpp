// Depth frames: the samples go to the recording (when one is open) and to
// Java, with the camera-space points (XYZ) and normalised color-image
// coordinates (UV) when those are switched on. Every fetched frame is released
// and counted, also when nothing could be delivered; a frame whose buffer
// cannot hold the image is neither recorded nor delivered.
#include "CallbackChannel.h"
#include "DepthGeometry.h"
#include "ImageFrameLease.h"
#include "JavaArrays.h"
#include "JavaBinding.h"
#include "JavaCriticalArray.h"
#include "KSDK.h"
#include "LockedImage.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

using plexa::bridge1::FrameBuffers;
using plexa::bridge1::LockedImage;

namespace {

// The normalised color-image coordinates of the frame, computed straight into
// the Java array. The runtime writes this frame's raw coordinates into uvRaw;
// a mapping that succeeds becomes uvLastMapped (the buffers are swapped), so
// Java gets the last successful mapping (zeros before the first): the mapping
// moves little from one frame to the next, and a failed call may leave uvRaw
// half written.
jfloatArray newUvArray(KSDK& session, JNIEnv* env, const std::uint16_t* samples, int width, int height) {
    FrameBuffers& buffers = *session.buffers;
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    const std::size_t bytes = 2 * pixels * sizeof(LONG);
    if (buffers.uvPixels != pixels) {
        std::uint8_t* lastMapped = buffers.uvLastMapped.reserve(bytes);
        if (lastMapped == nullptr || buffers.uvRaw.reserve(bytes) == nullptr) return nullptr;
        std::memset(lastMapped, 0, bytes);
        buffers.uvPixels = pixels;
    }
    auto* raw = reinterpret_cast<LONG*>(buffers.uvRaw.reserve(bytes));
    // The color resolution is the depth one too, so the coordinates refer to a
    // color image of the depth image's size.
    const auto resolution = static_cast<NUI_IMAGE_RESOLUTION>(session.depthResolution);
    const bool mapped = SUCCEEDED(session.sensor->NuiImageGetColorPixelCoordinateFrameFromDepthPixelFrameAtResolution(
        resolution, resolution, static_cast<DWORD>(pixels), const_cast<USHORT*>(samples),
        static_cast<DWORD>(2 * pixels), raw));
    if (mapped) std::swap(buffers.uvRaw, buffers.uvLastMapped);
    const auto* coordinates = reinterpret_cast<const LONG*>(buffers.uvLastMapped.reserve(bytes));
    return plexa::newFloatArrayFilledInPlace(env, static_cast<jsize>(2 * pixels), [&](float* uv) {
        plexa::bridge1::normaliseUv(coordinates, pixels, width, height, uv);
    });
}

// Hands the frame to onDepthFrameEventFromNative(depth, xyz, uv). A frame
// that cannot be delivered whole (an array the VM cannot create, memory
// short for a buffer) is not delivered at all.
void deliverDepth(KSDK& session, const std::uint16_t* samples, int width, int height) {
    const plexa::JavaBinding& java = session.java();
    if (!java.reaches(KSDK::DepthCallback)) return;
    // Each switch is read once per frame; Java threads flip them at any time.
    const bool withUv = session.computeUV.load(std::memory_order_relaxed);
    const bool withXyz = session.computeXYZ.load(std::memory_order_relaxed);
    const jsize pixels = static_cast<jsize>(width) * static_cast<jsize>(height);

    plexa::JavaDelivery delivery(java.vm());
    if (!delivery) return;
    JNIEnv* env = delivery.env();
    jshortArray depth = plexa::newJavaShortArray(env, samples, pixels);
    if (depth == nullptr) return;
    jfloatArray uv = nullptr;
    if (withUv) {
        uv = newUvArray(session, env, samples, width, height);
        if (uv == nullptr) return;
    }
    jfloatArray xyz = nullptr;
    if (withXyz) {
        // The camera-space points, computed straight into the Java array.
        xyz = plexa::newFloatArrayFilledInPlace(
            env, 3 * pixels, [&](float* points) { plexa::bridge1::computeXyz(samples, width, height, points); });
        if (xyz == nullptr) return;
    }
    delivery.callVoid(java.target(), java.method(KSDK::DepthCallback), depth, xyz, uv);
}

}  // namespace

void KSDK::Nui_ProcessDepth() {
    {
        ImageFrameLease frame(sensor.get(), depthStream);
        if (!frame.fetched()) return;  // not counted: there was no frame
        const auto size = depthSize();
        const LockedImage image(frame.lock(), size.width, size.height, sizeof(std::uint16_t));
        if (image.ready()) {
            const auto* samples =
                reinterpret_cast<const std::uint16_t*>(image.packed(buffers->depthRows, alignof(std::uint16_t)));
            if (samples != nullptr) {
                if (depthRecorder.recording()) {
                    Vector4 reading{};
                    Nui_ReadAccelerometer(&reading);
                    depthRecorder.append(reading, samples, image.packedBytes() / sizeof(std::uint16_t));
                }
                deliverDepth(*this, samples, size.width, size.height);
            }
        }
    }
    depthFrameCount.fetch_add(1, std::memory_order_relaxed);
}
