// Which sources serve the first-generation sensors of this process, chosen
// once, on the first call of NuiGetSensorCount or NuiCreateSensorByIndex, by
// the environment variable PLEXA_SENSOR1: a comma-separated list of sources,
// sensor index i being the i-th sensor the list names.
//
//   auto (the default)  every sensor libfreenect finds, or one virtual sensor
//                       when it finds none or is not installed (which one
//                       line on standard error then says)
//   virtual             one virtual sensor (scene and scripts); each further
//                       one films the same room from a place of its own
//   freenect            every real sensor libfreenect finds, in its order;
//                       without libfreenect, one line and no sensor
//   replay:PATH         one sensor playing a depth recording or a fakenect
//                       dump folder; one that cannot be played gives one line
//                       and no sensor
//
// A list naming more than 10 sensors, an empty entry or an unknown word gives
// one line on standard error and no sensor.
//
// PLEXA_FREENECT_LIBRARY names the file to load instead of libfreenect.so.0.5
// (for example a build of one's own, or fakenect's stand-in).
#pragma once

#include "SensorSource.h"

#include <memory>

namespace plexa::virtual1 {

// The most sensors a list may name: the bridge's sensor table.
constexpr int kMostListedSensors = 10;

// The process's selection, made on first use from PLEXA_SENSOR1; never
// destroyed, so that threads still running at exit can use it.
SourceSelection& sourceSelection();

// The selection a PLEXA_SENSOR1 value names (null or empty: auto); what cannot
// be used has been said on standard error, and gives no sensor.
std::unique_ptr<SourceSelection> selectSources(const char* value);

}  // namespace plexa::virtual1
