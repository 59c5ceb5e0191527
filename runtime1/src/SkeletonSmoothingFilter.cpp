// Double exponential (level and trend) smoothing of joint positions, with a
// jitter clamp in front and a bound on how far the output may stray from the
// measurement behind. History is kept per skeleton slot and joint, and starts
// afresh when a slot loses its skeleton or a new one takes it.
#include "runtime1/VirtualSensor1.h"

#include <array>
#include <cmath>

namespace plexa::virtual1 {

namespace {

struct Vec3 {
    float x, y, z;
};

Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(Vec3 a, float k) { return {a.x * k, a.y * k, a.z * k}; }
float length(Vec3 a) { return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z); }

// Moves `from` towards `to` by `fraction` of the way.
Vec3 blend(Vec3 from, Vec3 to, float fraction) { return from + (to - from) * fraction; }

constexpr NUI_TRANSFORM_SMOOTH_PARAMETERS defaultParameters{0.5f, 0.5f, 0.5f, 0.05f, 0.04f};

struct JointHistory {
    Vec3 filtered{};
    Vec3 trend{};
    unsigned frames = 0;  // frames seen since the history (re)started
};

Vec3 smoothJoint(JointHistory& history, Vec3 measured, const NUI_TRANSFORM_SMOOTH_PARAMETERS& p) {
    Vec3 filtered;
    Vec3 trend;
    if (history.frames == 0) {
        filtered = measured;
        trend = {0.0f, 0.0f, 0.0f};
    } else if (history.frames == 1) {
        filtered = blend(history.filtered, measured, 0.5f);
        trend = blend(history.trend, filtered - history.filtered, p.fCorrection);
    } else {
        // Small moves around the estimate are mostly noise: let them through
        // only in proportion to their size.
        Vec3 input = measured;
        const float step = length(measured - history.filtered);
        if (p.fJitterRadius > 0.0f && step <= p.fJitterRadius) {
            input = blend(history.filtered, measured, step / p.fJitterRadius);
        }
        filtered = blend(input, history.filtered + history.trend, p.fSmoothing);
        trend = blend(history.trend, filtered - history.filtered, p.fCorrection);
    }
    Vec3 output = filtered + trend * p.fPrediction;
    const float deviation = length(output - measured);
    if (deviation > p.fMaxDeviationRadius) output = blend(measured, output, p.fMaxDeviationRadius / deviation);

    history.filtered = filtered;
    history.trend = trend;
    if (history.frames < 2) ++history.frames;
    return output;
}

}  // namespace

struct SkeletonSmoothingFilter::State {
    std::array<std::array<JointHistory, NUI_SKELETON_POSITION_COUNT>, NUI_SKELETON_COUNT> joints{};
    std::array<DWORD, NUI_SKELETON_COUNT> trackingIds{};

    void forgetSlot(int slot) {
        joints[slot] = {};
        trackingIds[slot] = 0;
    }
};

SkeletonSmoothingFilter::SkeletonSmoothingFilter() : state_(std::make_unique<State>()) {}
SkeletonSmoothingFilter::~SkeletonSmoothingFilter() = default;

void SkeletonSmoothingFilter::apply(NUI_SKELETON_FRAME& frame, const NUI_TRANSFORM_SMOOTH_PARAMETERS* parameters) {
    const NUI_TRANSFORM_SMOOTH_PARAMETERS& p = parameters != nullptr ? *parameters : defaultParameters;
    for (int slot = 0; slot < NUI_SKELETON_COUNT; ++slot) {
        NUI_SKELETON_DATA& skeleton = frame.SkeletonData[slot];
        if (skeleton.eTrackingState != NUI_SKELETON_TRACKED) {
            state_->forgetSlot(slot);
            continue;
        }
        if (state_->trackingIds[slot] != skeleton.dwTrackingID) {
            state_->forgetSlot(slot);
            state_->trackingIds[slot] = skeleton.dwTrackingID;
        }
        for (int joint = 0; joint < NUI_SKELETON_POSITION_COUNT; ++joint) {
            JointHistory& history = state_->joints[slot][joint];
            if (skeleton.eSkeletonPositionTrackingState[joint] == NUI_SKELETON_POSITION_NOT_TRACKED) {
                history = {};
                continue;
            }
            Vector4& position = skeleton.SkeletonPositions[joint];
            const Vec3 smoothed = smoothJoint(history, Vec3{position.x, position.y, position.z}, p);
            position.x = smoothed.x;
            position.y = smoothed.y;
            position.z = smoothed.z;
        }
    }
}

void SkeletonSmoothingFilter::reset() {
    *state_ = State{};
}

}  // namespace plexa::virtual1
