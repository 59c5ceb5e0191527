// A libfreenect 0.5 of our own, for tests of several sensors without hardware:
// PLEXA_STANDIN_DEVICES (default 1) scripted devices, each streaming its own
// frames (standin_frames.h) at 30 per second per started stream, paced on
// absolute times from the stream's start, with a motor of its own.
// plexa_standin_unplug(device) pulls one out: it delivers nothing more, its
// motor stops answering, and event processing reports the dead device as
// libfreenect does (a negative result) while it goes on delivering the others'
// frames. Registration data is not offered, as with fakenect.
#include "FreenectApi.h"
#include "standin_frames.h"
#include "plexa/exports.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace fn = plexa::virtual1::freenect;
namespace standin = plexa::test::standin;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFramesPerSecond = 30;
constexpr int kMostDevices = 16;

fn::FrameMode modeOf(fn::Resolution resolution, std::int32_t format, int bytesPerPixel, std::int8_t dataBits,
                     std::int8_t paddingBits) {
    fn::FrameMode mode{};
    mode.resolution = resolution;
    mode.format = format;
    mode.bytes = standin::kWidth * standin::kHeight * bytesPerPixel;
    mode.width = standin::kWidth;
    mode.height = standin::kHeight;
    mode.dataBitsPerPixel = dataBits;
    mode.paddingBitsPerPixel = paddingBits;
    mode.framerate = kFramesPerSecond;
    mode.isValid = 1;
    return mode;
}

const fn::FrameMode kVideoMode = modeOf(fn::ResolutionMedium, fn::VideoRgb, 3, 24, 0);
const fn::FrameMode kDepthMode = modeOf(fn::ResolutionMedium, fn::Depth11Bit, 2, 11, 5);

bool sameMode(const fn::FrameMode& a, const fn::FrameMode& b) {
    return a.isValid != 0 && a.resolution == b.resolution && a.format == b.format;
}

struct Stream {
    bool modeSet = false;
    bool started = false;
    Clock::time_point origin;
    long long next = 0;  // the number of the next frame, due at origin + next / 30 s
    std::vector<std::uint8_t> buffer;
    fn::FrameCallback callback = nullptr;

    Clock::time_point due(long long frame) const {
        return origin + std::chrono::duration_cast<Clock::duration>(
                            std::chrono::duration<long long, std::ratio<1, kFramesPerSecond>>(frame));
    }
    // Frames missed while nobody processed events are skipped, not bunched.
    long long frameAt(Clock::time_point now) const {
        const auto elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(now - origin).count();
        return std::max(next, static_cast<long long>(elapsed * kFramesPerSecond / 1000000000LL));
    }
};

struct Delivery {
    fn::FrameCallback callback;
    fn::Device* device;
    void* data;
    std::uint32_t timestamp;
};

}  // namespace

struct plexa::virtual1::freenect::Device {
    int index = 0;
    bool open = false;
    std::atomic<bool> unplugged{false};
    void* user = nullptr;
    Stream depth;
    Stream video;
    RawTiltState tilt{};
};

// Like libfreenect, the library leaves it to its caller to make one call at a
// time (the runtime holds its API lock); only unplugging comes from elsewhere.
struct plexa::virtual1::freenect::Context {
    std::vector<std::unique_ptr<Device>> devices;
};

namespace {

// The one context, for plexa_standin_unplug, which the tests call without one.
std::mutex contextMutex;
fn::Context* theContext = nullptr;

void fill(Stream& stream, int device, long long frame, bool isDepth) {
    if (isDepth) {
        stream.buffer.resize(standin::kPixels * 2);
        for (std::size_t p = 0; p < standin::kPixels; ++p) {
            const std::uint16_t raw = standin::rawDepth(device, frame, p);
            stream.buffer[2 * p] = static_cast<std::uint8_t>(raw & 0xFF);
            stream.buffer[2 * p + 1] = static_cast<std::uint8_t>(raw >> 8);
        }
    } else {
        stream.buffer.resize(standin::kPixels * 3);
        for (std::size_t b = 0; b < stream.buffer.size(); ++b) stream.buffer[b] = standin::rgbByte(device, frame, b);
    }
}

// The frames due by `now`, each filled into its stream's buffer.
void collectDue(fn::Device& device, Clock::time_point now, std::vector<Delivery>& deliveries) {
    for (Stream* stream : {&device.depth, &device.video}) {
        if (!stream->started || stream->due(stream->next) > now) continue;
        const long long frame = stream->frameAt(now);
        fill(*stream, device.index, frame, stream == &device.depth);
        stream->next = frame + 1;
        if (stream->callback != nullptr) {
            deliveries.push_back(Delivery{stream->callback, &device, stream->buffer.data(),
                                          static_cast<std::uint32_t>(frame)});
        }
    }
}

int startStream(fn::Device* device, Stream fn::Device::*which) {
    if (device == nullptr || device->unplugged) return -1;
    Stream& stream = device->*which;
    if (!stream.modeSet) return -1;
    stream.started = true;
    stream.origin = Clock::now();
    stream.next = 0;
    return 0;
}

int stopStream(fn::Device* device, Stream fn::Device::*which) {
    if (device == nullptr) return -1;
    (device->*which).started = false;
    return device->unplugged ? -1 : 0;
}

}  // namespace

extern "C" {

PLEXA_EXPORTED int freenect_init(fn::Context** context, void*) {
    if (context == nullptr) return -1;
    const char* configured = std::getenv("PLEXA_STANDIN_DEVICES");
    const int count = std::clamp(configured != nullptr ? std::atoi(configured) : 1, 0, kMostDevices);
    auto made = std::make_unique<fn::Context>();
    for (int i = 0; i < count; ++i) {
        auto device = std::make_unique<fn::Device>();
        device->index = i;
        device->tilt.accelerometerX = standin::accelerometerX(i);
        device->tilt.accelerometerY = standin::accelerometerY(i);
        device->tilt.accelerometerZ = standin::accelerometerZ(i);
        device->tilt.tiltAngle = static_cast<std::int8_t>(2 * standin::tiltDegrees(i));
        made->devices.push_back(std::move(device));
    }
    std::lock_guard<std::mutex> lock(contextMutex);
    *context = theContext = made.release();
    return 0;
}

PLEXA_EXPORTED int freenect_shutdown(fn::Context* context) {
    std::lock_guard<std::mutex> lock(contextMutex);
    if (theContext == context) theContext = nullptr;
    delete context;
    return 0;
}

PLEXA_EXPORTED void freenect_set_log_level(fn::Context*, fn::LogLevel) {}
PLEXA_EXPORTED void freenect_select_subdevices(fn::Context*, fn::DeviceFlags) {}

PLEXA_EXPORTED int freenect_num_devices(fn::Context* context) {
    return context != nullptr ? static_cast<int>(context->devices.size()) : -1;
}

PLEXA_EXPORTED int freenect_open_device(fn::Context* context, fn::Device** device, int index) {
    if (context == nullptr || device == nullptr || index < 0 || index >= freenect_num_devices(context)) return -1;
    fn::Device& opened = *context->devices[static_cast<std::size_t>(index)];
    if (opened.open || opened.unplugged) return -1;
    opened.open = true;
    *device = &opened;
    return 0;
}

PLEXA_EXPORTED void freenect_set_user(fn::Device* device, void* user) { device->user = user; }
PLEXA_EXPORTED void* freenect_get_user(fn::Device* device) { return device->user; }
PLEXA_EXPORTED void freenect_set_depth_callback(fn::Device* device, fn::FrameCallback callback) {
    device->depth.callback = callback;
}
PLEXA_EXPORTED void freenect_set_video_callback(fn::Device* device, fn::FrameCallback callback) {
    device->video.callback = callback;
}

PLEXA_EXPORTED int freenect_get_video_mode_count() { return 1; }
PLEXA_EXPORTED fn::FrameMode freenect_get_video_mode(int index) { return index == 0 ? kVideoMode : fn::FrameMode{}; }
PLEXA_EXPORTED int freenect_get_depth_mode_count() { return 1; }
PLEXA_EXPORTED fn::FrameMode freenect_get_depth_mode(int index) { return index == 0 ? kDepthMode : fn::FrameMode{}; }

PLEXA_EXPORTED int freenect_set_video_mode(fn::Device* device, fn::FrameMode mode) {
    if (device == nullptr || device->unplugged || device->video.started || !sameMode(mode, kVideoMode)) return -1;
    device->video.modeSet = true;
    return 0;
}

PLEXA_EXPORTED int freenect_set_depth_mode(fn::Device* device, fn::FrameMode mode) {
    if (device == nullptr || device->unplugged || device->depth.started || !sameMode(mode, kDepthMode)) return -1;
    device->depth.modeSet = true;
    return 0;
}

PLEXA_EXPORTED int freenect_start_depth(fn::Device* device) { return startStream(device, &fn::Device::depth); }
PLEXA_EXPORTED int freenect_start_video(fn::Device* device) { return startStream(device, &fn::Device::video); }
PLEXA_EXPORTED int freenect_stop_depth(fn::Device* device) { return stopStream(device, &fn::Device::depth); }
PLEXA_EXPORTED int freenect_stop_video(fn::Device* device) { return stopStream(device, &fn::Device::video); }

// Waits for the first frame due within the timeout and delivers every frame
// due by then; negative while an unplugged device is in the context.
PLEXA_EXPORTED int freenect_process_events_timeout(fn::Context* context, timeval* timeout) {
    if (context == nullptr) return -1;
    const auto wait = timeout != nullptr
                          ? std::chrono::seconds(timeout->tv_sec) + std::chrono::microseconds(timeout->tv_usec)
                          : std::chrono::microseconds(1000000 / kFramesPerSecond);
    const Clock::time_point deadline = Clock::now() + wait;
    std::vector<Delivery> deliveries;
    bool deadDevice = false;
    for (;;) {
        Clock::time_point nextDue = deadline;
        const Clock::time_point now = Clock::now();
        deadDevice = false;
        for (const auto& device : context->devices) {
            if (device->unplugged) {
                deadDevice = true;
                device->depth.started = device->video.started = false;
                continue;
            }
            collectDue(*device, now, deliveries);
            for (const Stream* stream : {&device->depth, &device->video}) {
                if (stream->started) nextDue = std::min(nextDue, stream->due(stream->next));
            }
        }
        if (!deliveries.empty() || now >= deadline) break;
        std::this_thread::sleep_until(nextDue);
    }
    for (const Delivery& delivery : deliveries) delivery.callback(delivery.device, delivery.data, delivery.timestamp);
    return deadDevice ? -1 : 0;
}

PLEXA_EXPORTED int freenect_update_tilt_state(fn::Device* device) {
    return device == nullptr || device->unplugged ? -1 : 0;
}

PLEXA_EXPORTED fn::RawTiltState* freenect_get_tilt_state(fn::Device* device) {
    return device != nullptr ? &device->tilt : nullptr;
}

PLEXA_EXPORTED double freenect_get_tilt_degs(fn::RawTiltState* state) {
    return state != nullptr ? state->tiltAngle / 2.0 : 0.0;
}

PLEXA_EXPORTED int freenect_set_tilt_degs(fn::Device* device, double angle) {
    if (device == nullptr || device->unplugged || !(std::fabs(angle) <= 31.0)) return -1;
    device->tilt.tiltAngle = static_cast<std::int8_t>(std::lround(angle * 2.0));
    return 0;
}

// The test's hand on the cable: 0 when `device` was there to pull out.
PLEXA_EXPORTED int plexa_standin_unplug(int device) {
    std::lock_guard<std::mutex> lock(contextMutex);
    if (theContext == nullptr || device < 0 || device >= freenect_num_devices(theContext)) return -1;
    theContext->devices[static_cast<std::size_t>(device)]->unplugged = true;
    return 0;
}

}  // extern "C"
