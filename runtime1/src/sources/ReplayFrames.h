// What a replay plays: a depth recording (_saveDepthFrames' format) or a
// fakenect dump folder, as a sequence of depth frames in the runtime's format,
// each with the accelerometer reading it was recorded with.
//
// The readers trust nothing in what they read: every size is checked against
// the file that holds it before anything is allocated or read, so a damaged
// file gives a message and fewer (or no) frames, never a crash, and no
// allocation is larger than the file justifies. Samples are read straight
// into memory: the files' little-endian order is the machine's (the depth
// record format asserts it).
#pragma once

#include "runtime1/NuiRuntime.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace plexa::virtual1 {

class ReplayFrames {
public:
    virtual ~ReplayFrames() = default;

    // The depth resolution code of every frame.
    virtual std::int32_t resolution() const = 0;
    virtual std::size_t frameCount() const = 0;
    // The reading of frame 0, before anything is played.
    virtual Vector4 firstReading() const = 0;
    // Reads frame `index` (0 to frameCount() - 1): its samples, packed rows of
    // the resolution's size, and its reading. Frames are read in order, frame
    // 0 again after the last. False when the frame cannot be read now; then
    // `problem` says why.
    virtual bool read(std::size_t index, std::uint16_t* samples, Vector4& reading, std::string& problem) = 0;
};

// What opening a recording or a dump folder found.
struct ReplayOpening {
    std::unique_ptr<ReplayFrames> frames;  // null when there is nothing to play
    std::string problem;                   // why, or what was skipped; empty when all is well
};

// A depth recording file (UTF-8 name).
ReplayOpening openDepthRecording(const std::string& path);

// A fakenect dump folder (UTF-8 name): INDEX.txt and the files it names.
ReplayOpening openFakenectDump(const std::string& folder);

}  // namespace plexa::virtual1
