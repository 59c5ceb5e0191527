#include "SourceList.h"

#include "FreenectSelection.h"
#include "ReplaySource.h"
#include "UserMessages.h"
#include "VirtualSensors.h"
#include "VirtualSource.h"

#include <array>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace plexa::virtual1 {

namespace {

// Sensors of several sources, each with its own way to its source.
class ListSelection final : public SourceSelection {
public:
    using SourceOf = std::function<HRESULT(std::shared_ptr<SensorSource>&)>;

    void add(SourceOf sourceOf) { sensors_.push_back(std::move(sourceOf)); }
    // Sensor `local` of a part (virtual sensors keep their own index, by
    // which the control face knows them).
    void add(const std::shared_ptr<SourceSelection>& part, int local) {
        add([part, local](std::shared_ptr<SensorSource>& source) { return part->sourceFor(local, source); });
    }
    int sensorCount() override { return static_cast<int>(sensors_.size()); }
    HRESULT sourceFor(int index, std::shared_ptr<SensorSource>& source) override {
        if (index < 0 || index >= sensorCount()) return E_INVALIDARG;
        return sensors_[static_cast<std::size_t>(index)](source);
    }

private:
    std::vector<SourceOf> sensors_;
};

// The virtual sensors: as many as the control face connects (at first the
// number the list named), each index with a source of its own, which every
// sensor object of that index shares and which knows which of them receives
// the frames.
class VirtualSelection final : public SourceSelection {
public:
    int sensorCount() override { return virtualSensors().connectedCount(); }
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

std::vector<std::string> entriesOf(const std::string& value) {
    std::vector<std::string> entries;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = value.find(',', start);
        entries.push_back(value.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) return entries;
        start = comma + 1;
    }
}

std::unique_ptr<SourceSelection> refuse(const std::string& value, const std::string& why) {
    reportToUser("PLEXA_SENSOR1=" + quotedForUser(value) + " " + why + "; no sensor");
    return std::make_unique<NoSensorSelection>();
}

}  // namespace

std::unique_ptr<SourceSelection> selectSources(const char* value) {
    const std::string list = value != nullptr && value[0] != '\0' ? value : "auto";
    const std::vector<std::string> entries = entriesOf(list);
    // Words first, so that a mistyped list says so before any device is opened.
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& entry = entries[i];
        const std::string where = entries.size() > 1 ? "entry " + std::to_string(i + 1) + " " : "";
        if (entry.empty()) return refuse(list, "has an empty entry (entry " + std::to_string(i + 1) + ")");
        const bool known = entry == "auto" || entry == "virtual" || entry == "freenect" ||
                           (entry.compare(0, 7, "replay:") == 0 && entry.size() > 7);
        if (!known) {
            return refuse(list, (where.empty() ? "" : where + quotedForUser(entry) + " ") +
                                    "names no first-generation sensor source (auto, virtual, freenect or replay:PATH)");
        }
    }
    auto selection = std::make_unique<ListSelection>();
    std::shared_ptr<SourceSelection> virtualSensorsPart;
    int virtualCount = 0;
    std::shared_ptr<SourceSelection> freenect;
    const auto addVirtual = [&] {
        if (!virtualSensorsPart) virtualSensorsPart = std::make_shared<VirtualSelection>();
        selection->add(virtualSensorsPart, selection->sensorCount());
        virtualCount = selection->sensorCount();
    };
    for (const std::string& entry : entries) {
        if (entry == "virtual") {
            addVirtual();
        } else if (entry == "auto" || entry == "freenect") {
            const bool automatic = entry == "auto";
            if (!freenect) {
                freenect = makeFreenectSelection(automatic ? FreenectRequest::Auto : FreenectRequest::Explicit);
                if (!freenect && !automatic) return std::make_unique<NoSensorSelection>();
            }
            const int found = freenect ? freenect->sensorCount() : 0;
            for (int local = 0; local < found; ++local) selection->add(freenect, local);
            if (found == 0 && automatic) addVirtual();
        } else {
            std::shared_ptr<SensorSource> replay = makeReplaySource(entry.substr(7));
            if (!replay) return std::make_unique<NoSensorSelection>();
            selection->add([replay](std::shared_ptr<SensorSource>& source) {
                source = replay;
                return S_OK;
            });
        }
        if (selection->sensorCount() > kMostListedSensors) {
            return refuse(list, "names more than " + std::to_string(kMostListedSensors) + " sensors");
        }
    }
    // Virtual sensors up to the last one listed count as connected (those
    // whose index another source serves are never asked).
    if (virtualSensorsPart) virtualSensors().setListedCount(virtualCount);
    // A list of virtual sensors alone lets the control face connect more or fewer.
    if (virtualSensorsPart && virtualCount == selection->sensorCount()) return std::make_unique<VirtualSelection>();
    return selection;
}

SourceSelection& sourceSelection() {
    static SourceSelection* const selection = selectSources(std::getenv("PLEXA_SENSOR1")).release();
    return *selection;
}

}  // namespace plexa::virtual1
