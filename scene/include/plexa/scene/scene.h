// The synthetic world: a fixed room and up to two people who walk, turn and
// wave. World frame: metres, y up, the floor at y = 0, the rigs at the origin's
// vertical looking along +z towards the back wall about 4 m away.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "plexa/scene/joints.h"
#include "plexa/scene/types.h"

namespace plexa::scene {

constexpr int kMaxPeople = 2;

struct Appearance {
    Rgb skin, shirt, trousers, shoes;
};

// One person at one moment, in the world frame.
struct Person {
    int slot = 0;                                   // body slot 0..5, the same for the life of the scene
    float height = 1.75f;                           // metres, standing
    Appearance look;
    std::array<Vec3, kJointCount> joints{};         // joint positions
    std::array<Quat, kJointCount> orientations{};   // y axis along the bone ending at the joint
};

// Everything that moves, at one time. A default Snapshot is the empty room.
struct Snapshot {
    double seconds = 0;
    int personCount = 0;
    std::array<Person, kMaxPeople> people{};
};

class Scene {
public:
    // The same seed gives the same people and the same motion.
    explicit Scene(std::uint64_t seed);

    std::uint64_t seed() const { return seed_; }

    // The people at a time in seconds (any finite value; infinities and not-a-number count as 0).
    // A pure function: equal seed and time give bit-identical snapshots.
    Snapshot at(double seconds) const;

    struct Choreography;
private:
    std::uint64_t seed_;
    std::shared_ptr<const std::array<Choreography, kMaxPeople>> people_;
};

}  // namespace plexa::scene
