// Skeleton frames: smoothed, packed into the session's fixed buffers and
// handed to Java as (tracked flags, floor plane + joint positions, joint
// states). A frame without a tracked skeleton is counted but neither smoothed
// nor delivered.
#include "CallbackChannel.h"
#include "JavaArrays.h"
#include "JavaBinding.h"
#include "KSDK.h"
#include "SkeletonPacking.h"

using plexa::bridge1::kJavaPositionCount;
using plexa::bridge1::kJointStateCount;
using plexa::bridge1::SkeletonBuffers;

namespace {

void deliverSkeletons(const plexa::JavaBinding& java, const SkeletonBuffers& buffers) {
    if (!java.reaches(KSDK::SkeletonCallback)) return;
    float positions[kJavaPositionCount];
    plexa::bridge1::layoutJavaPositions(buffers.floorPlane, buffers.positions, positions);

    plexa::JavaDelivery delivery(java.vm());
    if (!delivery) return;
    JNIEnv* env = delivery.env();
    jfloatArray javaPositions = plexa::newJavaArray<jfloat>(env, positions, kJavaPositionCount);
    if (javaPositions == nullptr) return;
    jbooleanArray tracked = plexa::newJavaArray<jboolean>(env, buffers.tracked, NUI_SKELETON_COUNT);
    if (tracked == nullptr) return;
    jbyteArray states = plexa::newJavaByteArray(env, buffers.jointStates, kJointStateCount);
    if (states == nullptr) return;
    delivery.callVoid(java.target(), java.method(KSDK::SkeletonCallback), tracked, javaPositions, states);
}

}  // namespace

void KSDK::Nui_ProcessSkeleton() {
    NUI_SKELETON_FRAME frame{};
    // A failed fetch leaves the frame undefined: nothing is delivered, and,
    // as for depth and video frames, a frame that was not there is not counted.
    if (sensor == nullptr || FAILED(sensor->NuiSkeletonGetNextFrame(0, &frame))) return;
    const SkeletonBuffers skeletons = buffers->skeletons();
    if (plexa::bridge1::markTrackedSlots(frame, skeletons.tracked)) {
        // Smoothing works in place; should it fail, the raw positions are
        // delivered rather than whatever a failed call left behind.
        NUI_SKELETON_FRAME smoothed = frame;
        const NUI_SKELETON_FRAME& delivered =
            SUCCEEDED(sensor->NuiTransformSmooth(&smoothed, nullptr)) ? smoothed : frame;
        plexa::bridge1::packTrackedSkeletons(delivered, skeletons);
        deliverSkeletons(java(), skeletons);
    }
    skeletonFrameCount.fetch_add(1, std::memory_order_relaxed);
}
