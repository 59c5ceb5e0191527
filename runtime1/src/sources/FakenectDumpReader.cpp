// Reading a fakenect dump folder without libfreenect: INDEX.txt names one file
// a line, in playing order; a name starts with its kind, the recording time
// and the frame's time stamp, separated by '-' ("d-1.000000-1000-x.pgm").
// 'd' files hold a one-line PGM header ("P5 640 480 65535\n") and then raw
// 11-bit depth values, unsigned 16-bit little-endian; 'a' files hold the 12
// bytes of one freenect_raw_tilt_state (int16 x, y, z counts, int8 tilt,
// status). Other kinds (color) are skipped.
#include "ReplayFrames.h"

#include "DepthConversion.h"
#include "ImageGeometry.h"
#include "plexa/files.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

namespace plexa::virtual1 {

namespace {

constexpr std::size_t kLongestLine = 4096;
constexpr std::size_t kLongestHeader = 64;
constexpr std::uintmax_t kTiltStateBytes = 12;  // sizeof(freenect_raw_tilt_state), libfreenect 0.5
const Vector4 kLevelReading{0.0f, -1.0f, 0.0f, 0.0f};

struct DepthEntry {
    std::string path;
    std::size_t dataOffset;
    Vector4 reading;
};

// The first problem met, and how many more followed, for one line of report.
class Problems {
public:
    void add(std::string problem) {
        if (first_.empty()) {
            first_ = std::move(problem);
        } else {
            ++more_;
        }
    }
    std::string text() const {
        if (more_ == 0) return first_;
        return first_ + " (and " + std::to_string(more_) + " more problem" + (more_ == 1 ? "" : "s") + ")";
    }
    bool empty() const { return first_.empty(); }

private:
    std::string first_;
    std::size_t more_ = 0;
};

bool parseNumber(const char*& at, long& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtol(at, &end, 10);
    if (end == at || errno != 0) return false;
    at = end;
    return true;
}

// "P5 W H MAX\n": the image's size and the header's length.
bool parsePgmHeader(const char* header, std::size_t length, long& width, long& height) {
    if (length < 3 || header[0] != 'P' || header[1] != '5') return false;
    const char* at = header + 2;
    long maximum = 0;
    if (!parseNumber(at, width) || !parseNumber(at, height) || !parseNumber(at, maximum)) return false;
    return *at == '\n' && width > 0 && height > 0 && maximum > 0;
}

std::int16_t int16At(const std::uint8_t* bytes) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8)));
}

class FakenectDump final : public ReplayFrames {
public:
    FakenectDump(std::int32_t resolution, std::vector<DepthEntry> entries)
        : resolution_(resolution), entries_(std::move(entries)) {}

    std::int32_t resolution() const override { return resolution_; }
    std::size_t frameCount() const override { return entries_.size(); }
    Vector4 firstReading() const override { return entries_.front().reading; }

    bool read(std::size_t index, std::uint16_t* samples, Vector4& reading, std::string& problem) override {
        if (index >= entries_.size()) {
            problem = "no frame " + std::to_string(index);
            return false;
        }
        const DepthEntry& entry = entries_[index];
        bool notRegular = false;
        FileOwner file(plexa::openRegularFileToRead(entry.path, notRegular));
        if (!file) {
            problem = entry.path + (notRegular ? " is not a regular file"
                                               : " cannot be read: " + std::generic_category().message(errno));
            return false;
        }
        const std::size_t pixels = imageSizeOf(resolution_).pixelCount();
        if (std::fseek(file.get(), static_cast<long>(entry.dataOffset), SEEK_SET) != 0 ||
            std::fread(samples, sizeof(std::uint16_t), pixels, file.get()) != pixels) {
            problem = entry.path + " became shorter while playing";
            return false;
        }
        depthSamplesFromRaw(samples, pixels, nullptr, samples);
        reading = entry.reading;
        return true;
    }

private:
    const std::int32_t resolution_;
    const std::vector<DepthEntry> entries_;
};

}  // namespace

ReplayOpening openFakenectDump(const std::string& folder) {
    ReplayOpening opening;
    const std::string indexPath = folder + "/INDEX.txt";
    bool notRegular = false;
    FileOwner index(plexa::openRegularFileToRead(indexPath, notRegular));
    if (!index) {
        opening.problem = indexPath + (notRegular ? " is not a regular file"
                                                  : " cannot be read: " + std::generic_category().message(errno));
        return opening;
    }

    Problems problems;
    std::vector<DepthEntry> entries;
    std::int32_t resolution = NUI_IMAGE_RESOLUTION_INVALID;
    bool haveReading = false;
    Vector4 reading = kLevelReading;
    std::size_t lineNumber = 0;
    char line[kLongestLine + 2];
    while (std::fgets(line, sizeof line, index.get()) != nullptr) {
        ++lineNumber;
        std::size_t length = std::strlen(line);
        const bool ended = length > 0 && line[length - 1] == '\n';
        if (!ended && !std::feof(index.get())) {
            problems.add("INDEX.txt line " + std::to_string(lineNumber) + " is longer than " +
                         std::to_string(kLongestLine) + " bytes");
            // Skip the rest of the overlong line.
            int c;
            while ((c = std::fgetc(index.get())) != EOF && c != '\n') {
            }
            continue;
        }
        while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r')) line[--length] = '\0';
        if (length == 0) continue;
        if (length < 2 || line[1] != '-') {
            problems.add("INDEX.txt line " + std::to_string(lineNumber) + " is not a dump file name");
            continue;
        }
        const char kind = line[0];
        if (kind != 'd' && kind != 'a') continue;
        const std::string name(line, length);
        const std::string path = folder + "/" + name;
        FileOwner file(plexa::openRegularFileToRead(path, notRegular));
        std::error_code error;
        const std::uintmax_t size = file ? std::filesystem::file_size(std::filesystem::u8path(path), error) : 0;
        if (!file || error) {
            problems.add(name + (notRegular ? " is not a regular file" : " cannot be read"));
            continue;
        }
        if (kind == 'a') {
            std::uint8_t state[kTiltStateBytes];
            if (size != kTiltStateBytes || std::fread(state, 1, sizeof state, file.get()) != sizeof state) {
                problems.add(name + " holds " + std::to_string(size) + " bytes, not the " +
                             std::to_string(kTiltStateBytes) + " of an accelerometer state");
                continue;
            }
            reading = readingFromCounts(int16At(state), int16At(state + 2), int16At(state + 4));
            if (!haveReading) {
                // Frames before the first reading take it too.
                for (DepthEntry& entry : entries) entry.reading = reading;
                haveReading = true;
            }
            continue;
        }
        char header[kLongestHeader + 1];
        std::size_t headerLength = 0;
        for (int c; headerLength < kLongestHeader && (c = std::fgetc(file.get())) != EOF;) {
            header[headerLength++] = static_cast<char>(c);
            if (c == '\n') break;
        }
        header[headerLength] = '\0';
        long width = 0, height = 0;
        if (!parsePgmHeader(header, headerLength, width, height)) {
            problems.add(name + " has no one-line PGM header (\"P5 640 480 65535\")");
            continue;
        }
        const std::int32_t code = runtime1::resolutionOfSize(width, height);
        if (code == NUI_IMAGE_RESOLUTION_INVALID ||
            (resolution != NUI_IMAGE_RESOLUTION_INVALID && code != resolution)) {
            problems.add(name + " declares " + std::to_string(width) + " x " + std::to_string(height) +
                         (code == NUI_IMAGE_RESOLUTION_INVALID ? ", not a depth resolution"
                                                               : ", unlike the folder's first depth frame"));
            continue;
        }
        const std::uintmax_t needed = headerLength + 2 * static_cast<std::uintmax_t>(imageSizeOf(code).pixelCount());
        if (size < needed) {
            problems.add(name + " declares " + std::to_string(width) + " x " + std::to_string(height) + " (" +
                         std::to_string(needed) + " bytes) and holds " + std::to_string(size));
            continue;
        }
        resolution = code;
        entries.push_back(DepthEntry{path, headerLength, reading});
    }
    if (std::ferror(index.get()) != 0) problems.add("reading INDEX.txt failed");
    if (entries.empty()) {
        opening.problem = "no depth frame that can be played" + (problems.empty() ? "" : ": " + problems.text());
        return opening;
    }
    opening.problem = problems.text();
    opening.frames = std::make_unique<FakenectDump>(resolution, std::move(entries));
    return opening;
}

}  // namespace plexa::virtual1
