// A small deterministic world for live mode: a wall 3 m away, a floor 0.8 m
// below the sensor, and one person-sized box walking from side to side 2 m in
// front of the sensor, with its skeleton. Every stream films the same world
// through the camera model, so depth, color, infrared and skeleton agree.
#include "CameraModel.h"
#include "LiveFrameSource.h"

#include <algorithm>
#include <cmath>

namespace plexa::virtual1 {

namespace {

constexpr float wallDistance = 3.0f;
constexpr float floorHeight = -0.8f;  // metres below the sensor
constexpr float personDistance = 2.0f;
constexpr float personHalfWidth = 0.25f;
constexpr float personTop = 0.95f;
constexpr float walkAmplitude = 0.8f;
constexpr double walkPeriodSeconds = 4.0;
constexpr double pi = 3.14159265358979323846;
constexpr std::uint16_t personPlayerIndex = 1;  // skeleton slot 0

enum class Surface { Wall, Floor, Person };

struct Hit {
    Surface surface;
    float depth;  // metres along the optical axis
    float x;      // metres, for shading
};

float personCentre(double seconds) {
    return static_cast<float>(walkAmplitude * std::sin(2.0 * pi * seconds / walkPeriodSeconds));
}

// Walks the image row by row: along one row the background (floor or wall)
// is at one depth and the person covers one run of columns, so a pixel costs
// a comparison, not a ray cast.
template <typename Shade>
void render(ImageSize size, float cameraX, double seconds, Shade&& shade) {
    const Intrinsics camera = intrinsicsAt(size);
    const float personLeft = personCentre(seconds) - personHalfWidth - cameraX;
    const float personRight = personCentre(seconds) + personHalfWidth - cameraX;
    const float firstPersonColumn = personLeft / personDistance * camera.focal + camera.centreColumn;
    const float lastPersonColumn = personRight / personDistance * camera.focal + camera.centreColumn;
    for (int row = 0; row < size.height; ++row) {
        const float rayY = (camera.centreRow - static_cast<float>(row)) / camera.focal;
        Hit background{Surface::Wall, wallDistance, 0.0f};
        if (rayY < 0.0f && floorHeight / rayY < wallDistance) background = {Surface::Floor, floorHeight / rayY, 0.0f};
        const float atPersonY = rayY * personDistance;
        const bool personRow = atPersonY >= floorHeight && atPersonY <= personTop;
        for (int column = 0; column < size.width; ++column) {
            const auto at = static_cast<float>(column);
            Hit hit = personRow && at >= firstPersonColumn && at <= lastPersonColumn
                          ? Hit{Surface::Person, personDistance, 0.0f}
                          : background;
            hit.x = (at - camera.centreColumn) / camera.focal * hit.depth + cameraX;
            shade(row * size.width + column, hit);
        }
    }
}

void setPixel(std::uint8_t* bgrx, std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
    bgrx[0] = blue;
    bgrx[1] = green;
    bgrx[2] = red;
    bgrx[3] = 0;
}

class PatternFrameSource final : public LiveFrameSource {
public:
    void fillDepth(const LiveView& view, ImageSize size, bool, std::uint16_t* samples) override {
        render(size, 0.0f, view.seconds, [samples](int pixel, const Hit& hit) {
            const auto millimetres = static_cast<std::uint16_t>(std::lround(hit.depth * 1000.0f));
            const std::uint16_t player = hit.surface == Surface::Person ? personPlayerIndex : 0;
            samples[pixel] = static_cast<std::uint16_t>(millimetres << 3 | player);
        });
    }

    void fillColor(const LiveView& view, ImageSize size, std::uint8_t* pixels) override {
        render(size, colorCameraOffsetMetres, view.seconds, [pixels](int pixel, const Hit& hit) {
            std::uint8_t* bgrx = pixels + 4 * static_cast<std::size_t>(pixel);
            const auto gradient = static_cast<std::uint8_t>(std::clamp(128.0f + hit.x * 60.0f, 0.0f, 255.0f));
            switch (hit.surface) {
                case Surface::Person: setPixel(bgrx, 40, 60, 220); break;
                case Surface::Floor: setPixel(bgrx, 60, gradient, 90); break;
                case Surface::Wall: setPixel(bgrx, gradient, 200, 230); break;
            }
        });
    }

    void fillInfrared(const LiveView& view, ImageSize size, std::uint16_t* samples) override {
        // Reflected light falls off with the square of the distance.
        render(size, 0.0f, view.seconds, [samples](int pixel, const Hit& hit) {
            const float reflectance = hit.surface == Surface::Person ? 1.0f : 0.6f;
            const float intensity = std::min(65535.0f, 60000.0f * reflectance / (hit.depth * hit.depth));
            samples[pixel] = static_cast<std::uint16_t>(intensity);
        });
    }

    void fillSkeletons(const LiveView& view, bool seated, NuiSkeletonFrame& frame) override {
        const NuiVector4 gravity = gravityReading(view.elevationDegrees);
        const NuiVector4 up{-gravity.x, -gravity.y, -gravity.z, 0.0f};
        frame.flags = 0;
        frame.normalToGravity = up;
        frame.floorClipPlane = NuiVector4{up.x, up.y, up.z, -floorHeight};
        for (NuiSkeletonData& skeleton : frame.skeletons) skeleton = NuiSkeletonData{};
        placePerson(frame.skeletons[0], personCentre(view.seconds), view.seconds, seated);
    }

private:
    static void placePerson(NuiSkeletonData& skeleton, float centre, double seconds, bool seated) {
        // Joint offsets from the hip centre, in the runtime's joint order.
        static constexpr float body[NuiSkeletonJointCount][2] = {
            {0.00f, 0.00f},  {0.00f, 0.25f},  {0.00f, 0.55f},  {0.00f, 0.75f},   // hip, spine, shoulders, head
            {-0.18f, 0.50f}, {-0.25f, 0.25f}, {-0.28f, 0.02f}, {-0.29f, -0.06f},  // left arm
            {0.18f, 0.50f},  {0.25f, 0.25f},  {0.28f, 0.02f},  {0.29f, -0.06f},   // right arm
            {-0.10f, -0.05f}, {-0.11f, -0.45f}, {-0.11f, -0.85f}, {-0.11f, -0.90f},  // left leg
            {0.10f, -0.05f}, {0.11f, -0.45f}, {0.11f, -0.85f}, {0.11f, -0.90f},    // right leg
        };
        constexpr float hipHeight = floorHeight + 0.9f;
        const float wave = static_cast<float>(0.3 * std::sin(2.0 * pi * seconds));  // the right hand waves
        skeleton.trackingState = NuiSkeletonTracked;
        skeleton.trackingId = 1;
        skeleton.position = NuiVector4{centre, hipHeight, personDistance, 1.0f};
        for (int joint = 0; joint < NuiSkeletonJointCount; ++joint) {
            const float x = centre + body[joint][0];
            float y = hipHeight + body[joint][1];
            if (joint == 10 || joint == 11) y += 0.5f + wave;
            skeleton.jointPositions[joint] = NuiVector4{x, y, personDistance - 0.1f, 1.0f};
            const bool lowerBody = joint == 0 || joint >= 12;
            skeleton.jointTrackingStates[joint] = seated && lowerBody ? NuiJointNotTracked : NuiJointTracked;
        }
    }
};

}  // namespace

std::unique_ptr<LiveFrameSource> makeLiveFrameSource() {
    return std::make_unique<PatternFrameSource>();
}

}  // namespace plexa::virtual1
