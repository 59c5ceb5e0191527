// The default sensor: opening and closing it, its coordinate mapper and its
// multi-source readers.
#pragma once

#include "RefCounted.h"

namespace plexa::virtual2 {

class KinectSensor final : public RefCounted<IKinectSensor> {
public:
    KinectSensor() = default;
    ~KinectSensor() override;

    HRESULT get_CoordinateMapper(ICoordinateMapper** mapper) override;
    HRESULT Open() override;
    HRESULT Close() override;
    HRESULT OpenMultiSourceFrameReader(DWORD enabledFrameSourceTypes, IMultiSourceFrameReader** reader) override;
};

}  // namespace plexa::virtual2
