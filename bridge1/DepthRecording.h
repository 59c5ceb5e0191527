// The depth recording of a session: the one resource that a Java thread
// (opening and closing the file) and the event thread (appending records)
// share. Both hold the session's depthRecordMutex for the whole of their
// step, so a record is never written to a closed stream nor split between
// two files, and every file holds its header and whole records only.
#pragma once

#include "KSDK.h"

#include <cstddef>
#include <cstdint>

// Appends one record (accelerometer x, y, z and the samples) when a file is
// open. A record that the stream does not take whole ends the recording into
// that file: nothing more is appended, and closing it reports the failure.
void appendDepthRecord(KSDK& session, const std::uint16_t* samples, std::size_t sampleCount);
