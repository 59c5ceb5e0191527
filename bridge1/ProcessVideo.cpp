// Color and infrared frames: one procedure. The video stream carries one or
// the other for the whole session; the pixels reach Java unchanged, color as
// byte[] of 4 x W x H (blue, green, red, unused), infrared as short[] of W x H.
// Every fetched frame is released and counted into videoFrameCount, also when
// nothing could be delivered.
#include "CallbackChannel.h"
#include "ImageFrameLease.h"
#include "JavaArrays.h"
#include "JavaBinding.h"
#include "KSDK.h"
#include "LockedImage.h"

using plexa::bridge1::LockedImage;

namespace {

// `Element` is the Java array's element type; a pixel is `elementsPerPixel` of them.
template <typename Element>
void processVideoFrame(KSDK& session, KSDK::Callback callback, int elementsPerPixel) {
    {
        ImageFrameLease frame(session.sensor.get(), session.videoStream);
        if (!frame.fetched()) return;  // not counted: there was no frame
        const LockedImage image(frame.lock(), session.videoSize().width, session.videoSize().height,
                                elementsPerPixel * static_cast<int>(sizeof(Element)));
        const plexa::JavaBinding& java = session.java();
        if (image.ready() && java.reaches(callback)) {
            const auto* pixels =
                reinterpret_cast<const Element*>(image.packed(session.buffers->videoRows, alignof(Element)));
            if (pixels != nullptr) {
                plexa::JavaDelivery delivery(java.vm());
                if (delivery) {
                    const auto length = static_cast<jsize>(image.packedBytes() / sizeof(Element));
                    auto array = plexa::newJavaArray<Element>(delivery.env(), pixels, length);
                    if (array != nullptr) delivery.callVoid(java.target(), java.method(callback), array);
                }
            }
        }
    }
    session.videoFrameCount.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

void KSDK::Nui_ProcessColor() { processVideoFrame<jbyte>(*this, VideoCallback, 4); }

void KSDK::Nui_ProcessInfrared() { processVideoFrame<jshort>(*this, InfraredCallback, 1); }
