// What the virtual sensors share per process: how many are connected and,
// per sensor index, the settings and scripts of the control face. Settings
// apply by index, so every sensor object of one index sees them.
//
// Lock order: a sensor's mutex may be held while calling in here; this state
// calls nothing else.
#pragma once

#include "ImageGeometry.h"
#include "runtime1/VirtualSensor1.h"

#include <array>
#include <chrono>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

namespace plexa::virtual1 {

// Indexes the control face and NuiCreateSensorByIndex accept.
constexpr int sensorIndexLimit = 32;

constexpr bool isSensorIndex(int index) { return index >= 0 && index < sensorIndexLimit; }

class VirtualSensors {
public:
    VirtualSensors();

    // The clock every virtual sensor's time stamps count from: the first
    // moment asked for, kept for the process.
    std::chrono::steady_clock::time_point clockStart(std::chrono::steady_clock::time_point now);

    int connectedCount();
    void setConnectedCount(int count);
    // The sensors a list of sources names: connected from the start, and
    // again after the control face's reset.
    void setListedCount(int count);
    bool isConnected(int index);

    // What the control face set for an index: read as a copy, changed under the lock.
    struct Settings {
        bool scripted = false;
        HRESULT status = S_OK;
        LONG elevation = 0;
        std::optional<Vector4> accelerometer;  // none: gravity at the current tilt
    };
    Settings settings(int index);
    template <class Change>
    void change(int index, Change&& change) {
        std::lock_guard<std::mutex> lock(mutex_);
        change(static_cast<Settings&>(indexes_[index]));
    }
    // The reading the control face set, or gravity at the current tilt.
    Vector4 accelerometer(int index);

    // Scripted frames wait here, per index, until a stream of that index takes them.
    void queueImage(int index, Stream stream, ScriptedImageFrame&& frame);
    bool popImage(int index, Stream stream, ScriptedImageFrame& frame);
    void returnImages(int index, Stream stream, std::vector<ScriptedImageFrame>&& frames);
    void queueSkeleton(int index, const NUI_SKELETON_FRAME& frame);
    bool popSkeleton(int index, NUI_SKELETON_FRAME& frame);
    void returnSkeletons(int index, std::vector<NUI_SKELETON_FRAME>&& frames);

    // Settings, scripts and connected count as in a fresh process.
    void resetSettings();

private:
    struct IndexState : Settings {
        std::array<std::deque<ScriptedImageFrame>, 2> queuedImages;
        std::deque<NUI_SKELETON_FRAME> queuedSkeletons;

        void resetSettings(int index);
    };

    std::mutex mutex_;
    std::optional<std::chrono::steady_clock::time_point> clockStart_;
    int listedCount_ = 1;
    std::optional<int> connectedCount_;  // the control face's, which stands over the listed count
    std::array<IndexState, sensorIndexLimit> indexes_;
};

// The process-wide state; never destroyed, so that threads still running at
// exit can use it.
VirtualSensors& virtualSensors();

}  // namespace plexa::virtual1
