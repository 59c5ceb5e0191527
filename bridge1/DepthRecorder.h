// A session's depth recording: the one resource that a Java thread (starting
// and ending a recording) and the event thread (appending records) share. The
// lock is held only to swap the file or to append one record, never to open
// or close a file, so frames keep flowing whatever the file system does; a
// record is never written to a closed stream nor split between two files, and
// every file holds its header and whole records only.
#pragma once

#include "plexa/files.h"
#include "runtime1/NuiRuntime.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

namespace plexa::bridge1 {

class DepthRecorder {
public:
    ~DepthRecorder() { close(); }

    // Starts recording into the file of a UTF-8 name, with a header for
    // width x height, and ends the recording that was open (also when this
    // one cannot start). Anything but a regular file is refused without
    // waiting for it; a file that cannot take its header is removed again.
    bool start(const std::string& utf8Path, int width, int height);

    // Ends the recording; true when one was open and all of it reached the file.
    bool close();

    // Cheap enough for every frame: whether a record would be taken now.
    bool recording() const { return recording_.load(std::memory_order_relaxed); }

    // Appends one record (accelerometer x, y, z and the samples) when a file
    // is open. A record that the stream does not take whole ends the
    // recording into that file: nothing more is appended, and closing it
    // reports the failure.
    void append(const Vector4& reading, const std::uint16_t* samples, std::size_t sampleCount);

private:
    FileOwner swap(FileOwner file);

    std::mutex mutex_;  // guards file_ against the event thread's appends
    FileOwner file_;
    std::atomic<bool> recording_{false};
};

}  // namespace plexa::bridge1
