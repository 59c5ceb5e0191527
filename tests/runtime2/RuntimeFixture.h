// Helpers for tests of the virtual second-generation sensor on its own: a
// holder that gives a runtime reference back, and a fixture that starts every
// test from a fresh runtime in scripted mode and checks at the end that every
// object was given back.
#pragma once

#include "runtime2/VirtualSensor2.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace rt2 = plexa::virtual2;

// One reference held by the test.
template <class Interface>
class Ref {
public:
    Ref() = default;
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    ~Ref() { reset(); }

    void reset() {
        if (object_ != nullptr) object_->Release();
        object_ = nullptr;
    }
    // For out parameters; drops what was held first.
    Interface** out() {
        reset();
        return &object_;
    }
    Interface* get() const { return object_; }
    Interface* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    Interface* object_ = nullptr;
};

// How long a test waits for a live frame. The first one of a process draws
// the scene's room for each camera, which takes seconds in a sanitizer build
// on a busy machine; the wait ends as soon as the frame is there.
constexpr DWORD kLiveFrameDeadlineMs = 30000;

constexpr DWORD kEverySource = FrameSourceTypes_Color | FrameSourceTypes_Infrared |
                               FrameSourceTypes_LongExposureInfrared | FrameSourceTypes_Depth |
                               FrameSourceTypes_BodyIndex | FrameSourceTypes_Body;

class RuntimeTest : public ::testing::Test {
protected:
    void SetUp() override {
        rt2::reset();
        rt2::setScripted(true);
        objectsBefore_ = rt2::liveObjectCount();
    }

    void TearDown() override {
        sensor_.reset();
        rt2::reset();
        EXPECT_EQ(rt2::liveObjectCount(), objectsBefore_) << "an object handed out was not freed";
    }

    IKinectSensor* openSensor() {
        EXPECT_EQ(GetDefaultKinectSensor(sensor_.out()), S_OK);
        EXPECT_EQ(sensor_->Open(), S_OK);
        return sensor_.get();
    }

    // A reader over the open sensor; closing is up to the test.
    void openReader(DWORD sources, Ref<IMultiSourceFrameReader>& reader) {
        if (!sensor_) openSensor();
        ASSERT_EQ(sensor_->OpenMultiSourceFrameReader(sources, reader.out()), S_OK);
    }

    int objectsBefore_ = 0;
    Ref<IKinectSensor> sensor_;
};

// A scripted depth image whose samples count up from `first`.
inline rt2::ScriptedShortImage countingImage(int width, int height, std::uint16_t first, std::size_t count) {
    rt2::ScriptedShortImage image;
    image.width = width;
    image.height = height;
    image.samples.resize(count);
    for (std::size_t i = 0; i < count; ++i) image.samples[i] = static_cast<std::uint16_t>(first + i);
    return image;
}

inline rt2::ScriptedFrame depthOnlyFrame(std::uint16_t marker) {
    rt2::ScriptedFrame frame;
    frame.depth = countingImage(4, 2, marker, 8);
    return frame;
}

// The first depth sample of the frame the reader gives next (or -1).
inline int nextDepthMarker(IMultiSourceFrameReader* reader) {
    Ref<IMultiSourceFrame> frame;
    if (FAILED(reader->AcquireLatestFrame(frame.out()))) return -1;
    Ref<IDepthFrameReference> reference;
    Ref<IDepthFrame> depth;
    if (FAILED(frame->get_DepthFrameReference(reference.out())) || FAILED(reference->AcquireFrame(depth.out()))) {
        return -1;
    }
    UINT capacity = 0;
    UINT16* samples = nullptr;
    if (FAILED(depth->AccessUnderlyingBuffer(&capacity, &samples)) || capacity == 0) return -1;
    return samples[0];
}

// Where a camera-space point appears in the depth image by the given
// intrinsics: x the column, y the row (row 0 at the top, camera y up).
inline ColorSpacePoint projectToDepthImage(const CameraIntrinsics& k, const CameraSpacePoint& point) {
    const double x = point.X / point.Z, y = -point.Y / point.Z;
    const double r2 = x * x + y * y;
    const double scale = 1 + r2 * (k.RadialDistortionSecondOrder +
                                   r2 * (k.RadialDistortionFourthOrder + r2 * k.RadialDistortionSixthOrder));
    return ColorSpacePoint{static_cast<float>(k.FocalLengthX * x * scale + k.PrincipalPointX),
                           static_cast<float>(k.FocalLengthY * y * scale + k.PrincipalPointY)};
}

inline std::vector<rt2::CallRecord> callsOf(rt2::Operation operation) {
    std::vector<rt2::CallRecord> matching;
    for (const rt2::CallRecord& record : rt2::callLog()) {
        if (record.operation == operation) matching.push_back(record);
    }
    return matching;
}
