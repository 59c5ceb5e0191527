// Color and infrared frames: one procedure. The video stream carries one or
// the other for the whole session; the pixels reach Java unchanged, color as
// byte[] of 4 x W x H (blue, green, red, unused), infrared as short[] of W x H.
// Every fetched frame is released and counted into videoFrameCount, also when
// nothing could be delivered.
#include "CallbackChannel.h"
#include "ImageFrameLease.h"
#include "JavaArrays.h"
#include "KSDK.h"
#include "LockedImage.h"

using plexa::bridge1::GrowingBuffer;
using plexa::bridge1::LockedImage;

namespace {

// Packed copies of padded rows; the event thread's own, like the handlers.
thread_local GrowingBuffer videoRows;

// `Element` is the Java array's element type; a pixel is `elementsPerPixel` of them.
template <typename Element>
void processVideoFrame(KSDK& session, jmethodID callback, int elementsPerPixel) {
    {
        ImageFrameLease frame(session.sensor, session.videoStream);
        if (!frame.fetched()) return;  // not counted: there was no frame
        const LockedImage image(frame.lock(), session.videoWidth(), session.videoHeight(),
                                elementsPerPixel * static_cast<int>(sizeof(Element)));
        if (image.ready() && callback != nullptr && session.callbackTarget != nullptr) {
            const auto* pixels = reinterpret_cast<const Element*>(image.packed(videoRows, alignof(Element)));
            if (pixels != nullptr) {
                plexa::JavaDelivery delivery(session.javaVM);
                if (delivery) {
                    const auto length = static_cast<jsize>(image.packedBytes() / sizeof(Element));
                    auto array = plexa::newJavaArray<Element>(delivery.env(), pixels, length);
                    if (array != nullptr) delivery.callVoid(session.callbackTarget, callback, array);
                }
            }
        }
    }
    session.videoFrameCount.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

void KSDK::Nui_ProcessColor() { processVideoFrame<jbyte>(*this, videoCallback, 4); }

void KSDK::Nui_ProcessInfrared() { processVideoFrame<jshort>(*this, infraredCallback, 1); }
