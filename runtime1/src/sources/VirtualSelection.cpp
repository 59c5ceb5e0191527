#include "VirtualSelection.h"

#include "VirtualSensors.h"
#include "VirtualSource.h"

#include <array>
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

}  // namespace

std::unique_ptr<SourceSelection> makeVirtualSelection(int count) {
    if (count > 0) virtualSensors().setListedCount(count);
    return std::make_unique<VirtualSelection>();
}

}  // namespace plexa::virtual1
