// The two Java classes as the bridges see them: their callbacks, with the
// signatures of java/src/edu/qet/brightloom/plexa/Plexa1.java and Plexa2.java.
// A class built with one callback left out stands for a program whose class
// lacks it.
#pragma once

#include "FakeObjects.h"

#include <string>
#include <vector>

namespace plexa::e2e {

inline const std::vector<FakeMethod>& plexa1Callbacks() {
    static const std::vector<FakeMethod> callbacks = {
        {"onDepthFrameEventFromNative", "([S[F[F)V"},
        {"onVideoFrameEventFromNative", "([B)V"},
        {"onInfraredFrameEventFromNative", "([S)V"},
        {"onSkeletonFrameEventFromNative", "([Z[F[B)V"},
    };
    return callbacks;
}

inline const std::vector<FakeMethod>& plexa2Callbacks() {
    static const std::vector<FakeMethod> callbacks = {
        {"onFrameEventFromNative", "([I[Ljava/lang/Object;)V"},
        {"setDepthCameraIntrinsics", "(FFFFFFF)V"},
        {"setColorResolution", "(II)V"},
        {"setDepthResolution", "(II)V"},
        {"setInfraredResolution", "(II)V"},
        {"setLongExposureInfraredResolution", "(II)V"},
    };
    return callbacks;
}

inline std::vector<FakeMethod> without(std::vector<FakeMethod> methods, const std::string& name) {
    std::vector<FakeMethod> kept;
    for (FakeMethod& method : methods) {
        if (method.name != name) kept.push_back(std::move(method));
    }
    return kept;
}

}  // namespace plexa::e2e
