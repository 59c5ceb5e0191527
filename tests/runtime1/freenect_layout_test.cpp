// The freenect source declares the part of libfreenect 0.5 it calls itself
// (runtime1/src/sources/FreenectApi.h), since the library is loaded at run
// time. Here those declarations meet libfreenect's own headers: every size
// and offset, and every function's type, must be the header's.
#include "sources/FreenectApi.h"

#include <libfreenect.h>
#include <libfreenect_registration.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <type_traits>

namespace {

namespace ours = plexa::virtual1::freenect;

#define SAME_LAYOUT(Ours, Theirs) \
    static_assert(sizeof(Ours) == sizeof(Theirs) && alignof(Ours) == alignof(Theirs), #Ours " is " #Theirs)
#define SAME_OFFSET(Ours, ourField, Theirs, theirField) \
    static_assert(offsetof(Ours, ourField) == offsetof(Theirs, theirField), #Ours "::" #ourField)

SAME_LAYOUT(ours::FrameMode, freenect_frame_mode);
SAME_OFFSET(ours::FrameMode, resolution, freenect_frame_mode, resolution);
SAME_OFFSET(ours::FrameMode, format, freenect_frame_mode, video_format);
SAME_OFFSET(ours::FrameMode, format, freenect_frame_mode, depth_format);
SAME_OFFSET(ours::FrameMode, bytes, freenect_frame_mode, bytes);
SAME_OFFSET(ours::FrameMode, width, freenect_frame_mode, width);
SAME_OFFSET(ours::FrameMode, height, freenect_frame_mode, height);
SAME_OFFSET(ours::FrameMode, dataBitsPerPixel, freenect_frame_mode, data_bits_per_pixel);
SAME_OFFSET(ours::FrameMode, paddingBitsPerPixel, freenect_frame_mode, padding_bits_per_pixel);
SAME_OFFSET(ours::FrameMode, framerate, freenect_frame_mode, framerate);
SAME_OFFSET(ours::FrameMode, isValid, freenect_frame_mode, is_valid);

SAME_LAYOUT(ours::RawTiltState, freenect_raw_tilt_state);
SAME_OFFSET(ours::RawTiltState, accelerometerX, freenect_raw_tilt_state, accelerometer_x);
SAME_OFFSET(ours::RawTiltState, accelerometerY, freenect_raw_tilt_state, accelerometer_y);
SAME_OFFSET(ours::RawTiltState, accelerometerZ, freenect_raw_tilt_state, accelerometer_z);
SAME_OFFSET(ours::RawTiltState, tiltAngle, freenect_raw_tilt_state, tilt_angle);
SAME_OFFSET(ours::RawTiltState, tiltStatus, freenect_raw_tilt_state, tilt_status);

SAME_LAYOUT(ours::RegistrationInfo, freenect_reg_info);
SAME_LAYOUT(ours::RegistrationPadInfo, freenect_reg_pad_info);
SAME_LAYOUT(ours::ZeroPlaneInfo, freenect_zero_plane_info);
SAME_LAYOUT(ours::Registration, freenect_registration);
SAME_OFFSET(ours::Registration, padInfo, freenect_registration, reg_pad_info);
SAME_OFFSET(ours::Registration, zeroPlaneInfo, freenect_registration, zero_plane_info);
SAME_OFFSET(ours::Registration, constShift, freenect_registration, const_shift);
SAME_OFFSET(ours::Registration, rawToMillimetreShift, freenect_registration, raw_to_mm_shift);
SAME_OFFSET(ours::Registration, depthToRgbShift, freenect_registration, depth_to_rgb_shift);
SAME_OFFSET(ours::Registration, registrationTable, freenect_registration, registration_table);

constexpr int value(int v) { return v; }
static_assert(value(ours::ResolutionMedium) == value(FREENECT_RESOLUTION_MEDIUM) &&
              value(ours::ResolutionHigh) == value(FREENECT_RESOLUTION_HIGH));
static_assert(value(ours::VideoRgb) == value(FREENECT_VIDEO_RGB) &&
              value(ours::VideoInfrared10Bit) == value(FREENECT_VIDEO_IR_10BIT));
static_assert(value(ours::Depth11Bit) == value(FREENECT_DEPTH_11BIT));
static_assert(value(ours::DeviceMotor) == value(FREENECT_DEVICE_MOTOR) &&
              value(ours::DeviceCamera) == value(FREENECT_DEVICE_CAMERA));
static_assert(value(ours::LogError) == value(FREENECT_LOG_ERROR));
static_assert(sizeof(FREENECT_COUNTS_PER_G) && FREENECT_COUNTS_PER_G == 819);
static_assert(FREENECT_DEPTH_RAW_NO_VALUE == 2047);

// Each function pointer of the table can take the header's function once the
// opaque and enum types are ours: same parameter and result sizes, in order.
template <typename Ours, typename Theirs>
struct SameShape;
template <typename R1, typename... A1, typename R2, typename... A2>
struct SameShape<R1 (*)(A1...), R2 (*)(A2...)> {
    static constexpr bool value =
        sizeof...(A1) == sizeof...(A2) && (std::is_void_v<R1> == std::is_void_v<R2>)&&((sizeof(A1) == sizeof(A2)) && ...);
};
#define SAME_FUNCTION(field, function) \
    static_assert(SameShape<decltype(ours::Api::field), decltype(&function)>::value, #function)

SAME_FUNCTION(init, freenect_init);
SAME_FUNCTION(shutdown, freenect_shutdown);
SAME_FUNCTION(setLogLevel, freenect_set_log_level);
SAME_FUNCTION(selectSubdevices, freenect_select_subdevices);
SAME_FUNCTION(numDevices, freenect_num_devices);
SAME_FUNCTION(openDevice, freenect_open_device);
SAME_FUNCTION(setUser, freenect_set_user);
SAME_FUNCTION(getUser, freenect_get_user);
SAME_FUNCTION(setDepthCallback, freenect_set_depth_callback);
SAME_FUNCTION(setVideoCallback, freenect_set_video_callback);
SAME_FUNCTION(getVideoModeCount, freenect_get_video_mode_count);
SAME_FUNCTION(getVideoMode, freenect_get_video_mode);
SAME_FUNCTION(getDepthModeCount, freenect_get_depth_mode_count);
SAME_FUNCTION(getDepthMode, freenect_get_depth_mode);
SAME_FUNCTION(setVideoMode, freenect_set_video_mode);
SAME_FUNCTION(setDepthMode, freenect_set_depth_mode);
SAME_FUNCTION(startDepth, freenect_start_depth);
SAME_FUNCTION(startVideo, freenect_start_video);
SAME_FUNCTION(stopDepth, freenect_stop_depth);
SAME_FUNCTION(stopVideo, freenect_stop_video);
SAME_FUNCTION(processEventsTimeout, freenect_process_events_timeout);
SAME_FUNCTION(updateTiltState, freenect_update_tilt_state);
SAME_FUNCTION(getTiltState, freenect_get_tilt_state);
SAME_FUNCTION(getTiltDegs, freenect_get_tilt_degs);
SAME_FUNCTION(setTiltDegs, freenect_set_tilt_degs);
SAME_FUNCTION(copyRegistration, freenect_copy_registration);
SAME_FUNCTION(destroyRegistration, freenect_destroy_registration);

TEST(FreenectLayout, TheDeclarationsAreLibfreenectsOwn) {
    SUCCEED() << "checked when this file compiled";
}

}  // namespace
