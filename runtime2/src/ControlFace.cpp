// The control face: thin entries onto the runtime's process-wide state.
#include "CameraModel.h"
#include "Instrumentation.h"
#include "ObjectCount.h"
#include "RuntimeState.h"

namespace plexa::virtual2 {

void reset() { RuntimeState::instance().reset(); }

void setSensorPresent(bool present) { RuntimeState::instance().setSensorPresent(present); }

void setScripted(bool scripted) { RuntimeState::instance().setScripted(scripted); }

void queueFrame(ScriptedFrame frame) { RuntimeState::instance().queueFrame(std::move(frame)); }

int queuedFrameCount() { return RuntimeState::instance().queuedFrameCount(); }

void injectFailure(Operation operation, HRESULT code, int times, FrameKind frameKind, int bodySlot) {
    injectFailureEntry(operation, code, times, frameKind, bodySlot);
}

void clearFailures() { clearInjectedFailures(); }

void setMapperPresent(bool present) { RuntimeState::instance().setMapperPresent(present); }

std::vector<CallRecord> callLog() { return recordedCalls(); }

void clearCallLog() { clearRecordedCalls(); }

int liveObjectCount() { return liveObjects(); }

CameraIntrinsics depthIntrinsics() { return CameraModel::instance().depthIntrinsics(); }

}  // namespace plexa::virtual2
