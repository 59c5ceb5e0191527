// The first-generation interfaces keep the vendor runtime's slot order, so a
// bridge built against them calls the right method of the vendor's Kinect10.dll
// and the vendor's callers find ours where they expect it.
#include "Runtime1Fixture.h"
#include "vtable_slot.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

namespace runtime1_test {
namespace {

using plexa::test::vtableSlot;

struct SlotCase {
    std::string method;
    std::ptrdiff_t declared;
    std::ptrdiff_t published;
};

#define PLEXA_SLOT(Interface, Method, slot) SlotCase{#Interface "::" #Method, vtableSlot(&Interface::Method), slot}

// Every method a bridge calls, with the slot the runtime publishes for it.
const std::vector<SlotCase> kSlots = {
    SlotCase{"INuiSensor::QueryInterface", plexa::test::queryInterfaceSlot<INuiSensor>(), 0},
    PLEXA_SLOT(INuiSensor, AddRef, 1),
    PLEXA_SLOT(INuiSensor, Release, 2),
    PLEXA_SLOT(INuiSensor, NuiInitialize, 3),
    PLEXA_SLOT(INuiSensor, NuiShutdown, 4),
    PLEXA_SLOT(INuiSensor, NuiImageStreamOpen, 6),
    PLEXA_SLOT(INuiSensor, NuiImageStreamSetImageFrameFlags, 7),
    PLEXA_SLOT(INuiSensor, NuiImageStreamGetImageFrameFlags, 8),
    PLEXA_SLOT(INuiSensor, NuiImageStreamGetNextFrame, 9),
    PLEXA_SLOT(INuiSensor, NuiImageStreamReleaseFrame, 10),
    PLEXA_SLOT(INuiSensor, NuiImageGetColorPixelCoordinateFrameFromDepthPixelFrameAtResolution, 13),
    PLEXA_SLOT(INuiSensor, NuiCameraElevationSetAngle, 14),
    PLEXA_SLOT(INuiSensor, NuiCameraElevationGetAngle, 15),
    PLEXA_SLOT(INuiSensor, NuiSkeletonTrackingEnable, 16),
    PLEXA_SLOT(INuiSensor, NuiSkeletonTrackingDisable, 17),
    PLEXA_SLOT(INuiSensor, NuiSkeletonGetNextFrame, 19),
    PLEXA_SLOT(INuiSensor, NuiTransformSmooth, 20),
    PLEXA_SLOT(INuiSensor, NuiStatus, 26),
    PLEXA_SLOT(INuiSensor, NuiAccelerometerGetCurrentReading, 33),
    PLEXA_SLOT(INuiSensor, NuiGetDepthFilterForTimeStamp, 36),  // the last slot: the table is whole
    PLEXA_SLOT(INuiFrameTexture, LockRect, 5),
    PLEXA_SLOT(INuiFrameTexture, UnlockRect, 7),
};

#undef PLEXA_SLOT

TEST(Runtime1Abi, EveryCalledMethodSitsInItsPublishedSlot) {
    for (const SlotCase& slot : kSlots) {
        EXPECT_EQ(slot.declared, slot.published) << slot.method;
    }
}

TEST(Runtime1Abi, SensorAnswersItsOwnInterfacesOnly) {
    SensorPtr sensor = createSensor();
    ASSERT_NE(sensor, nullptr);
    for (const IID& iid : {IID_INuiSensor, IID_IUnknown}) {
        void* same = nullptr;
        ASSERT_EQ(sensor->QueryInterface(iid, &same), S_OK);
        EXPECT_EQ(same, sensor.get());
        static_cast<INuiSensor*>(same)->Release();
    }
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(sensor->QueryInterface(IID_INuiFrameTexture, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
}

}  // namespace
}  // namespace runtime1_test
