// Depth recordings and fakenect dump folders written by tests, in the formats
// the replay source reads (runtime1/DepthRecordFormat.h; fakenect's
// INDEX.txt, PGM depth and raw tilt state files).
#pragma once

#include "runtime1/NuiRuntime.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

namespace plexa::test::replay {

struct Record {
    Vector4 reading;
    std::vector<std::uint16_t> samples;
};

inline void putUint16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

inline void putFloat(std::vector<std::uint8_t>& out, float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>((bits >> (8 * i)) & 0xFF));
}

// The bytes of a recording: header, then each record.
inline std::vector<std::uint8_t> recordingBytes(int width, int height, const std::vector<Record>& records) {
    std::vector<std::uint8_t> out;
    putUint16(out, static_cast<std::uint32_t>(width));
    putUint16(out, static_cast<std::uint32_t>(height));
    for (const Record& record : records) {
        putFloat(out, record.reading.x);
        putFloat(out, record.reading.y);
        putFloat(out, record.reading.z);
        for (std::uint16_t sample : record.samples) putUint16(out, sample);
    }
    return out;
}

// Samples that differ from pixel to pixel and record to record, player bits included.
inline std::vector<std::uint16_t> recordSamples(int width, int height, int record) {
    std::vector<std::uint16_t> samples(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::uint16_t>((i * 7 + static_cast<std::size_t>(record) * 1013) & 0xFFFF);
    }
    return samples;
}

inline Vector4 recordReading(int record) {
    return Vector4{0.125f * record, -1.0f + 0.01f * record, -0.5f * record, 0.0f};
}

inline std::vector<Record> records(int width, int height, int count) {
    std::vector<Record> out;
    for (int r = 0; r < count; ++r) out.push_back(Record{recordReading(r), recordSamples(width, height, r)});
    return out;
}

inline void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

inline void writeText(const std::string& path, const std::string& text) {
    writeFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

inline std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A fresh folder, removed with everything in it at the end.
class Folder {
public:
    explicit Folder(const std::string& name) {
        std::string pattern = (std::filesystem::temp_directory_path() / ("plexa-" + name + "-XXXXXX")).string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a folder");
        path_ = pattern;
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// The raw tilt state of libfreenect 0.5 as fakenect's dump holds it: int16 x,
// y, z counts, int8 tilt (half degrees), one byte of padding, int32 status.
inline std::vector<std::uint8_t> tiltStateBytes(std::int16_t x, std::int16_t y, std::int16_t z, std::int8_t tilt,
                                                std::int32_t status = 0) {
    std::vector<std::uint8_t> out;
    putUint16(out, static_cast<std::uint16_t>(x));
    putUint16(out, static_cast<std::uint16_t>(y));
    putUint16(out, static_cast<std::uint16_t>(z));
    out.push_back(static_cast<std::uint8_t>(tilt));
    out.push_back(0);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>((static_cast<std::uint32_t>(status) >> (8 * i)) & 0xFF));
    return out;
}

// A fakenect depth file: one-line PGM header, then raw values.
inline std::vector<std::uint8_t> depthFileBytes(const std::vector<std::uint16_t>& raw, int width = 640, int height = 480) {
    const std::string header = "P5 " + std::to_string(width) + " " + std::to_string(height) + " 65535\n";
    std::vector<std::uint8_t> out(header.begin(), header.end());
    for (std::uint16_t value : raw) putUint16(out, value);
    return out;
}

// A fakenect color file: one-line PPM header, then RGB bytes.
inline std::vector<std::uint8_t> colorFileBytes(const std::vector<std::uint8_t>& rgb) {
    const std::string header = "P6 640 480 255\n";
    std::vector<std::uint8_t> out(header.begin(), header.end());
    out.insert(out.end(), rgb.begin(), rgb.end());
    return out;
}

// Raw values that cover every 11-bit value, 2047 and beyond-range included.
inline std::vector<std::uint16_t> rawPattern() {
    std::vector<std::uint16_t> raw(640 * 480);
    for (std::size_t i = 0; i < raw.size(); ++i) raw[i] = static_cast<std::uint16_t>(i % 2049);
    return raw;
}

inline std::vector<std::uint8_t> rgbPattern() {
    std::vector<std::uint8_t> rgb(640 * 480 * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<std::uint8_t>((i * 31 + i / 640) & 0xFF);
    return rgb;
}

// A dump folder in `folder`: one depth file, one color file and one tilt
// state, listed `frames` times each at `framesPerSecond` (symbolic links give
// each listing its own name and time), the tilt state first.
inline void writeDump(const std::string& folder, const std::vector<std::uint16_t>& raw, const std::vector<std::uint8_t>& rgb,
                      const std::vector<std::uint8_t>& tiltState, int frames, double framesPerSecond = 30.0) {
    writeFile(folder + "/depth.data", depthFileBytes(raw));
    writeFile(folder + "/color.data", colorFileBytes(rgb));
    writeFile(folder + "/tilt.data", tiltState);
    std::string index;
    auto listed = [&](char kind, double seconds, int stamp, const std::string& target) {
        char name[96];
        std::snprintf(name, sizeof name, "%c-%.6f-%d-%s", kind, seconds, stamp, target.c_str());
        std::filesystem::create_symlink(target, std::filesystem::path(folder) / name);
        index += name;
        index += '\n';
    };
    const double start = 1.0;
    listed('a', start, 0, "tilt.data");
    for (int frame = 0; frame < frames; ++frame) {
        const double at = start + (frame + 1) / framesPerSecond;
        listed('d', at, frame + 1, "depth.data");
        listed('r', at + 0.0001, frame + 1, "color.data");
        if (frame % 10 == 9) listed('a', at + 0.0002, frame + 1, "tilt.data");
    }
    writeText(folder + "/INDEX.txt", index);
}

}  // namespace plexa::test::replay
