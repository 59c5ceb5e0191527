// One camera filming the scene. The room never moves, so its image is drawn
// once per placement and kept; each frame copies it and draws the people over
// it, visiting only the pixels each body part can cover.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "body_shape.h"
#include "camera.h"
#include "plexa/scene/images.h"
#include "room.h"

namespace plexa::scene {

// The camera-space direction (x/z, y/z) each pixel sees.
class RayGrid {
public:
    explicit RayGrid(const Lens& lens);
    float x(int col, int row) const { return table_.empty() ? cols_[col] : table_[2 * (row * width_ + col)]; }
    float y(int col, int row) const { return table_.empty() ? rows_[row] : table_[2 * (row * width_ + col) + 1]; }
    // With distortion: x and y of pixel k (column k % width, row k / width) at 2k and 2k + 1.
    const float* perPixel() const { return table_.data(); }
    // Without distortion: the x of each column, the same on every row.
    const float* columnX() const { return cols_.data(); }

private:
    int width_;
    std::vector<float> cols_, rows_;  // without distortion, x depends on the column only, y on the row
    std::vector<float> table_;        // with distortion, per pixel
};

class View {
public:
    enum class Kind { Depth, Color };

    View(const Lens& lens, Kind kind, float nearLimit, float farLimit);

    const Lens& lens() const { return lens_; }
    const RayGrid& rays() const { return rays_; }
    const Placement& placement() const { return placement_; }
    // Moving the camera redraws the room on the next render.
    void place(const Placement& placement);

    void renderDepth(const BodyShape* shapes, int count, const DepthImages& images);
    void renderColor(const BodyShape* shapes, int count, std::uint8_t* bgra);
    // Packed 4:2:2 (Y0 U Y1 V); needs an even width. A pair showing a person's
    // edge takes its chroma from the person, as a 4:2:2 camera blurs it.
    void renderColorYuy2(const BodyShape* shapes, int count, std::uint8_t* yuy2);

private:
    void drawRoom();
    void beginFrame();
    template <class Writer>
    void drawPeople(const BodyShape* shapes, int count, Writer& writer);
    template <class Hit, class Writer>
    void drawPart(const Primitive& part, std::uint8_t label, const Hit& hit, Writer& writer);

    Lens lens_;
    Kind kind_;
    float near_, far_;
    RayGrid rays_;
    Placement placement_;
    bool roomDrawn_ = false;
    Vec3 lightInCamera_;

    std::vector<float> roomZ_;  // camera z of the room at each pixel (infinity: nothing)
    std::vector<std::uint16_t> roomDepth_, roomInfrared_, roomLongInfrared_, roomDepthWithPlayer_;
    std::vector<std::uint32_t> roomColor_;  // BGRA
    std::vector<std::uint8_t> roomYuy2_;    // the same, packed 4:2:2
    // People's depth this frame, valid where stamp_ equals frame_; no clearing per frame.
    std::vector<float> peopleZ_;
    std::vector<std::uint32_t> stamp_;
    std::uint32_t frame_ = 0;
    std::vector<float> rowHits_;  // one part's hits along one row
    // The pixels of one row that one part is nearest in, and their shading.
    struct PixelRun {
        std::vector<std::size_t> index;
        std::vector<float> x, y, t, lambert;
        std::vector<std::uint32_t> bgra;
        std::vector<std::uint8_t> luma, u, v;
        void resize(int width) {
            for (auto* floats : {&x, &y, &t, &lambert}) floats->resize(width);
            index.resize(width);
            bgra.resize(width);
            for (auto* bytes : {&luma, &u, &v}) bytes->resize(width);
        }
    };
    PixelRun run_;
};

// Shared conversions so that the room and the people are lit alike.
std::uint16_t depthReading(float z, float nearLimit, float farLimit);
void infraredOf(float infraredAlbedo, float cosine, float distanceSquared, std::uint16_t& shortExposure,
                std::uint16_t& longExposure);

}  // namespace plexa::scene
