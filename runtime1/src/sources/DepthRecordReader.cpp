// Reading a depth recording: little-endian uint16 W, H, then records of
// float32 x, y, z and W x H uint16 samples, to the end of the file (the
// format is bridge1/frames/DepthRecordFormat.h's).
#include "ReplayFrames.h"

#include "DepthConversion.h"
#include "ImageGeometry.h"
#include "plexa/files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace plexa::virtual1 {

namespace {

constexpr std::uint64_t kHeaderBytes = 4;
constexpr std::uint64_t kPrefixBytes = 12;

struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileClose>;

float floatAt(const std::uint8_t* bytes) {
    const std::uint32_t bits = static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
                               (static_cast<std::uint32_t>(bytes[2]) << 16) |
                               (static_cast<std::uint32_t>(bytes[3]) << 24);
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

Vector4 readingOf(const std::uint8_t (&prefix)[kPrefixBytes]) {
    return Vector4{floatAt(prefix), floatAt(prefix + 4), floatAt(prefix + 8), 0.0f};
}

std::int32_t resolutionOf(int width, int height) {
    for (std::int32_t code = NUI_IMAGE_RESOLUTION_80x60; code <= NUI_IMAGE_RESOLUTION_1280x960; ++code) {
        const ImageSize size = imageSizeOf(code);
        if (size.width == width && size.height == height) return code;
    }
    return NUI_IMAGE_RESOLUTION_INVALID;
}

std::string systemMessage(int error) { return std::generic_category().message(error); }

class DepthRecording final : public ReplayFrames {
public:
    DepthRecording(File file, std::int32_t resolution, std::size_t count, Vector4 first)
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
            std::uint8_t header[kHeaderBytes];
            if (std::fread(header, 1, sizeof header, file_.get()) != sizeof header) return failed(problem);
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
        std::uint8_t prefix[kPrefixBytes];
        if (std::fread(prefix, 1, sizeof prefix, file_.get()) != sizeof prefix) return false;
        const std::size_t pixels = imageSizeOf(resolution_).pixelCount();
        if (std::fread(samples, sizeof(std::uint16_t), pixels, file_.get()) != pixels) return false;
        littleEndianToMachine(samples, pixels);
        reading = readingOf(prefix);
        return true;
    }

    bool failed(std::string& problem) {
        next_ = 0;
        problem = std::ferror(file_.get()) != 0 ? "reading failed" : "the file became shorter while playing";
        std::clearerr(file_.get());
        return false;
    }

    File file_;
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
    File file(plexa::openRegularFileToRead(path, notRegular));
    if (!file) {
        opening.problem = notRegular ? "it is not a regular file (a pipe, device or socket), not a recording"
                                     : "cannot be read: " + systemMessage(errno);
        return opening;
    }
    const std::uintmax_t size = std::filesystem::file_size(name, error);
    if (error) {
        opening.problem = "cannot be read: " + error.message();
        return opening;
    }
    std::uint8_t header[kHeaderBytes];
    if (size < kHeaderBytes || std::fread(header, 1, sizeof header, file.get()) != sizeof header) {
        opening.problem = "bad header: the file is shorter than its 4-byte header";
        return opening;
    }
    const int width = header[0] | (header[1] << 8);
    const int height = header[2] | (header[3] << 8);
    const std::int32_t resolution = resolutionOf(width, height);
    if (resolution == NUI_IMAGE_RESOLUTION_INVALID) {
        opening.problem = "bad header: " + std::to_string(width) + " x " + std::to_string(height) +
                          " is not a depth resolution (80 x 60, 320 x 240, 640 x 480 or 1280 x 960)";
        return opening;
    }
    const std::uint64_t recordBytes =
        kPrefixBytes + 2 * static_cast<std::uint64_t>(imageSizeOf(resolution).pixelCount());
    const std::uint64_t body = static_cast<std::uint64_t>(size) - kHeaderBytes;
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
    std::uint8_t prefix[kPrefixBytes];
    if (std::fread(prefix, 1, sizeof prefix, file.get()) != sizeof prefix) {
        opening.problem = "cannot be read: the file became shorter while opening it";
        return opening;
    }
    opening.frames = std::make_unique<DepthRecording>(std::move(file), resolution, static_cast<std::size_t>(count),
                                                      readingOf(prefix));
    return opening;
}

}  // namespace plexa::virtual1
