#include "DepthRecording.h"

#include "DepthRecordFormat.h"
#include "plexa/files.h"

#include <mutex>

namespace {

// Closes the stream; true when everything written to it reached the file.
bool closeCleanly(std::FILE* file) {
    const bool writesFailed = std::ferror(file) != 0;
    const bool closed = std::fclose(file) == 0;
    return closed && !writesFailed;
}

}  // namespace

bool KSDK::Nui_SaveDepthFrames(const char* path) {
    if (path == nullptr) return false;
    std::lock_guard<std::mutex> lock(depthRecordMutex);
    if (depthRecordFile != nullptr) {
        closeCleanly(depthRecordFile);
        depthRecordFile = nullptr;
    }
    std::FILE* file = plexa::openFile(path, "wb");
    if (file == nullptr) return false;
    // Unbuffered: a record is in the file as soon as its frame has been
    // handled, and after a failed write no stale bytes wait in a buffer for a
    // later flush to append them behind the partial record.
    if (std::setvbuf(file, nullptr, _IONBF, 0) != 0 ||
        !plexa::bridge1::writeDepthRecordHeader(file, depthWidth(), depthHeight())) {
        std::fclose(file);
        return false;
    }
    depthRecordFile = file;
    return true;
}

bool KSDK::Nui_CloseDepthFile() {
    std::lock_guard<std::mutex> lock(depthRecordMutex);
    if (depthRecordFile == nullptr) return false;
    std::FILE* file = depthRecordFile;
    depthRecordFile = nullptr;
    return closeCleanly(file);
}

void appendDepthRecord(KSDK& session, const std::uint16_t* samples, std::size_t sampleCount) {
    std::lock_guard<std::mutex> lock(session.depthRecordMutex);
    std::FILE* file = session.depthRecordFile;
    // After a failed write the file ends in a partial record; appending more
    // would turn everything after it into garbage for a reader.
    if (file == nullptr || std::ferror(file) != 0) return;
    Vector4 reading{};
    if (!session.Nui_ReadAccelerometer(&reading)) reading = Vector4{};
    plexa::bridge1::writeDepthRecord(file, reading, samples, sampleCount);
}
