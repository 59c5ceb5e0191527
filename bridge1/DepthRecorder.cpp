#include "DepthRecorder.h"

#include "runtime1/DepthRecordFormat.h"

#include <utility>

namespace plexa::bridge1 {

bool DepthRecorder::start(const std::string& utf8Path, int width, int height) {
    FileOwner fresh = createRegularFile(utf8Path);
    // Unbuffered: a record is in the file as soon as its frame has been
    // handled, and after a failed write no stale bytes wait in a buffer for a
    // later flush to append them behind the partial record.
    const bool started = fresh && std::setvbuf(fresh.get(), nullptr, _IONBF, 0) == 0 &&
                         runtime1::writeDepthRecordHeader(fresh.get(), width, height);
    if (fresh && !started) {
        fresh.reset();
        removeFile(utf8Path);
    }
    closeFile(swap(std::move(fresh)));
    return started;
}

bool DepthRecorder::close() { return closeFile(swap(nullptr)); }

FileOwner DepthRecorder::swap(FileOwner file) {
    std::lock_guard<std::mutex> lock(mutex_);
    recording_.store(file != nullptr, std::memory_order_relaxed);
    std::swap(file, file_);
    return file;
}

void DepthRecorder::append(const Vector4& reading, const std::uint16_t* samples, std::size_t sampleCount) {
    std::lock_guard<std::mutex> lock(mutex_);
    // After a failed write the file ends in a partial record; appending more
    // would turn everything after it into garbage for a reader.
    if (!file_ || std::ferror(file_.get()) != 0) return;
    runtime1::writeDepthRecord(file_.get(), reading, samples, sampleCount);
}

}  // namespace plexa::bridge1
