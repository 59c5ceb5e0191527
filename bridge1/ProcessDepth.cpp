// Depth frames: the samples go to the recording file (when one is open) and
// to Java, with the camera-space points (XYZ) and normalised color-image
// coordinates (UV) when those are switched on. Every fetched frame is released
// and counted, also when nothing could be delivered; a frame whose buffer
// cannot hold the image is neither recorded nor delivered.
#include "CallbackChannel.h"
#include "DepthGeometry.h"
#include "DepthRecording.h"
#include "ImageFrameLease.h"
#include "JavaArrays.h"
#include "JavaCriticalArray.h"
#include "KSDK.h"
#include "LockedImage.h"

#include <cstddef>
#include <cstdint>
#include <utility>

using plexa::bridge1::GrowingBuffer;
using plexa::bridge1::LockedImage;

namespace {

// Packed copies of padded depth rows. Only the session's event thread runs
// this handler, so the buffer is that thread's own and ends with it.
thread_local GrowingBuffer depthRows;

// The normalised color-image coordinates of the frame, computed straight into
// the Java array. The runtime writes this frame's raw coordinates into uvRaw;
// a mapping that succeeds becomes uvLastMapped (the buffers are swapped), so
// Java gets the last successful mapping (zeros before the first): the mapping
// moves little from one frame to the next, and a failed call may leave uvRaw
// half written.
jfloatArray newUvArray(KSDK& session, JNIEnv* env, const std::uint16_t* samples, int width, int height) {
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (!session.uvRaw) session.uvRaw = plexa::bridge1::newZeroedArray<LONG>(2 * pixels);
    if (!session.uvLastMapped) session.uvLastMapped = plexa::bridge1::newZeroedArray<LONG>(2 * pixels);
    if (!session.uvRaw || !session.uvLastMapped) return nullptr;
    // The color resolution is the depth one too, so the coordinates refer to a
    // color image of the depth image's size.
    const bool mapped = SUCCEEDED(session.sensor->NuiImageGetColorPixelCoordinateFrameFromDepthPixelFrameAtResolution(
        static_cast<NUI_IMAGE_RESOLUTION>(session.depthResolution),
        static_cast<NUI_IMAGE_RESOLUTION>(session.depthResolution), static_cast<DWORD>(pixels), const_cast<USHORT*>(samples),
        static_cast<DWORD>(2 * pixels), session.uvRaw.get()));
    if (mapped) std::swap(session.uvRaw, session.uvLastMapped);
    const LONG* coordinates = session.uvLastMapped.get();
    return plexa::newFloatArrayFilledInPlace(env, static_cast<jsize>(2 * pixels), [&](float* uv) {
        plexa::bridge1::normaliseUv(coordinates, pixels, width, height, uv);
    });
}

// The camera-space points of the frame, computed straight into the Java array.
jfloatArray newXyzArray(JNIEnv* env, const std::uint16_t* samples, int width, int height) {
    return plexa::newFloatArrayFilledInPlace(env, 3 * width * height,
                                      [&](float* xyz) { plexa::bridge1::computeXyz(samples, width, height, xyz); });
}

// Hands the frame to onDepthFrameEventFromNative(depth, xyz, uv). A frame
// that cannot be delivered whole (an array the VM cannot create, memory
// short for a buffer) is not delivered at all.
void deliverDepth(KSDK& session, const std::uint16_t* samples, int width, int height) {
    if (session.depthCallback == nullptr || session.callbackTarget == nullptr) return;
    // Each switch is read once per frame; Java threads flip them at any time.
    const bool withUv = session.computeUV.load(std::memory_order_relaxed);
    const bool withXyz = session.computeXYZ.load(std::memory_order_relaxed);
    const jsize pixels = static_cast<jsize>(width) * static_cast<jsize>(height);

    plexa::JavaDelivery delivery(session.javaVM);
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
        xyz = newXyzArray(env, samples, width, height);
        if (xyz == nullptr) return;
    }
    delivery.callVoid(session.callbackTarget, session.depthCallback, depth, xyz, uv);
}

}  // namespace

void KSDK::Nui_ProcessDepth() {
    {
        ImageFrameLease frame(sensor, depthStream);
        if (!frame.fetched()) return;  // not counted: there was no frame
        const int width = depthWidth();
        const int height = depthHeight();
        const LockedImage image(frame.lock(), width, height, sizeof(std::uint16_t));
        if (image.ready()) {
            const auto* samples =
                reinterpret_cast<const std::uint16_t*>(image.packed(depthRows, alignof(std::uint16_t)));
            if (samples != nullptr) {
                appendDepthRecord(*this, samples, image.packedBytes() / sizeof(std::uint16_t));
                deliverDepth(*this, samples, width, height);
            }
        }
    }
    depthFrameCount.fetch_add(1, std::memory_order_relaxed);
}
