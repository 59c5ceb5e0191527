// The default sensor: opening and closing it, its coordinate mapper and its
// multi-source readers.
#pragma once

#include "RefCounted.h"

namespace plexa::virtual2 {

class KinectSensor final : public RefCounted<IKinectSensor> {
public:
    ~KinectSensor() override;

    HRESULT STDMETHODCALLTYPE get_CoordinateMapper(ICoordinateMapper** mapper) override;
    HRESULT STDMETHODCALLTYPE Open() override;
    HRESULT STDMETHODCALLTYPE Close() override;
    HRESULT STDMETHODCALLTYPE OpenMultiSourceFrameReader(DWORD enabledFrameSourceTypes,
                                                         IMultiSourceFrameReader** reader) override;
};

}  // namespace plexa::virtual2
