// Loading libfreenect at run time, so that the runtime, its tests and the demo
// work where it is not installed.
#include "FreenectApi.h"

#include "plexa/shared_library.h"

namespace plexa::virtual1::freenect {

bool loadApi(const char* file, Api& api, std::string& problem) {
    const SharedLibrary library(file);
    if (!library.loaded()) {
        problem = library.problem();
        return false;
    }
    problem.clear();
    const auto find = [&](const char* name, auto& function, std::string& missing) {
        if (library.find(name, function)) return true;
        if (missing.empty()) missing = std::string("it has no ") + name;
        return false;
    };
    bool found = true;
    found &= find("freenect_init", api.init, problem);
    found &= find("freenect_shutdown", api.shutdown, problem);
    found &= find("freenect_set_log_level", api.setLogLevel, problem);
    found &= find("freenect_select_subdevices", api.selectSubdevices, problem);
    found &= find("freenect_num_devices", api.numDevices, problem);
    found &= find("freenect_open_device", api.openDevice, problem);
    found &= find("freenect_set_user", api.setUser, problem);
    found &= find("freenect_get_user", api.getUser, problem);
    found &= find("freenect_set_depth_callback", api.setDepthCallback, problem);
    found &= find("freenect_set_video_callback", api.setVideoCallback, problem);
    found &= find("freenect_get_video_mode_count", api.getVideoModeCount, problem);
    found &= find("freenect_get_video_mode", api.getVideoMode, problem);
    found &= find("freenect_get_depth_mode_count", api.getDepthModeCount, problem);
    found &= find("freenect_get_depth_mode", api.getDepthMode, problem);
    found &= find("freenect_set_video_mode", api.setVideoMode, problem);
    found &= find("freenect_set_depth_mode", api.setDepthMode, problem);
    found &= find("freenect_start_depth", api.startDepth, problem);
    found &= find("freenect_start_video", api.startVideo, problem);
    found &= find("freenect_stop_depth", api.stopDepth, problem);
    found &= find("freenect_stop_video", api.stopVideo, problem);
    found &= find("freenect_process_events_timeout", api.processEventsTimeout, problem);
    found &= find("freenect_update_tilt_state", api.updateTiltState, problem);
    found &= find("freenect_get_tilt_state", api.getTiltState, problem);
    found &= find("freenect_get_tilt_degs", api.getTiltDegs, problem);
    found &= find("freenect_set_tilt_degs", api.setTiltDegs, problem);
    // The device's registration data; fakenect has none.
    std::string optional;
    if (!find("freenect_copy_registration", api.copyRegistration, optional) ||
        !find("freenect_destroy_registration", api.destroyRegistration, optional)) {
        api.copyRegistration = nullptr;
        api.destroyRegistration = nullptr;
    }
    return found;
}

}  // namespace plexa::virtual1::freenect
