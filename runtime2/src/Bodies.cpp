#include "Bodies.h"

#include "ImageFrames.h"
#include "Instrumentation.h"

#include <algorithm>
#include <array>

namespace plexa::virtual2 {
namespace {

// A caller's array takes every joint's entry or none.
template <typename Element>
HRESULT copyPerJoint(std::mutex& mutex, const std::array<Element, JointType_Count>& source, UINT capacity,
                     Element* target) {
    if (target == nullptr) return E_POINTER;
    if (capacity < static_cast<UINT>(JointType_Count)) return E_INVALIDARG;
    std::lock_guard<std::mutex> lock(mutex);
    std::copy(source.begin(), source.end(), target);
    return S_OK;
}

}  // namespace

Body::Body(int slot, const ScriptedBody& data) : slot_(slot), data_(data) {}

void Body::refresh(int slot, const ScriptedBody& data) {
    std::lock_guard<std::mutex> lock(mutex_);
    slot_ = slot;
    data_ = data;
}

int Body::slot() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return slot_;
}

HRESULT STDMETHODCALLTYPE Body::get_IsTracked(BOOLEAN* tracked) {
    return traced({Operation::BodyGetIsTracked, FrameKind::Body, slot()}, {}, [&] {
        if (tracked == nullptr) return E_POINTER;
        std::lock_guard<std::mutex> lock(mutex_);
        *tracked = data_.tracked ? 1 : 0;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE Body::GetJoints(UINT capacity, Joint* joints) {
    return traced({Operation::BodyGetJoints, FrameKind::Body, slot()}, {capacity},
                  [&] { return copyPerJoint(mutex_, data_.joints, capacity, joints); });
}

HRESULT STDMETHODCALLTYPE Body::GetJointOrientations(UINT capacity, JointOrientation* orientations) {
    return traced({Operation::BodyGetJointOrientations, FrameKind::Body, slot()}, {capacity},
                  [&] { return copyPerJoint(mutex_, data_.orientations, capacity, orientations); });
}

BodyFrame::BodyFrame(std::shared_ptr<const ScriptedBodies> bodies, TIMESPAN relativeTime)
    : bodies_(std::move(bodies)), relativeTime_(relativeTime) {}

HRESULT STDMETHODCALLTYPE BodyFrame::get_RelativeTime(TIMESPAN* relativeTime) {
    return answer({Operation::BodyFrameGetRelativeTime, FrameKind::Body}, relativeTime, relativeTime_);
}

// Slots beyond the six of the sensor, in a larger array, are left alone. Every
// non-null entry must be a body of this runtime; that is checked before any
// slot changes, so a refused call changes nothing.
HRESULT STDMETHODCALLTYPE BodyFrame::GetAndRefreshBodyData(UINT capacity, IBody** bodies) {
    return traced({Operation::BodyFrameGetAndRefreshBodyData, FrameKind::Body}, {capacity}, [&] {
        if (bodies == nullptr) return E_POINTER;
        if (capacity < static_cast<UINT>(BODY_COUNT)) return E_INVALIDARG;
        for (int slot = 0; slot < BODY_COUNT; ++slot) {
            if (bodies[slot] != nullptr && dynamic_cast<Body*>(bodies[slot]) == nullptr) return E_INVALIDARG;
        }
        for (int slot = 0; slot < BODY_COUNT; ++slot) {
            const ScriptedBody& data = bodies_->bodies[slot];
            if (bodies[slot] == nullptr) {
                bodies[slot] = handOut<Body>(slot, data);
            } else {
                dynamic_cast<Body*>(bodies[slot])->refresh(slot, data);
            }
        }
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE BodyFrame::get_FloorClipPlane(Vector4* floorClipPlane) {
    return answer({Operation::BodyFrameGetFloorClipPlane, FrameKind::Body}, floorClipPlane, bodies_->floorClipPlane);
}

}  // namespace plexa::virtual2
