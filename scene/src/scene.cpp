#include "plexa/scene/scene.h"

#include <cmath>

#include "choreography.h"

namespace plexa::scene {

Scene::Scene(std::uint64_t seed)
    : seed_(seed), people_(std::make_shared<const std::array<Choreography, kMaxPeople>>(castFromSeed(seed))) {}

Snapshot Scene::at(double seconds) const {
    if (!std::isfinite(seconds)) seconds = 0;
    Snapshot snapshot;
    snapshot.seconds = seconds;
    snapshot.personCount = kMaxPeople;
    for (int i = 0; i < kMaxPeople; ++i) {
        (*people_)[i].perform(seconds, snapshot.people[i]);
    }
    return snapshot;
}

}  // namespace plexa::scene
