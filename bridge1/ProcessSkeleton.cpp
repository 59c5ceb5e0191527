// Skeleton frames: smoothed, packed into the session's fixed buffers and
// handed to Java as (tracked flags, floor plane + joint positions, joint
// states). A frame without a tracked skeleton is counted but neither smoothed
// nor delivered.
#include "CallbackChannel.h"
#include "JavaArrays.h"
#include "KSDK.h"
#include "SkeletonPacking.h"

using plexa::bridge1::kJavaPositionCount;
using plexa::bridge1::kJointStateCount;
using plexa::bridge1::SkeletonBuffers;

namespace {

void deliverSkeletons(KSDK& session) {
    if (session.skeletonCallback == nullptr || session.callbackTarget == nullptr) return;
    float positions[kJavaPositionCount];
    plexa::bridge1::layoutJavaPositions(session.floorPlane.get(), session.skeletonPositions.get(), positions);

    plexa::JavaDelivery delivery(session.javaVM);
    if (!delivery) return;
    JNIEnv* env = delivery.env();
    jfloatArray javaPositions = plexa::newJavaArray<jfloat>(env, positions, kJavaPositionCount);
    if (javaPositions == nullptr) return;
    jbooleanArray tracked =
        plexa::newJavaArray<jboolean>(env, session.skeletonTracked.get(), NUI_SKELETON_COUNT);
    if (tracked == nullptr) return;
    jbyteArray states = plexa::newJavaByteArray(env, session.jointStates.get(), kJointStateCount);
    if (states == nullptr) return;
    delivery.callVoid(session.callbackTarget, session.skeletonCallback, tracked, javaPositions, states);
}

}  // namespace

void KSDK::Nui_ProcessSkeleton() {
    NUI_SKELETON_FRAME frame{};
    // A failed fetch leaves the frame undefined: nothing is delivered, and,
    // as for depth and video frames, a frame that was not there is not counted.
    if (sensor == nullptr || FAILED(sensor->NuiSkeletonGetNextFrame(0, &frame))) return;
    const SkeletonBuffers buffers{skeletonTracked.get(), skeletonPositions.get(), jointStates.get(),
                                  floorPlane.get()};
    if (buffers.tracked != nullptr && buffers.positions != nullptr && buffers.jointStates != nullptr &&
        buffers.floorPlane != nullptr && plexa::bridge1::markTrackedSlots(frame, buffers.tracked)) {
        // Smoothing works in place; should it fail, the raw positions are
        // delivered rather than whatever a failed call left behind.
        NUI_SKELETON_FRAME smoothed = frame;
        const NUI_SKELETON_FRAME& delivered =
            SUCCEEDED(sensor->NuiTransformSmooth(&smoothed, nullptr)) ? smoothed : frame;
        plexa::bridge1::packTrackedSkeletons(delivered, buffers);
        deliverSkeletons(*this);
    }
    skeletonFrameCount.fetch_add(1, std::memory_order_relaxed);
}
