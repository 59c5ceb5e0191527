#include "BodyPacking.h"

namespace plexa::bridge2 {

void BodyScratch::clear() {
    joints.fill(Joint{});
    orientations.fill(JointOrientation{});
}

void packBody(int slot, const BodyScratch& scratch, BodyBuffers& buffers) {
    if (slot < 0 || slot >= kBodySlots) return;
    const int first = slot * kJointsPerBody;
    for (int j = 0; j < kJointsPerBody; ++j) {
        const Joint& joint = scratch.joints[static_cast<std::size_t>(j)];
        const Vector4& orientation = scratch.orientations[static_cast<std::size_t>(j)].Orientation;
        const auto at = static_cast<std::size_t>(first + j);
        buffers.jointPositions[at * 3 + 0] = joint.Position.X;
        buffers.jointPositions[at * 3 + 1] = joint.Position.Y;
        buffers.jointPositions[at * 3 + 2] = joint.Position.Z;
        buffers.jointOrientations[at * 4 + 0] = orientation.x;
        buffers.jointOrientations[at * 4 + 1] = orientation.y;
        buffers.jointOrientations[at * 4 + 2] = orientation.z;
        buffers.jointOrientations[at * 4 + 3] = orientation.w;
        buffers.jointStates[at] = static_cast<std::uint8_t>(joint.TrackingState & 0xFF);
    }
}

}  // namespace plexa::bridge2
