#include "tracking.h"

#include <limits>

#include "room.h"
#include "skeleton.h"

namespace plexa::scene {

namespace {

constexpr int kMinJointsInView = 15;
constexpr int kMinJointsSeen = 6;

struct Sighting {
    float t = std::numeric_limits<float>::infinity();
    int owner = -1;  // person index, -1 for the room
};

Sighting firstSurface(const TrackedScene& scene, const Placement& placement, float x, float y) {
    Sighting s;
    s.t = castIntoRoom(placement.position, placement.directionToWorld({x, y, 1.0f})).t;
    for (int p = 0; p < scene.count; ++p)
        for (const Primitive& part : scene.shapes[p].parts) {
            float t = intersect(part, x, y);
            if (t > 0 && t < s.t) {
                s.t = t;
                s.owner = p;
            }
        }
    return s;
}

}  // namespace

Vec4 floorClipPlaneOf(const Placement& placement) {
    Vec3 up = placement.directionToCamera({0, 1, 0});
    return {up.x, up.y, up.z, placement.position.y};
}

void trackPeople(const Snapshot& snapshot, const TrackerSetup& setup, TrackedScene& out) {
    out.count = std::max(0, std::min(snapshot.personCount, kMaxPeople));
    out.frame = BodyFrame{};
    out.frame.floorClipPlane = floorClipPlaneOf(setup.placement);
    for (int p = 0; p < out.count; ++p) {
        out.shapes[p] = shapeInCamera(snapshot.people[p], setup.placement);
        out.shapes[p].label = kNoPerson;
    }
    const Quat toCamera = conjugate(fromMatrix(setup.placement.rotation));

    for (int p = 0; p < out.count; ++p) {
        const Person& person = snapshot.people[p];
        if (person.slot < 0 || person.slot >= kBodySlots) continue;
        Body body;
        int inView = 0, seen = 0;
        for (int j = 0; j < kJointCount; ++j) {
            BodyJoint& joint = body.joints[j];
            joint.position = setup.placement.toCamera(person.joints[j]);
            joint.orientation = normalized(toCamera * person.orientations[j]);
            const Vec3 c = joint.position;
            float col = -1, row = -1;
            if (c.z > setup.nearLimit) setup.lens.project(c.x / c.z, c.y / c.z, col, row);
            if (c.z <= setup.nearLimit || !setup.lens.inside(col, row)) {
                joint.state = TrackingState::NotTracked;
                continue;
            }
            ++inView;
            const Sighting s = firstSurface(out, setup.placement, c.x / c.z, c.y / c.z);
            const float tolerance = 1.3f * jointRadius(static_cast<Joint>(j), person.height) + 0.04f;
            if (s.owner == p && s.t >= c.z - tolerance) {
                joint.state = TrackingState::Tracked;
                ++seen;
            } else {
                joint.state = TrackingState::Inferred;
            }
        }
        const float distance = body.joints[index(Joint::SpineMid)].position.z;
        if (inView < kMinJointsInView || seen < kMinJointsSeen || distance > setup.farLimit) continue;
        body.tracked = true;
        out.frame.bodies[person.slot] = body;
        out.shapes[p].label = static_cast<std::uint8_t>(person.slot);
    }
}

}  // namespace plexa::scene
