// Delivery: one attachment to the VM per frame. The size reports and the
// intrinsics reach Java before the frame callback; the frame callback gets the
// frame-type list as int[] and one fresh Java array per entry. A Java
// exception from any of these calls is printed and cleared at once, so the VM
// is never called with one pending. When the VM gives no environment or
// cannot create an array, the frame's remaining Java calls are skipped and the
// frame is not counted.
#include "CallbackChannel.h"
#include "FramePhases.h"
#include "JavaArrays.h"
#include "JavaBinding.h"
#include "JavaCriticalArray.h"
#include "KSDK.h"
#include "LocalReferenceFrame.h"
#include "UvNormalization.h"

namespace plexa::bridge2 {
namespace {

// int[], Object, Object[] and up to 11 entries; room to spare, so that
// no check of the VM finds the frame over its local-reference capacity.
constexpr jint kLocalReferencesPerFrame = 32;

class FrameDelivery {
public:
    FrameDelivery(KSDK& session, const FrameWorkingSet& frame, JavaDelivery& java)
        : session_(session), frame_(frame), java_(java), env_(java.env()) {}

    bool run();

private:
    jobject entry(std::int32_t code);
    void reportSize(ReportedSize& reported, KSDK::Callback callback, int width, int height);
    void reportIntrinsicsOnce();
    jfloatArray floorPlaneAndPositions(const BodyBuffers* bodies);
    jfloatArray normalizedColorPoints();

    template <typename Sample>
    jsize imageLength(const ImageView<Sample>& view, int perPixel) const {
        return deliverableLength(view.width, view.height, perPixel, view.capacity);
    }

    KSDK& session_;
    const FrameWorkingSet& frame_;
    JavaDelivery& java_;
    JNIEnv* env_;
};

bool FrameDelivery::run() {
    LocalReferenceFrame locals(env_, kLocalReferencesPerFrame);
    if (!locals) {
        java_.describePendingException();
        return false;
    }
    const jsize count = frame_.types.size();
    jintArray types = newJavaIntArray(env_, frame_.types.data(), count);
    if (types == nullptr) return false;
    jclass objectClass = env_->FindClass("java/lang/Object");
    jobjectArray entries = objectClass == nullptr ? nullptr : env_->NewObjectArray(count, objectClass, nullptr);
    if (entries == nullptr) {
        java_.describePendingException();
        return false;
    }
    for (jsize i = 0; i < count; ++i) {
        jobject array = entry(frame_.types[i]);
        if (array == nullptr) return false;
        env_->SetObjectArrayElement(entries, i, array);
    }
    reportIntrinsicsOnce();
    java_.callVoid(session_.java().target(), session_.java().method(KSDK::FrameCallback), types, entries);
    return true;
}

jobject FrameDelivery::entry(std::int32_t code) {
    SizeReports& sizes = session_.reportedSizes;
    const BodyBuffers* bodies = (session_.buffers ? &session_.buffers->bodyBuffers : nullptr);
    switch (code) {
        case kColorCode:
            reportSize(sizes.color, KSDK::ColorResolutionCallback, frame_.color.width, frame_.color.height);
            return newJavaByteArray(env_, frame_.color.samples, imageLength(frame_.color, 4));
        case kDepthCode: {
            reportSize(sizes.depth, KSDK::DepthResolutionCallback, frame_.depth.width, frame_.depth.height);
            // The whole buffer the frame handed out, whatever its description says.
            const jsize length =
                frame_.depth.capacity <= kMaxJavaArrayLength ? static_cast<jsize>(frame_.depth.capacity) : 0;
            return newJavaShortArray(env_, frame_.depth.samples, length);
        }
        case kUvCode: return frame_.uvUnavailable ? newJavaArray<jfloat>(env_, nullptr, 0) : normalizedColorPoints();
        case kXyzCode:
            return frame_.xyzUnavailable ? newJavaArray<jfloat>(env_, nullptr, 0)
                                         : newJavaArray<jfloat>(env_, session_.buffers->xyzBuffer.data(),
                                                                session_.buffers->xyzBuffer.elementCount());
        case kBodyIndexCode: return newJavaByteArray(env_, frame_.bodyIndex.samples, imageLength(frame_.bodyIndex, 1));
        case kInfraredCode:
            reportSize(sizes.infrared, KSDK::InfraredResolutionCallback, frame_.infrared.width, frame_.infrared.height);
            return newJavaShortArray(env_, frame_.infrared.samples, imageLength(frame_.infrared, 1));
        case kLongExposureInfraredCode:
            reportSize(sizes.longExposureInfrared, KSDK::LongExposureInfraredResolutionCallback,
                       frame_.longExposureInfrared.width, frame_.longExposureInfrared.height);
            return newJavaShortArray(env_, frame_.longExposureInfrared.samples,
                                     imageLength(frame_.longExposureInfrared, 1));
        case kBodyTrackedCode:
            return newJavaArray<jboolean>(env_, bodies ? bodies->bodyTracked.data() : nullptr, bodies ? kBodySlots : 0);
        case kBodyPositionsCode: return floorPlaneAndPositions(bodies);
        case kBodyOrientationsCode:
            return newJavaArray<jfloat>(env_, bodies ? bodies->jointOrientations.data() : nullptr,
                                        bodies ? kJointOrientationFloats : 0);
        case kBodyJointStatesCode:
            return newJavaByteArray(env_, bodies ? bodies->jointStates.data() : nullptr, bodies ? kJointStateBytes : 0);
        default: return nullptr;
    }
}

// The color points of the last mapping, normalised straight into the Java
// array (no JNI call while its elements are held).
jfloatArray FrameDelivery::normalizedColorPoints() {
    const jsize length = session_.buffers->uvBuffer.elementCount();
    const float* points = session_.buffers->uvBuffer.data();
    return newFloatArrayFilledInPlace(
        env_, length, [&](float* uv) { normalizeColorPoints(points, static_cast<std::size_t>(length) / 2, uv); });
}

jfloatArray FrameDelivery::floorPlaneAndPositions(const BodyBuffers* bodies) {
    if (bodies == nullptr) return newJavaArray<jfloat>(env_, nullptr, 0);
    // Floor plane at 0 to 3, then every joint position: one array, two regions.
    jfloatArray array = env_->NewFloatArray(kFloorPlaneFloats + kJointPositionFloats);
    if (array == nullptr) {
        java_.describePendingException();
        return nullptr;
    }
    env_->SetFloatArrayRegion(array, 0, kFloorPlaneFloats, bodies->floorClipPlane.data());
    env_->SetFloatArrayRegion(array, kFloorPlaneFloats, kJointPositionFloats, bodies->jointPositions.data());
    return array;
}

void FrameDelivery::reportSize(ReportedSize& reported, KSDK::Callback callback, int width, int height) {
    if (reported.update(width, height)) {
        java_.callVoid(session_.java().target(), session_.java().method(callback), static_cast<jint>(width),
                       static_cast<jint>(height));
    }
}

void FrameDelivery::reportIntrinsicsOnce() {
    if (session_.intrinsicsSent || !session_.coordinateMapper) return;
    CameraIntrinsics intrinsics{};
    // A failed query is tried again with the next delivered frame.
    if (FAILED(session_.coordinateMapper->GetDepthCameraIntrinsics(&intrinsics))) return;
    java_.callVoid(session_.java().target(), session_.java().method(KSDK::IntrinsicsCallback),
                   static_cast<jdouble>(intrinsics.FocalLengthX), static_cast<jdouble>(intrinsics.FocalLengthY),
                   static_cast<jdouble>(intrinsics.PrincipalPointX), static_cast<jdouble>(intrinsics.PrincipalPointY),
                   static_cast<jdouble>(intrinsics.RadialDistortionSecondOrder),
                   static_cast<jdouble>(intrinsics.RadialDistortionFourthOrder),
                   static_cast<jdouble>(intrinsics.RadialDistortionSixthOrder));
    session_.intrinsicsSent = true;
}

}  // namespace

bool deliverFrame(KSDK& session, const FrameWorkingSet& frame) {
    if (!session.java().reaches(KSDK::FrameCallback)) return false;
    JavaDelivery java(session.java().vm());
    if (!java) return false;
    return FrameDelivery(session, frame, java).run();
}

}  // namespace plexa::bridge2
