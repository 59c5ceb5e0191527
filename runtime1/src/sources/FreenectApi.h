// The part of libfreenect 0.5 (libfreenect.h, libfreenect_registration.h)
// that the freenect source calls: its types, with the header's layouts, and a
// table of its functions, found at run time in the loaded library. Only what
// is called is declared; tests/runtime1/freenect_layout_test.cpp checks every
// size and offset here against the library's own headers.
#pragma once

#include <cstdint>
#include <string>

#include <sys/time.h>

namespace plexa::virtual1::freenect {

struct Context;  // freenect_context
struct Device;   // freenect_device

enum Resolution : std::int32_t { ResolutionLow = 0, ResolutionMedium = 1, ResolutionHigh = 2 };
enum VideoFormat : std::int32_t { VideoRgb = 0, VideoInfrared10Bit = 3 };
enum DepthFormat : std::int32_t { Depth11Bit = 0 };
enum DeviceFlags : std::int32_t { DeviceMotor = 0x01, DeviceCamera = 0x02 };
enum LogLevel : std::int32_t { LogError = 1 };

// freenect_frame_mode
struct FrameMode {
    std::uint32_t reserved;
    std::int32_t resolution;
    std::int32_t format;  // the union of the video and depth formats
    std::int32_t bytes;
    std::int16_t width;
    std::int16_t height;
    std::int8_t dataBitsPerPixel;
    std::int8_t paddingBitsPerPixel;
    std::int8_t framerate;
    std::int8_t isValid;
};

// freenect_raw_tilt_state
struct RawTiltState {
    std::int16_t accelerometerX;
    std::int16_t accelerometerY;
    std::int16_t accelerometerZ;
    std::int8_t tiltAngle;
    std::int32_t tiltStatus;
};

// freenect_registration and its parts.
struct RegistrationInfo {
    std::int32_t values[29];
};
struct RegistrationPadInfo {
    std::uint16_t startLines;
    std::uint16_t endLines;
    std::uint16_t croppingLines;
};
struct ZeroPlaneInfo {
    float dcmosEmitterDistance;
    float dcmosRcmosDistance;
    float referenceDistance;
    float referencePixelSize;
};
struct Registration {
    RegistrationInfo registrationInfo;
    RegistrationPadInfo padInfo;
    ZeroPlaneInfo zeroPlaneInfo;
    double constShift;
    std::uint16_t* rawToMillimetreShift;       // 2048 entries
    std::int32_t* depthToRgbShift;             // 10000 entries, by millimetres
    std::int32_t (*registrationTable)[2];      // 640 x 480 pairs
};

constexpr int kRegistrationShiftCount = 10000;  // DEPTH_MAX_METRIC_VALUE in libfreenect's registration.c
constexpr std::int8_t kTiltAngleUnknown = -128; // what the motor reports while it moves

using FrameCallback = void (*)(Device* device, void* data, std::uint32_t timestamp);

// The functions; the last two are absent from fakenect and may be null.
struct Api {
    int (*init)(Context** context, void* usbContext);
    int (*shutdown)(Context* context);
    void (*setLogLevel)(Context* context, LogLevel level);
    void (*selectSubdevices)(Context* context, DeviceFlags subdevices);
    int (*numDevices)(Context* context);
    int (*openDevice)(Context* context, Device** device, int index);
    void (*setUser)(Device* device, void* user);
    void* (*getUser)(Device* device);
    void (*setDepthCallback)(Device* device, FrameCallback callback);
    void (*setVideoCallback)(Device* device, FrameCallback callback);
    int (*getVideoModeCount)();
    FrameMode (*getVideoMode)(int index);
    int (*getDepthModeCount)();
    FrameMode (*getDepthMode)(int index);
    int (*setVideoMode)(Device* device, FrameMode mode);
    int (*setDepthMode)(Device* device, FrameMode mode);
    int (*startDepth)(Device* device);
    int (*startVideo)(Device* device);
    int (*stopDepth)(Device* device);
    int (*stopVideo)(Device* device);
    int (*processEventsTimeout)(Context* context, timeval* timeout);
    int (*updateTiltState)(Device* device);
    RawTiltState* (*getTiltState)(Device* device);
    double (*getTiltDegs)(RawTiltState* state);
    int (*setTiltDegs)(Device* device, double angle);
    Registration (*copyRegistration)(Device* device);
    int (*destroyRegistration)(Registration* registration);
};

// Loads the library (`file`, as dlopen takes it) and finds its functions.
// False, with the reason in `problem`, when it cannot be loaded or lacks one.
bool loadApi(const char* file, Api& api, std::string& problem);

}  // namespace plexa::virtual1::freenect
