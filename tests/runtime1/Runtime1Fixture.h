// Shared pieces of the virtual first-generation sensor's tests.
#pragma once

#include "runtime1/VirtualSensor1.h"
#include "thread_count.h"
#include "wait_until.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

namespace runtime1_test {

namespace v1 = plexa::virtual1;

struct SensorRelease {
    void operator()(INuiSensor* sensor) const { sensor->Release(); }
};
using SensorPtr = std::unique_ptr<INuiSensor, SensorRelease>;

inline SensorPtr createSensor(int index = 0) {
    INuiSensor* sensor = nullptr;
    EXPECT_EQ(NuiCreateSensorByIndex(index, &sensor), S_OK);
    return SensorPtr(sensor);
}

// A manual-reset event, closed when the test is done with it.
class Event {
public:
    Event() : handle_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Event() { CloseHandle(handle_); }
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    HANDLE get() const { return handle_; }
    bool signalled() const { return WaitForSingleObject(handle_, 0) == WAIT_OBJECT_0; }
    bool waitSignalled(DWORD milliseconds) const { return WaitForSingleObject(handle_, milliseconds) == WAIT_OBJECT_0; }

private:
    HANDLE handle_;
};

using plexa::test::waitUntil;

inline int threadCount() {
    return plexa::test::processThreadCount();
}

// A scripted image frame whose bytes count up from `first`.
inline v1::ScriptedImageFrame countingFrame(std::size_t size, std::uint8_t first, std::int32_t pitch = -1) {
    v1::ScriptedImageFrame frame;
    frame.bytes.resize(size);
    for (std::size_t i = 0; i < size; ++i) frame.bytes[i] = static_cast<std::uint8_t>(first + i);
    frame.pitch = pitch;
    return frame;
}

inline NUI_LOCKED_RECT lock(const NUI_IMAGE_FRAME& frame) {
    NUI_LOCKED_RECT locked{};
    EXPECT_EQ(frame.pFrameTexture->LockRect(0, &locked, nullptr, 0), S_OK);
    return locked;
}

// Each test starts from the state of a fresh process.
class Runtime1Test : public ::testing::Test {
protected:
    void SetUp() override { v1::reset(); }
    void TearDown() override { v1::reset(); }
};

}  // namespace runtime1_test
