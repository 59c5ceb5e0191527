#include "SourceSelection.h"

#include "VirtualSensors.h"
#include "VirtualSource.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace plexa::virtual1 {

namespace {

class VirtualSelection final : public SourceSelection {
public:
    int sensorCount() override { return virtualSensors().connectedCount(); }

    // Every sensor object of an index shares that index's source, which knows
    // which of them receives the frames.
    HRESULT sourceFor(int index, std::shared_ptr<SensorSource>& source) override {
        if (!virtualSensors().isConnected(index)) return E_INVALIDARG;
        std::lock_guard<std::mutex> lock(mutex_);
        std::shared_ptr<VirtualSource>& known = sources_[index];
        if (!known) known = std::make_shared<VirtualSource>(index);
        source = known;
        return S_OK;
    }

private:
    std::mutex mutex_;
    std::array<std::shared_ptr<VirtualSource>, sensorIndexLimit> sources_;
};

class NoSensorSelection final : public SourceSelection {
public:
    int sensorCount() override { return 0; }
    HRESULT sourceFor(int, std::shared_ptr<SensorSource>&) override { return E_INVALIDARG; }
};

std::unique_ptr<SourceSelection> selectFromEnvironment() {
    const char* value = std::getenv("PLEXA_SENSOR1");
    const std::string choice = value != nullptr ? value : "";
    if (choice.empty() || choice == "auto") {
        if (auto freenect = makeFreenectSelection(FreenectRequest::Auto)) return freenect;
        return makeVirtualSelection();
    }
    if (choice == "virtual") return makeVirtualSelection();
    if (choice == "freenect") return makeFreenectSelection(FreenectRequest::Explicit);
    const std::string replay = "replay:";
    if (choice.compare(0, replay.size(), replay) == 0 && choice.size() > replay.size()) {
        return makeReplaySelection(choice.substr(replay.size()));
    }
    reportToUser("PLEXA_SENSOR1=" + choice +
                 " names no first-generation sensor source (auto, virtual, freenect or replay:PATH); no sensor");
    return makeNoSensorSelection();
}

}  // namespace

void reportToUser(const std::string& text) {
    std::fprintf(stderr, "Plexa: %s\n", text.c_str());
    std::fflush(stderr);
}

std::unique_ptr<SourceSelection> makeVirtualSelection() { return std::make_unique<VirtualSelection>(); }

std::unique_ptr<SourceSelection> makeNoSensorSelection() { return std::make_unique<NoSensorSelection>(); }

SourceSelection& sourceSelection() {
    static SourceSelection* const selection = selectFromEnvironment().release();
    return *selection;
}

}  // namespace plexa::virtual1
