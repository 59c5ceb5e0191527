// PLEXA_SENSOR1=freenect (and auto): the sensors that libfreenect finds.
#include "FreenectSelection.h"
#include "FreenectContext.h"
#include "UserMessages.h"

#include <cstdlib>
#include <string>

namespace plexa::virtual1 {

namespace {

constexpr const char* kLibraryFile = "libfreenect.so.0.5";

class FreenectSelection final : public SourceSelection {
public:
    explicit FreenectSelection(FreenectContext& context) : context_(context) {}
    int sensorCount() override { return context_.deviceCount(); }
    HRESULT sourceFor(int index, std::shared_ptr<SensorSource>& source) override {
        return context_.device(index, source);
    }

private:
    FreenectContext& context_;
};

}  // namespace

std::unique_ptr<SourceSelection> makeFreenectSelection(FreenectRequest request) {
    const bool explicitly = request == FreenectRequest::Explicit;
    const char* configured = std::getenv("PLEXA_FREENECT_LIBRARY");
    const char* file = configured != nullptr && configured[0] != '\0' ? configured : kLibraryFile;
    freenect::Api api{};
    std::string problem;
    if (!freenect::loadApi(file, api, problem)) {
        reportToUser(std::string(explicitly ? "PLEXA_SENSOR1=freenect, but " : "") + "libfreenect (" + file +
                     ") cannot be used: " + problem + (explicitly ? "; no sensor" : "; the virtual sensor stands in") +
                     " (Debian: apt-get install libfreenect0.5)");
        return nullptr;
    }
    freenect::Context* context = nullptr;
    if (api.init(&context, nullptr) < 0 || context == nullptr) {
        if (!explicitly) return nullptr;
        reportToUser("PLEXA_SENSOR1=freenect, but libfreenect could not start (no USB access?); no sensor");
        return nullptr;
    }
    api.setLogLevel(context, freenect::LogError);
    api.selectSubdevices(context, static_cast<freenect::DeviceFlags>(freenect::DeviceMotor | freenect::DeviceCamera));
    if (!explicitly && api.numDevices(context) <= 0) {
        // Nothing to drive: libusb's threads and files end here.
        api.shutdown(context);
        return nullptr;
    }
    // Never destroyed: its event thread and libfreenect's callbacks may run
    // until the process ends.
    auto* driven = new FreenectContext(api, context);
    return std::make_unique<FreenectSelection>(*driven);
}

}  // namespace plexa::virtual1
