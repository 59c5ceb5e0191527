// Loading libfreenect at run time, so that the runtime, its tests and the demo
// work where it is not installed.
#include "FreenectApi.h"

#include <dlfcn.h>

namespace plexa::virtual1::freenect {

namespace {

template <typename Function>
bool find(void* library, const char* name, Function& function, std::string& problem) {
    void* symbol = dlsym(library, name);
    function = reinterpret_cast<Function>(symbol);
    if (symbol == nullptr && problem.empty()) problem = std::string("it has no ") + name;
    return symbol != nullptr;
}

}  // namespace

bool loadApi(const char* file, Api& api, std::string& problem) {
    // Never closed: its threads and callbacks may run until the process ends.
    void* library = dlopen(file, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* reason = dlerror();
        problem = reason != nullptr ? reason : "it cannot be loaded";
        return false;
    }
    problem.clear();
    bool found = true;
    found &= find(library, "freenect_init", api.init, problem);
    found &= find(library, "freenect_shutdown", api.shutdown, problem);
    found &= find(library, "freenect_set_log_level", api.setLogLevel, problem);
    found &= find(library, "freenect_select_subdevices", api.selectSubdevices, problem);
    found &= find(library, "freenect_num_devices", api.numDevices, problem);
    found &= find(library, "freenect_open_device", api.openDevice, problem);
    found &= find(library, "freenect_set_user", api.setUser, problem);
    found &= find(library, "freenect_get_user", api.getUser, problem);
    found &= find(library, "freenect_set_depth_callback", api.setDepthCallback, problem);
    found &= find(library, "freenect_set_video_callback", api.setVideoCallback, problem);
    found &= find(library, "freenect_get_video_mode_count", api.getVideoModeCount, problem);
    found &= find(library, "freenect_get_video_mode", api.getVideoMode, problem);
    found &= find(library, "freenect_get_depth_mode_count", api.getDepthModeCount, problem);
    found &= find(library, "freenect_get_depth_mode", api.getDepthMode, problem);
    found &= find(library, "freenect_set_video_mode", api.setVideoMode, problem);
    found &= find(library, "freenect_set_depth_mode", api.setDepthMode, problem);
    found &= find(library, "freenect_start_depth", api.startDepth, problem);
    found &= find(library, "freenect_start_video", api.startVideo, problem);
    found &= find(library, "freenect_stop_depth", api.stopDepth, problem);
    found &= find(library, "freenect_stop_video", api.stopVideo, problem);
    found &= find(library, "freenect_process_events_timeout", api.processEventsTimeout, problem);
    found &= find(library, "freenect_update_tilt_state", api.updateTiltState, problem);
    found &= find(library, "freenect_get_tilt_state", api.getTiltState, problem);
    found &= find(library, "freenect_get_tilt_degs", api.getTiltDegs, problem);
    found &= find(library, "freenect_set_tilt_degs", api.setTiltDegs, problem);
    // The device's registration data; fakenect has none.
    std::string optional;
    if (!find(library, "freenect_copy_registration", api.copyRegistration, optional) ||
        !find(library, "freenect_destroy_registration", api.destroyRegistration, optional)) {
        api.copyRegistration = nullptr;
        api.destroyRegistration = nullptr;
    }
    return found;
}

}  // namespace plexa::virtual1::freenect
