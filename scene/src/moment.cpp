#include "plexa/scene/moment.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace plexa::scene {

namespace {

std::uint64_t nextIdentity() {
    static std::atomic<std::uint64_t> counter{0};
    return ++counter;
}

}  // namespace

Moment::Moment() : identity_(nextIdentity()) {}

Moment::Moment(const Snapshot& snapshot) : snapshot_(snapshot), identity_(nextIdentity()) {}

Moment::Moment(const Scene& scene, double seconds) : Moment(scene.at(seconds)) {}

MomentCache::MomentCache(const Scene& scene, std::size_t keep) : scene_(scene), keep_(std::max<std::size_t>(keep, 1)) {}

std::shared_ptr<const Moment> MomentCache::at(double seconds) {
    // The scene counts a time it cannot use as 0; so does the key, so that
    // every such time shares one moment (and not-a-number finds itself).
    const double key = std::isfinite(seconds) ? seconds : 0.0;
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = std::find_if(kept_.begin(), kept_.end(),
                                    [key](const std::shared_ptr<const Moment>& m) { return m->seconds() == key; });
    if (found != kept_.end()) {
        // Most recently asked for last: the oldest goes first.
        std::rotate(found, found + 1, kept_.end());
        return kept_.back();
    }
    // Worked out under the lock: a second sensor asking for the same time waits
    // for it rather than working it out again; it takes microseconds.
    if (kept_.size() >= keep_) kept_.erase(kept_.begin());
    kept_.push_back(std::make_shared<const Moment>(scene_, key));
    return kept_.back();
}

}  // namespace plexa::scene
