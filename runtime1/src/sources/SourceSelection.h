// Which source serves the first-generation sensors of this process, chosen
// once, on the first call of NuiGetSensorCount or NuiCreateSensorByIndex, by
// the environment variable PLEXA_SENSOR1:
//
//   auto (the default)  the sensors libfreenect finds, or the virtual sensor
//                       when it finds none or is not installed
//   virtual             the virtual sensor (scene and scripts)
//   freenect            real sensors through libfreenect; without it, one
//                       line on standard error and no sensor
//   replay:PATH         a depth recording, or a fakenect dump folder, played
//                       as sensor 0; one that cannot be played gives one line
//                       on standard error and no sensor
//
// PLEXA_FREENECT_LIBRARY names the file to load instead of libfreenect.so.0.5
// (for example a build of one's own, or fakenect's stand-in).
#pragma once

#include "SensorSource.h"

#include <memory>
#include <string>

namespace plexa::virtual1 {

class SourceSelection {
public:
    virtual ~SourceSelection() = default;
    // What NuiGetSensorCount reports.
    virtual int sensorCount() = 0;
    // The source of sensor `index`, or the code NuiCreateSensorByIndex fails
    // with (E_INVALIDARG when there is no such sensor).
    virtual HRESULT sourceFor(int index, std::shared_ptr<SensorSource>& source) = 0;
};

// The process's selection; never destroyed, so that threads still running at
// exit can use it.
SourceSelection& sourceSelection();

// One line for the user on standard error: "Plexa: " and the text.
void reportToUser(const std::string& text);

std::unique_ptr<SourceSelection> makeVirtualSelection();
std::unique_ptr<SourceSelection> makeNoSensorSelection();
// A recording file or a fakenect dump folder; no sensor when it cannot be played.
std::unique_ptr<SourceSelection> makeReplaySelection(const std::string& path);

enum class FreenectRequest {
    Auto,      // quietly null when libfreenect is missing or finds no sensor
    Explicit,  // never null: without libfreenect, a line for the user and no sensor
};
std::unique_ptr<SourceSelection> makeFreenectSelection(FreenectRequest request);

}  // namespace plexa::virtual1
