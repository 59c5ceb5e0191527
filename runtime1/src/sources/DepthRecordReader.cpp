// Reading a depth recording (runtime1/DepthRecordFormat.h) from front to back.
#include "ReplayFrames.h"

#include "ImageGeometry.h"
#include "plexa/files.h"
#include "runtime1/DepthRecordFormat.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace plexa::virtual1 {

namespace {

using runtime1::DepthRecordHeader;
using runtime1::kDepthRecordHeaderBytes;

class DepthRecording final : public ReplayFrames {
public:
    DepthRecording(FileOwner file, std::int32_t resolution, std::size_t count, Vector4 first)
        : file_(std::move(file)), resolution_(resolution), count_(count), first_(first) {}

    std::int32_t resolution() const override { return resolution_; }
    std::size_t frameCount() const override { return count_; }
    Vector4 firstReading() const override { return first_; }

    bool read(std::size_t index, std::uint16_t* samples, Vector4& reading, std::string& problem) override {
        if (index >= count_) {
            problem = "no frame " + std::to_string(index);
            return false;
        }
        // The file is read front to back; frame 0 starts it again.
        if (index == 0 || index != next_) {
            std::rewind(file_.get());
            DepthRecordHeader header;
            if (!runtime1::readDepthRecordHeader(file_.get(), header)) return failed(problem);
            for (std::size_t skipped = 0; skipped < index; ++skipped) {
                if (!readRecord(samples, reading)) return failed(problem);
            }
        }
        if (!readRecord(samples, reading)) return failed(problem);
        next_ = index + 1;
        return true;
    }

private:
    bool readRecord(std::uint16_t* samples, Vector4& reading) {
        return runtime1::readDepthRecord(file_.get(), reading, samples, imageSizeOf(resolution_).pixelCount());
    }

    bool failed(std::string& problem) {
        next_ = 0;
        problem = std::ferror(file_.get()) != 0 ? "reading failed" : "the file became shorter while playing";
        std::clearerr(file_.get());
        return false;
    }

    FileOwner file_;
    const std::int32_t resolution_;
    const std::size_t count_;
    const Vector4 first_;
    std::size_t next_ = 0;
};

}  // namespace

ReplayOpening openDepthRecording(const std::string& path) {
    ReplayOpening opening;
    std::error_code error;
    const std::filesystem::path name = std::filesystem::u8path(path);
    if (std::filesystem::is_directory(name, error)) {
        opening.problem = "it is a folder without INDEX.txt, not a recording";
        return opening;
    }
    bool notRegular = false;
    FileOwner file(plexa::openRegularFileToRead(path, notRegular));
    if (!file) {
        opening.problem = notRegular ? "it is not a regular file (a pipe, device or socket), not a recording"
                                     : "cannot be read: " + std::generic_category().message(errno);
        return opening;
    }
    const std::uintmax_t size = std::filesystem::file_size(name, error);
    if (error) {
        opening.problem = "cannot be read: " + error.message();
        return opening;
    }
    DepthRecordHeader header;
    if (size < kDepthRecordHeaderBytes || !runtime1::readDepthRecordHeader(file.get(), header)) {
        opening.problem = "bad header: the file is shorter than its 4-byte header";
        return opening;
    }
    const int width = header.width;
    const int height = header.height;
    const std::int32_t resolution = runtime1::resolutionOfSize(width, height);
    if (resolution == NUI_IMAGE_RESOLUTION_INVALID) {
        opening.problem = "bad header: " + std::to_string(width) + " x " + std::to_string(height) +
                          " is not a depth resolution (80 x 60, 320 x 240, 640 x 480 or 1280 x 960)";
        return opening;
    }
    const std::uint64_t recordBytes = runtime1::depthRecordBytes(imageSizeOf(resolution).pixelCount());
    const std::uint64_t body = static_cast<std::uint64_t>(size) - kDepthRecordHeaderBytes;
    const std::uint64_t count = body / recordBytes;
    const std::uint64_t cut = body % recordBytes;
    if (count == 0) {
        opening.problem = "no whole record: the header declares " + std::to_string(width) + " x " +
                          std::to_string(height) + " records of " + std::to_string(recordBytes) +
                          " bytes, and the file holds " + std::to_string(body) + " bytes after it";
        return opening;
    }
    if (cut != 0) {
        opening.problem = "record " + std::to_string(count + 1) + " is cut short after " + std::to_string(cut) +
                          " of its " + std::to_string(recordBytes) + " bytes; it is ignored";
    }
    Vector4 first{};
    if (!runtime1::readDepthRecord(file.get(), first, nullptr, 0)) {
        opening.problem = "cannot be read: the file became shorter while opening it";
        return opening;
    }
    opening.frames =
        std::make_unique<DepthRecording>(std::move(file), resolution, static_cast<std::size_t>(count), first);
    return opening;
}

}  // namespace plexa::virtual1
