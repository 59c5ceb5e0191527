// The body frame and the body objects it fills: six slots of 25 joints.
#pragma once

#include "RefCounted.h"
#include "runtime2/VirtualSensor2.h"

#include <memory>
#include <mutex>

namespace plexa::virtual2 {

// One body slot as of the last frame that filled or refreshed it. A caller may
// keep a body across frames and have the next frame refresh it, possibly from
// another thread, so its data is guarded.
class Body final : public RefCounted<IBody> {
public:
    Body(int slot, const ScriptedBody& data);

    void refresh(int slot, const ScriptedBody& data);

    HRESULT STDMETHODCALLTYPE get_IsTracked(BOOLEAN* tracked) override;
    HRESULT STDMETHODCALLTYPE GetJoints(UINT capacity, Joint* joints) override;
    HRESULT STDMETHODCALLTYPE GetJointOrientations(UINT capacity, JointOrientation* orientations) override;

private:
    int slot() const;

    mutable std::mutex mutex_;
    int slot_;
    ScriptedBody data_;
};

class BodyFrame final : public RefCounted<IBodyFrame> {
public:
    BodyFrame(std::shared_ptr<const ScriptedBodies> bodies, TIMESPAN relativeTime);

    HRESULT STDMETHODCALLTYPE get_RelativeTime(TIMESPAN* relativeTime) override;
    HRESULT STDMETHODCALLTYPE GetAndRefreshBodyData(UINT capacity, IBody** bodies) override;
    HRESULT STDMETHODCALLTYPE get_FloorClipPlane(Vector4* floorClipPlane) override;

private:
    const std::shared_ptr<const ScriptedBodies> bodies_;
    const TIMESPAN relativeTime_;
};

}  // namespace plexa::virtual2
