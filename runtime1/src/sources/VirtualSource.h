// The virtual sensor as a source: today's scene and scripts. Everything it
// knows sits in the control face's process state, by sensor index.
#pragma once

#include "SensorSource.h"

namespace plexa::virtual1 {

class VirtualSource final : public SensorSource {
public:
    explicit VirtualSource(int index) : index_(index) {}

    bool isVirtual() const override { return true; }
    bool isConnected() override;
    HRESULT status() override;
    HRESULT checkImageStream(std::int32_t, std::int32_t) override { return S_OK; }
    HRESULT checkFrameFlags(DWORD) override { return S_OK; }
    HRESULT checkSkeletonTracking() override { return S_OK; }
    HRESULT setElevation(LONG degrees) override;
    HRESULT elevation(LONG& degrees) override;
    HRESULT accelerometer(Vector4& reading) override;

private:
    const int index_;
};

}  // namespace plexa::virtual1
