// The replay readers over mutated recordings and dump folders: cut, bytes
// flipped, sizes enlarged. Whatever they are given they must not crash, hang
// or read past a buffer (the sanitizer suite runs this too), must play no
// more frames than the file holds whole, and must allocate no more than the
// file justifies. A bounded number of cases runs in ctest; PLEXA_FUZZ_CASES
// and PLEXA_FUZZ_SEED run more (scripts/fuzz-replay.sh).
#include "ReplayFiles.h"
#include "sources/ReplayFrames.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "allocation_probe.h"

namespace {

using namespace plexa::virtual1;
using namespace plexa::test::replay;

std::size_t envNumber(const char* name, std::size_t otherwise) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? static_cast<std::size_t>(std::strtoull(value, nullptr, 10)) : otherwise;
}

class Mutator {
public:
    explicit Mutator(std::uint64_t seed) : random_(seed) {}

    std::size_t below(std::size_t limit) { return limit == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, limit - 1)(random_); }

    void mutate(std::vector<std::uint8_t>& bytes, std::size_t headerBytes) {
        switch (below(5)) {
            case 0:  // cut anywhere
                bytes.resize(below(bytes.size() + 1));
                break;
            case 1:  // flip a few bytes anywhere
                for (std::size_t n = 1 + below(8); n > 0 && !bytes.empty(); --n) bytes[below(bytes.size())] ^= static_cast<std::uint8_t>(1 + below(255));
                break;
            case 2:  // flip bytes of the header
                for (std::size_t n = 1 + below(3); n > 0 && !bytes.empty(); --n) {
                    bytes[below(std::min(bytes.size(), headerBytes))] = static_cast<std::uint8_t>(below(256));
                }
                break;
            case 3:  // append
                for (std::size_t n = below(4096); n > 0; --n) bytes.push_back(static_cast<std::uint8_t>(below(256)));
                break;
            default:  // cut and flip
                bytes.resize(below(bytes.size() + 1));
                if (!bytes.empty()) bytes[below(bytes.size())] ^= 0xFF;
                break;
        }
    }

private:
    std::mt19937_64 random_;
};

// Plays every frame once (twice for short ones); the test allocates the
// frame buffer itself, as the sensor's stream does.
void playAll(ReplayFrames& frames) {
    const std::size_t pixels = [&] {
        switch (frames.resolution()) {
            case NUI_IMAGE_RESOLUTION_80x60: return 80 * 60;
            case NUI_IMAGE_RESOLUTION_320x240: return 320 * 240;
            case NUI_IMAGE_RESOLUTION_640x480: return 640 * 480;
            case NUI_IMAGE_RESOLUTION_1280x960: return 1280 * 960;
            default: return 0;
        }
    }();
    ASSERT_GT(pixels, 0u);
    std::vector<std::uint16_t> samples(pixels);
    const std::size_t plays = std::min<std::size_t>(frames.frameCount() * 2, 8);
    for (std::size_t i = 0; i < plays; ++i) {
        Vector4 reading{};
        std::string problem;
        frames.read(i % frames.frameCount(), samples.data(), reading, problem);
    }
}

TEST(ReplayFuzz, MutatedRecordingsNeverCrashNorPlayMoreThanTheyHold) {
    const std::size_t cases = envNumber("PLEXA_FUZZ_CASES", 300);
    Mutator mutator(envNumber("PLEXA_FUZZ_SEED", 1));
    Folder folder("fuzz");
    const std::string path = folder.file("r.rec");
    const std::vector<std::uint8_t> valid = recordingBytes(80, 60, records(80, 60, 3));
    std::size_t played = 0;
    for (std::size_t n = 0; n < cases; ++n) {
        std::vector<std::uint8_t> bytes = valid;
        for (std::size_t rounds = 1 + mutator.below(3); rounds > 0; --rounds) mutator.mutate(bytes, 4);
        writeFile(path, bytes);
        plexa::test::AllocationProbe probe;
        ReplayOpening opening = openDepthRecording(path);
        EXPECT_LE(probe.largest(), std::max<std::size_t>(bytes.size(), 4096)) << "case " << n;
        EXPECT_EQ(opening.problem.find('\n'), std::string::npos);
        if (!opening.frames) {
            EXPECT_FALSE(opening.problem.empty());
            continue;
        }
        const std::uint64_t width = bytes[0] | (bytes[1] << 8), height = bytes[2] | (bytes[3] << 8);
        EXPECT_LE(opening.frames->frameCount(), (bytes.size() - 4) / (12 + 2 * width * height)) << "case " << n;
        playAll(*opening.frames);
        ++played;
    }
    std::printf("%zu cases, %zu playable\n", cases, played);
}

TEST(ReplayFuzz, MutatedDumpFoldersNeverCrashNorPlayWhatIsNotThere) {
    const std::size_t cases = envNumber("PLEXA_FUZZ_CASES", 300) / 2;
    Mutator mutator(envNumber("PLEXA_FUZZ_SEED", 1) + 1000);
    std::size_t played = 0;
    for (std::size_t n = 0; n < cases; ++n) {
        Folder folder("fuzzdump");
        std::vector<std::uint8_t> files[4] = {
            depthFileBytes(std::vector<std::uint16_t>(80 * 60, static_cast<std::uint16_t>(n % 2048)), 80, 60),
            depthFileBytes(std::vector<std::uint16_t>(80 * 60, 700), 80, 60),
            tiltStateBytes(10, 800, -20, 6),
            {}};
        const std::string index = "a-1.0-0-a0\nd-1.1-1-d0\nr-1.2-1-r0\nd-1.3-2-d1\na-1.4-2-a0\nd-1.5-3-d0\n";
        files[3].assign(index.begin(), index.end());
        // Mutate one to three of the four files.
        for (std::size_t rounds = 1 + mutator.below(3); rounds > 0; --rounds) {
            const std::size_t which = mutator.below(4);
            mutator.mutate(files[which], which < 2 ? 18 : 12);
        }
        writeFile(folder.file("d0"), files[0]);
        writeFile(folder.file("d1"), files[1]);
        writeFile(folder.file("a0"), files[2]);
        writeFile(folder.file("INDEX.txt"), files[3]);
        for (const char* link : {"a-1.0-0-a0", "d-1.1-1-d0", "d-1.3-2-d1", "a-1.4-2-a0", "d-1.5-3-d0"}) {
            std::filesystem::create_symlink(std::string(link).substr(std::string(link).rfind('-') + 1), folder.file(link));
        }
        std::size_t total = 0;
        for (const auto& file : files) total += file.size();
        plexa::test::AllocationProbe probe;
        ReplayOpening opening = openFakenectDump(folder.path());
        EXPECT_LE(probe.largest(), std::max<std::size_t>(total, 8192)) << "case " << n;
        EXPECT_EQ(opening.problem.find('\n'), std::string::npos);
        if (!opening.frames) continue;
        EXPECT_LE(opening.frames->frameCount(), 3u);
        playAll(*opening.frames);
        ++played;
    }
    std::printf("%zu cases, %zu playable\n", cases, played);
}

}  // namespace
