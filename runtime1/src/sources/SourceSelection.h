// What serves the first-generation sensors of a process: how many there are,
// and the source of each (SourceList.h says how the process chooses).
#pragma once

#include "SensorSource.h"

#include <memory>

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

// No sensor at all.
class NoSensorSelection final : public SourceSelection {
public:
    int sensorCount() override { return 0; }
    HRESULT sourceFor(int, std::shared_ptr<SensorSource>&) override { return E_INVALIDARG; }
};

}  // namespace plexa::virtual1
