// What each person does over time: a path on the floor, walked in legs, with
// pauses in which the person turns towards the sensors and may wave.
#pragma once

#include <cstdint>
#include <vector>

#include "plexa/scene/scene.h"
#include "skeleton.h"

namespace plexa::scene {

struct Leg {
    float distance = 0;    // metres walked along the path
    float pause = 0;       // seconds standing at the end of it
    bool faceSensor = false;
    bool wave = false;
};

struct Scene::Choreography {
    int slot = 0;
    float height = 1.75f;
    Appearance look;
    float speed = 1.0f;                // metres per second at full stride
    float stride = 1.3f;               // metres per gait cycle
    double offset = 0;                 // seconds into the cycle at scene time 0
    float waveRate = 1.8f;             // waves per second
    std::vector<Vec3> path;            // polyline on the floor (y = 0)
    std::vector<float> pathDistance;   // cumulative length at each point
    std::vector<Leg> legs;             // walked in order, then again from the first

    void setPath(std::vector<Vec3> points);
    double period() const;
    float cycleDistance() const;
    // The person at a time in seconds.
    void perform(double seconds, Person& person) const;

private:
    Vec3 pointAt(float distance) const;
    float headingAt(float distance, float from, float to) const;
};

// The people of a scene, chosen from its seed.
std::array<Scene::Choreography, kMaxPeople> castFromSeed(std::uint64_t seed);

}  // namespace plexa::scene
