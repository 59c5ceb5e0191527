#include "choreography.h"

#include <cmath>

namespace plexa::scene {

namespace {

constexpr float kRampSeconds = 0.6f;   // to reach full stride, and to stop
constexpr float kTurnSeconds = 0.8f;   // to turn towards the sensors, and back
constexpr float kWaveRamp = 0.4f;

float trapezoid(float t, float duration) {
    return clampf(std::min(t / kRampSeconds, (duration - t) / kRampSeconds), 0.0f, 1.0f);
}

// Distance covered t seconds into a leg of the given duration, in units of full-stride seconds.
float trapezoidIntegral(float t, float duration) {
    const float r = kRampSeconds;
    if (t <= 0) return 0;
    if (t >= duration) return duration - r;
    if (t <= r) return t * t / (2 * r);
    if (t <= duration - r) return r / 2 + (t - r);
    float rest = duration - t;
    return duration - r - rest * rest / (2 * r);
}

float wrapAngle(float a) {
    while (a > kPi) a -= 2 * kPi;
    while (a < -kPi) a += 2 * kPi;
    return a;
}

float blendAngle(float from, float to, float weight) { return from + wrapAngle(to - from) * weight; }

float headingOf(Vec3 direction) { return std::atan2(direction.x, direction.z); }

float sensorHeading(Vec3 position) { return headingOf(Vec3{-position.x, 0, -position.z}); }

// SplitMix64: small, fast and the same everywhere.
class SeedStream {
public:
    explicit SeedStream(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    float uniform(float lo, float hi) { return lo + (hi - lo) * static_cast<float>(next() >> 40) / 16777216.0f; }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }

private:
    std::uint64_t state_;
};

const Rgb kShirts[] = {{200, 40, 40}, {40, 90, 200}, {40, 160, 70}, {230, 170, 30},
                       {140, 60, 170}, {30, 170, 180}, {230, 110, 40}, {220, 220, 220}};
const Rgb kTrousers[] = {{40, 45, 70}, {70, 60, 50}, {30, 30, 30}, {100, 110, 120}, {60, 80, 50}};
const Rgb kSkins[] = {{235, 200, 170}, {200, 150, 110}, {150, 100, 70}, {95, 65, 45}};
const Rgb kShoes[] = {{25, 25, 25}, {120, 70, 40}, {235, 235, 235}};

// What every person draws alike, in the order the scene's seed has always
// been spent: height, skin, shoes, walking speed, waving rate.
void castBody(SeedStream& random, Scene::Choreography& person, int slot, float shortest, float tallest, int shirt,
              int trousers, float slowest, float fastest) {
    person.slot = slot;
    person.height = random.uniform(shortest, tallest);
    person.look = {kSkins[random.below(4)], kShirts[shirt], kTrousers[trousers], kShoes[random.below(3)]};
    person.speed = random.uniform(slowest, fastest);
    person.stride = 1.2f + 0.3f * (person.height - 1.6f) / 0.3f;
    person.waveRate = random.uniform(1.4f, 2.2f);
}

}  // namespace

void Scene::Choreography::setPath(std::vector<Vec3> points) {
    path = std::move(points);
    pathDistance.assign(path.size(), 0.0f);
    for (size_t i = 1; i < path.size(); ++i) {
        pathDistance[i] = pathDistance[i - 1] + length(path[i] - path[i - 1]);
    }
}

float Scene::Choreography::cycleDistance() const {
    float d = 0;
    for (const Leg& leg : legs) d += leg.distance;
    return d;
}

double Scene::Choreography::period() const {
    double p = 0;
    for (const Leg& leg : legs) p += leg.distance / speed + kRampSeconds + leg.pause;
    return p;
}

Vec3 Scene::Choreography::pointAt(float distance) const {
    const float total = pathDistance.back();
    float d = std::fmod(distance, total);
    if (d < 0) d += total;
    size_t i = 1;
    while (i + 1 < path.size() && pathDistance[i] < d) ++i;
    float span = pathDistance[i] - pathDistance[i - 1];
    float t = span > 0 ? (d - pathDistance[i - 1]) / span : 0.0f;
    return lerp(path[i - 1], path[i], clampf(t, 0.0f, 1.0f));
}

// Heading at a distance along the path, looking a little ahead and behind but
// never past the ends of the current leg (where the path may turn back on itself).
float Scene::Choreography::headingAt(float distance, float from, float to) const {
    constexpr float kLook = 0.25f;
    float behind = std::max(from, distance - kLook);
    float ahead = std::min(to, distance + kLook);
    if (ahead - behind < 1e-3f) {
        behind = std::max(from, ahead - kLook);
        ahead = std::min(to, behind + kLook);
    }
    return headingOf(pointAt(ahead) - pointAt(behind));
}

void Scene::Choreography::perform(double seconds, Person& person) const {
    const double cyclePeriod = period();
    double cycles = std::floor((seconds + offset) / cyclePeriod);
    float t = static_cast<float>((seconds + offset) - cycles * cyclePeriod);
    const float perCycle = cycleDistance();
    // Gait phase from the total distance walked, kept small before it becomes a float.
    const double cycleGait = std::fmod(cycles * static_cast<double>(perCycle), static_cast<double>(stride));

    Motion motion;
    motion.wavePhase = static_cast<float>(std::fmod(seconds * waveRate, 1.0) * 2.0 * kPi);
    float start = 0;      // path distance where the current leg starts
    Vec3 ground;
    float yaw = 0;
    float walked = 0;
    for (size_t i = 0; i < legs.size(); ++i) {
        const Leg& leg = legs[i];
        const float walkTime = leg.distance / speed + kRampSeconds;
        const float end = start + leg.distance;
        if (t < walkTime) {
            walked = start + speed * trapezoidIntegral(t, walkTime);
            ground = pointAt(walked);
            yaw = headingAt(walked, start, end);
            motion.walk = trapezoid(t, walkTime);
            break;
        }
        t -= walkTime;
        if (t < leg.pause || i + 1 == legs.size()) {
            walked = end;
            ground = pointAt(end);
            const Leg& next = legs[(i + 1) % legs.size()];
            float arriving = headingAt(end, start, end);
            float leaving = headingAt(end, end, end + next.distance);
            float turnIn = smoothstep(0.0f, kTurnSeconds, t);
            float turnOut = smoothstep(leg.pause - kTurnSeconds, leg.pause, t);
            float facing = leg.faceSensor ? sensorHeading(ground) : arriving;
            yaw = blendAngle(blendAngle(arriving, facing, turnIn), leaving, turnOut);
            if (leg.wave) {
                motion.wave = smoothstep(kTurnSeconds, kTurnSeconds + kWaveRamp, t) *
                              (1.0f - smoothstep(leg.pause - kTurnSeconds - kWaveRamp, leg.pause - kTurnSeconds, t));
            }
            break;
        }
        t -= leg.pause;
        start = end;
    }
    motion.gaitPhase = static_cast<float>(std::fmod(cycleGait + walked, static_cast<double>(stride)) / stride * 2.0 * kPi);

    person.slot = slot;
    person.look = look;
    poseBody(motion, ground, yaw, height, person);
}

std::array<Scene::Choreography, kMaxPeople> castFromSeed(std::uint64_t seed) {
    SeedStream random(seed);
    std::array<Scene::Choreography, kMaxPeople> cast;

    int firstSlot = random.below(kBodySlots);
    int secondSlot = (firstSlot + 1 + random.below(kBodySlots - 1)) % kBodySlots;
    int firstShirt = random.below(8);
    int secondShirt = (firstShirt + 1 + random.below(7)) % 8;
    int firstTrousers = random.below(5);
    int secondTrousers = (firstTrousers + 1 + random.below(4)) % 5;

    // The first person walks an oval in the middle of the room and waves from its front.
    Scene::Choreography& a = cast[0];
    castBody(random, a, firstSlot, 1.60f, 1.90f, firstShirt, firstTrousers, 0.8f, 1.1f);
    {
        const float centreX = random.uniform(-0.3f, 0.3f), centreZ = 3.15f, radiusX = 0.8f, radiusZ = 0.35f;
        const bool clockwise = random.below(2) == 0;
        std::vector<Vec3> oval;
        constexpr int kPoints = 96;
        for (int k = 0; k <= kPoints; ++k) {
            // Starts at the front of the oval, nearest the sensors.
            float angle = (clockwise ? -1.0f : 1.0f) * 2 * kPi * k / kPoints - kPi / 2;
            oval.push_back({centreX + radiusX * std::cos(angle), 0, centreZ + radiusZ * std::sin(angle)});
        }
        a.setPath(std::move(oval));
        float half = a.pathDistance.back() / 2;
        a.legs = {{half, 1.5f, true, false}, {half, 4.5f, true, true}};
    }
    a.offset = random.uniform(0.0f, 1.0f) * a.period();

    // The second comes in through the door on the left, waves and goes out again.
    Scene::Choreography& b = cast[1];
    castBody(random, b, secondSlot, 1.55f, 1.85f, secondShirt, secondTrousers, 0.9f, 1.2f);
    {
        const float z = random.uniform(2.4f, 2.6f);
        const Vec3 outside{-3.4f, 0, z}, inside{random.uniform(-0.2f, 0.2f), 0, z};
        b.setPath({outside, inside, outside});
        float across = length(inside - outside);
        b.legs = {{across, 4.5f, true, true}, {across, 6.0f, false, false}};
    }
    b.offset = random.uniform(0.0f, 1.0f) * b.period();
    return cast;
}

}  // namespace plexa::scene
