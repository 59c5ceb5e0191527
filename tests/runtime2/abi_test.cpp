// The runtime header against the runtime's published binary interface: the
// slot of every method the bridge calls, the interface identifiers, and
// QueryInterface on the virtual sensor's objects.
#include "RuntimeFixture.h"
#include "vtable_slot.h"

#include <cstddef>
#include <cstdio>
#include <string>

namespace {

using plexa::test::vtableSlot;

struct SlotCase {
    const char* method;
    std::ptrdiff_t slot;
    std::ptrdiff_t published;
};

#define SLOT_CASE(Interface, Method, published) {#Interface "::" #Method, vtableSlot(&Interface::Method), published}

TEST(RuntimeAbi, MethodsTheBridgeCallsSitInTheirPublishedSlots) {
    const SlotCase cases[] = {
        SLOT_CASE(IKinectSensor, Open, 6),
        SLOT_CASE(IKinectSensor, Close, 7),
        SLOT_CASE(IKinectSensor, OpenMultiSourceFrameReader, 17),
        SLOT_CASE(IKinectSensor, get_CoordinateMapper, 18),
        SLOT_CASE(IMultiSourceFrameReader, SubscribeMultiSourceFrameArrived, 3),
        SLOT_CASE(IMultiSourceFrameReader, UnsubscribeMultiSourceFrameArrived, 4),
        SLOT_CASE(IMultiSourceFrameReader, AcquireLatestFrame, 6),
        SLOT_CASE(IMultiSourceFrame, get_ColorFrameReference, 3),
        SLOT_CASE(IMultiSourceFrame, get_DepthFrameReference, 4),
        SLOT_CASE(IMultiSourceFrame, get_BodyFrameReference, 5),
        SLOT_CASE(IMultiSourceFrame, get_BodyIndexFrameReference, 6),
        SLOT_CASE(IMultiSourceFrame, get_InfraredFrameReference, 7),
        SLOT_CASE(IMultiSourceFrame, get_LongExposureInfraredFrameReference, 8),
        SLOT_CASE(IColorFrameReference, AcquireFrame, 3),
        SLOT_CASE(IDepthFrameReference, AcquireFrame, 3),
        SLOT_CASE(IBodyFrameReference, AcquireFrame, 3),
        SLOT_CASE(IBodyIndexFrameReference, AcquireFrame, 3),
        SLOT_CASE(IInfraredFrameReference, AcquireFrame, 3),
        SLOT_CASE(ILongExposureInfraredFrameReference, AcquireFrame, 3),
        SLOT_CASE(IColorFrame, get_RawColorImageFormat, 3),
        SLOT_CASE(IColorFrame, get_FrameDescription, 4),
        SLOT_CASE(IColorFrame, AccessRawUnderlyingBuffer, 6),
        SLOT_CASE(IColorFrame, CopyConvertedFrameDataToArray, 7),
        SLOT_CASE(IDepthFrame, AccessUnderlyingBuffer, 4),
        SLOT_CASE(IDepthFrame, get_FrameDescription, 5),
        SLOT_CASE(IDepthFrame, get_RelativeTime, 6),
        SLOT_CASE(IInfraredFrame, AccessUnderlyingBuffer, 4),
        SLOT_CASE(IInfraredFrame, get_FrameDescription, 5),
        SLOT_CASE(IInfraredFrame, get_RelativeTime, 6),
        SLOT_CASE(ILongExposureInfraredFrame, AccessUnderlyingBuffer, 4),
        SLOT_CASE(ILongExposureInfraredFrame, get_FrameDescription, 5),
        SLOT_CASE(ILongExposureInfraredFrame, get_RelativeTime, 6),
        SLOT_CASE(IBodyIndexFrame, AccessUnderlyingBuffer, 4),
        SLOT_CASE(IBodyIndexFrame, get_FrameDescription, 5),
        SLOT_CASE(IBodyFrame, GetAndRefreshBodyData, 3),
        SLOT_CASE(IBodyFrame, get_FloorClipPlane, 4),
        SLOT_CASE(IBodyFrame, get_RelativeTime, 5),
        SLOT_CASE(IBody, GetJoints, 3),
        SLOT_CASE(IBody, GetJointOrientations, 4),
        SLOT_CASE(IBody, get_IsTracked, 15),
        SLOT_CASE(IFrameDescription, get_Width, 3),
        SLOT_CASE(IFrameDescription, get_Height, 4),
        SLOT_CASE(IFrameDescription, get_HorizontalFieldOfView, 5),
        SLOT_CASE(IFrameDescription, get_VerticalFieldOfView, 6),
        SLOT_CASE(IFrameDescription, get_DiagonalFieldOfView, 7),
        SLOT_CASE(IFrameDescription, get_LengthInPixels, 8),
        SLOT_CASE(IFrameDescription, get_BytesPerPixel, 9),
        SLOT_CASE(ICoordinateMapper, MapDepthFrameToCameraSpace, 14),
        SLOT_CASE(ICoordinateMapper, MapDepthFrameToColorSpace, 15),
        SLOT_CASE(ICoordinateMapper, GetDepthCameraIntrinsics, 19),
    };
    for (const SlotCase& c : cases) EXPECT_EQ(c.slot, c.published) << c.method;
}

// QueryInterface, AddRef and Release open every table, as IUnknown's.
template <class Interface>
SlotCase unknownSlots(const char* name, int which) {
    switch (which) {
        case 0: return {name, plexa::test::queryInterfaceSlot<Interface>(), 0};
        case 1: return {name, vtableSlot(&Interface::AddRef), 1};
        default: return {name, vtableSlot(&Interface::Release), 2};
    }
}

TEST(RuntimeAbi, EveryInterfaceStartsWithIUnknown) {
    using Probe = SlotCase (*)(const char*, int);
    const std::pair<const char*, Probe> interfaces[] = {
        {"IKinectSensor", &unknownSlots<IKinectSensor>},
        {"IMultiSourceFrameReader", &unknownSlots<IMultiSourceFrameReader>},
        {"IMultiSourceFrame", &unknownSlots<IMultiSourceFrame>},
        {"IColorFrameReference", &unknownSlots<IColorFrameReference>},
        {"IDepthFrameReference", &unknownSlots<IDepthFrameReference>},
        {"IBodyFrameReference", &unknownSlots<IBodyFrameReference>},
        {"IBodyIndexFrameReference", &unknownSlots<IBodyIndexFrameReference>},
        {"IInfraredFrameReference", &unknownSlots<IInfraredFrameReference>},
        {"ILongExposureInfraredFrameReference", &unknownSlots<ILongExposureInfraredFrameReference>},
        {"IColorFrame", &unknownSlots<IColorFrame>},
        {"IDepthFrame", &unknownSlots<IDepthFrame>},
        {"IInfraredFrame", &unknownSlots<IInfraredFrame>},
        {"ILongExposureInfraredFrame", &unknownSlots<ILongExposureInfraredFrame>},
        {"IBodyIndexFrame", &unknownSlots<IBodyIndexFrame>},
        {"IBodyFrame", &unknownSlots<IBodyFrame>},
        {"IBody", &unknownSlots<IBody>},
        {"IFrameDescription", &unknownSlots<IFrameDescription>},
        {"ICoordinateMapper", &unknownSlots<ICoordinateMapper>},
    };
    for (const auto& [name, probe] : interfaces) {
        for (int which = 0; which < 3; ++which) {
            const SlotCase c = probe(name, which);
            EXPECT_EQ(c.slot, c.published) << c.method << " slot " << which;
        }
    }
}

// The identifier in its registry form, as the runtime publishes it.
std::string registryForm(const IID& id) {
    char text[40];
    std::snprintf(text, sizeof text, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                  static_cast<unsigned>(id.Data1), static_cast<unsigned>(id.Data2), static_cast<unsigned>(id.Data3),
                  id.Data4[0], id.Data4[1], id.Data4[2], id.Data4[3], id.Data4[4], id.Data4[5], id.Data4[6],
                  id.Data4[7]);
    return text;
}

TEST(RuntimeAbi, InterfaceIdentifiersAreThePublishedOnes) {
    const std::pair<const IID*, const char*> cases[] = {
        {&IID_IKinectSensor, "3C6EBA94-0DE1-4360-B6D4-653A10794C8B"},
        {&IID_IMultiSourceFrameReader, "C0F6432B-9FFE-4AB3-A683-F37C72BBB158"},
        {&IID_IMultiSourceFrame, "29A63AFB-76CE-4359-895A-997F1E094D1C"},
        {&IID_IColorFrameReference, "5CC49E38-9BBD-48BE-A770-FD30EA405247"},
        {&IID_IDepthFrameReference, "20621E5E-ABC9-4EBD-A7EE-4C77EDD0152A"},
        {&IID_IBodyFrameReference, "C3A1733C-5F84-443B-9659-2F2BE250C97D"},
        {&IID_IBodyIndexFrameReference, "D0EA0519-F7E7-4B1E-B3D8-03B3C002795F"},
        {&IID_IInfraredFrameReference, "60183D5B-DED5-4D5C-AE59-64C7724FE5FE"},
        {&IID_ILongExposureInfraredFrameReference, "10043A3E-0DAA-409C-9944-A6FC66C85AF7"},
        {&IID_IColorFrame, "39D05803-8803-4E86-AD9F-13F6954E4ACA"},
        {&IID_IDepthFrame, "D8600853-8835-44F9-84A7-E617CDD7DFDD"},
        {&IID_IInfraredFrame, "EA83823C-7613-4F29-BD51-4A9678A52C7E"},
        {&IID_ILongExposureInfraredFrame, "D1199394-9A42-4577-BE12-90A38B72282C"},
        {&IID_IBodyIndexFrame, "2CEA0C07-F90C-44DF-A18C-F4D18075EA6B"},
        {&IID_IBodyFrame, "52884F1F-94D7-4B57-BF87-9226950980D5"},
        {&IID_IBody, "46AEF731-98B0-4D18-827B-933758678F4A"},
        {&IID_IFrameDescription, "21F6EFB7-EB6D-48F4-9C08-181A87BF0C98"},
        {&IID_ICoordinateMapper, "8784DF2D-16B0-481C-A11E-55E70BF25018"},
    };
    for (const auto& [id, published] : cases) EXPECT_EQ(registryForm(*id), published);
}

class RuntimeQueryInterface : public RuntimeTest {};

TEST_F(RuntimeQueryInterface, AnswersItsOwnInterfaceAndIUnknownOnly) {
    const IID unknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
    const struct {
        const char* asked;
        const IID* id;
        HRESULT result;
    } cases[] = {
        {"IKinectSensor", &IID_IKinectSensor, S_OK},
        {"IUnknown", &unknown, S_OK},
        {"IBody", &IID_IBody, E_NOINTERFACE},
        {"IColorFrameSource", &IID_IColorFrameSource, E_NOINTERFACE},
    };
    IKinectSensor* sensor = openSensor();
    for (const auto& c : cases) {
        void* answered = &answered;  // anything but null, to see it cleared
        EXPECT_EQ(sensor->QueryInterface(*c.id, &answered), c.result) << c.asked;
        if (SUCCEEDED(c.result)) {
            EXPECT_EQ(answered, static_cast<void*>(sensor)) << c.asked;
            EXPECT_EQ(sensor->Release(), 1u) << c.asked << ": QueryInterface took one reference";
        } else {
            EXPECT_EQ(answered, nullptr) << c.asked;
        }
    }
    EXPECT_EQ(sensor->QueryInterface(IID_IKinectSensor, nullptr), E_POINTER);
}

}  // namespace
