// What every sensor filming the room at one time shares. Several virtual
// sensors film the same people at the same frame times; a Moment is worked out
// once for a time and rendered from by every rig, on any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "plexa/scene/scene.h"

namespace plexa::scene {

// The people at one time. Immutable once built, so any number of threads may
// render from one at once. Each Moment carries an identity of its own, by which
// a rig knows that its streams are filming the same moment and shares the
// tracking and body shapes between them.
class Moment {
public:
    Moment();  // the empty room
    explicit Moment(const Snapshot& snapshot);
    Moment(const Scene& scene, double seconds);

    const Snapshot& snapshot() const { return snapshot_; }
    double seconds() const { return snapshot_.seconds; }
    std::uint64_t identity() const { return identity_; }

private:
    Snapshot snapshot_;
    std::uint64_t identity_;
};

// One scene's moments, handed out by time: every caller asking for the same
// time gets the same Moment, worked out by the first of them. Safe to call from
// any number of threads; keeps the last few times asked for (the sensors of a
// process ask for the same frame times, close together). Each new time is one
// allocation (a moment is freed when the cache and every caller let go of it).
class MomentCache {
public:
    explicit MomentCache(const Scene& scene, std::size_t keep = 8);

    // Equal times give the same Moment, as long as it is among the kept ones.
    std::shared_ptr<const Moment> at(double seconds);
    const Scene& scene() const { return scene_; }

private:
    const Scene scene_;
    const std::size_t keep_;
    std::mutex mutex_;
    std::vector<std::shared_ptr<const Moment>> kept_;  // the most recently asked for last
};

}  // namespace plexa::scene
