// The replay source's readers and the conversions of the sources that do not
// film the scene, called directly (no runtime face, no device).
#include "ReplayFiles.h"
#include "sources/DepthConversion.h"
#include "sources/ReplayFrames.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace plexa::virtual1;
using namespace plexa::test::replay;

TEST(DepthConversion, RawToMillimetresFollowsTheDocumentedFormula) {
    for (std::uint32_t raw = 0; raw < 2047; ++raw) {
        const double divisor = 3.3309495161 - 0.0030711016 * raw;
        double expected = divisor > 0 ? std::floor(1000.0 / divisor + 0.5) : 0;
        if (expected > 8191) expected = 0;
        EXPECT_EQ(millimetresFromRaw(raw), static_cast<std::uint16_t>(expected)) << "raw " << raw;
    }
    EXPECT_EQ(millimetresFromRaw(2047), 0);
    EXPECT_EQ(millimetresFromRaw(4095), 0);
    EXPECT_EQ(millimetresFromRaw(0), 300);
    EXPECT_EQ(millimetresFromRaw(1044), 8018);
    EXPECT_EQ(millimetresFromRaw(1045), 0);
}

TEST(DepthConversion, SamplesAreMillimetresShiftedByThreeFromTheFormulaOrTheDevicesTable) {
    const std::uint16_t raw[] = {0, 500, 2047, 3000};
    std::uint16_t samples[4];
    depthSamplesFromRaw(raw, 4, nullptr, samples);
    EXPECT_EQ(samples[0], 300 << 3);
    EXPECT_EQ(samples[1], 557 << 3);
    EXPECT_EQ(samples[2], 0);
    EXPECT_EQ(samples[3], 0);
    std::vector<std::uint16_t> table(2048);
    for (int i = 0; i < 2048; ++i)
        table[i] = static_cast<std::uint16_t>(i * 5);
    depthSamplesFromRaw(raw, 4, table.data(), samples);
    EXPECT_EQ(samples[0], 0);
    EXPECT_EQ(samples[1], 2500 << 3);
    EXPECT_EQ(samples[2], 0);  // 2047 is no reading whatever the table says
    EXPECT_EQ(samples[3], 0);
    table[1700] = 9000;  // beyond what 13 bits hold
    const std::uint16_t far[] = {1700};
    depthSamplesFromRaw(far, 1, table.data(), samples);
    EXPECT_EQ(samples[0], 0);
}

TEST(DepthConversion, ColorInfraredAndAccelerometer) {
    const std::uint8_t rgb[] = {1, 2, 3, 250, 251, 252};
    std::uint8_t bgrx[8];
    bgrxFromRgb(rgb, 2, bgrx);
    EXPECT_EQ(std::vector<std::uint8_t>(bgrx, bgrx + 8), (std::vector<std::uint8_t>{3, 2, 1, 0, 252, 251, 250, 0}));
    const std::uint16_t tenBit[] = {0, 1, 1023, 4000};
    std::uint16_t infrared[4];
    infraredFromTenBit(tenBit, 4, infrared);
    EXPECT_EQ(std::vector<std::uint16_t>(infrared, infrared + 4), (std::vector<std::uint16_t>{0, 64, 65472, 65472}));
    const Vector4 level = readingFromCounts(0, 819, 0);
    EXPECT_EQ(level.x, 0.0f);
    EXPECT_FALSE(std::signbit(level.x));
    EXPECT_EQ(level.y, -1.0f);
    EXPECT_EQ(level.z, 0.0f);
    EXPECT_EQ(level.w, 0.0f);
    EXPECT_EQ(elevationFromReading(level), 0);
    const double up = 10.0 * 3.14159265358979323846 / 180.0;
    EXPECT_EQ(
        elevationFromReading(Vector4{0.0f, static_cast<float>(-std::cos(up)), static_cast<float>(-std::sin(up)), 0.0f}),
        10);
    EXPECT_EQ(elevationFromReading(Vector4{0.0f, 0.0f, 0.0f, 0.0f}), 0);
}

TEST(DepthConversion, RegistrationMapsByTheDevicesTableAndShift) {
    std::vector<std::int32_t> table(2 * 640 * 480);
    for (int i = 0; i < 640 * 480; ++i) {
        table[2 * i] = (i % 640) * 256;
        table[2 * i + 1] = i / 640;
    }
    std::vector<std::int32_t> shift(10000);
    for (int mm = 0; mm < 10000; ++mm)
        shift[mm] = 10000 - mm;  // nearer moves further right
    DepthRegistration registration;
    registration.table = reinterpret_cast<const std::int32_t(*)[2]>(table.data());
    registration.shift = shift.data();
    registration.shiftCount = 10000;
    std::vector<std::uint16_t> samples(640 * 480, 0);
    samples[0] = 1000 << 3;
    samples[641] = (2000 << 3) | 5;
    std::vector<LONG> coordinates(2 * 640 * 480);
    mapDepthToColorByRegistration(registration, samples.data(), 640, 480, coordinates.data());
    EXPECT_EQ(coordinates[0], (0 * 256 + 9000) / 256);
    EXPECT_EQ(coordinates[1], 0);
    EXPECT_EQ(coordinates[2 * 641], (1 * 256 + 8000) / 256);
    EXPECT_EQ(coordinates[2 * 641 + 1], 1);
    EXPECT_EQ(coordinates[2], (1 * 256 + 1) / 256);  // no depth: as far as the table goes
    mapDepthToColorByRegistration(registration, samples.data(), 1280, 960, coordinates.data());
    EXPECT_EQ(coordinates[2 * 641], 2 * ((1 * 256 + 8000) / 256));
    EXPECT_EQ(coordinates[2 * 641 + 1], 2);
}

TEST(DepthRecordReader, ReadsEveryRecordInOrderAndFromTheStartAgain) {
    Folder folder("reader");
    const std::vector<Record> recorded = records(80, 60, 3);
    writeFile(folder.file("r.rec"), recordingBytes(80, 60, recorded));
    ReplayOpening opening = openDepthRecording(folder.file("r.rec"));
    ASSERT_TRUE(opening.frames) << opening.problem;
    EXPECT_EQ(opening.problem, "");
    EXPECT_EQ(opening.frames->resolution(), NUI_IMAGE_RESOLUTION_80x60);
    ASSERT_EQ(opening.frames->frameCount(), 3u);
    EXPECT_EQ(opening.frames->firstReading().y, recorded[0].reading.y);
    std::vector<std::uint16_t> samples(80 * 60);
    for (std::size_t i : {0, 1, 2, 0, 1}) {
        Vector4 reading{};
        std::string problem;
        ASSERT_TRUE(opening.frames->read(i, samples.data(), reading, problem)) << problem;
        EXPECT_EQ(samples, recorded[i].samples) << "record " << i;
        EXPECT_EQ(reading.x, recorded[i].reading.x);
        EXPECT_EQ(reading.z, recorded[i].reading.z);
    }
}

TEST(DepthRecordReader, SaysWhatIsWrong) {
    Folder folder("reader");
    auto problemOf = [&](const std::vector<std::uint8_t>& bytes) {
        writeFile(folder.file("r.rec"), bytes);
        ReplayOpening opening = openDepthRecording(folder.file("r.rec"));
        return std::make_pair(opening.frames != nullptr, opening.problem);
    };
    EXPECT_EQ(problemOf({}).first, false);
    EXPECT_NE(problemOf({}).second.find("header"), std::string::npos);
    EXPECT_NE(problemOf({0, 0, 0, 0}).second.find("not a depth resolution"), std::string::npos);
    EXPECT_NE(problemOf({100, 0, 100, 0, 1, 2, 3}).second.find("not a depth resolution"), std::string::npos);
    const auto declaredTooLarge = problemOf(recordingBytes(1280, 960, records(80, 60, 2)));
    EXPECT_FALSE(declaredTooLarge.first);
    EXPECT_NE(declaredTooLarge.second.find("no whole record"), std::string::npos);
    std::vector<std::uint8_t> cut = recordingBytes(80, 60, records(80, 60, 2));
    cut.resize(cut.size() - 1);
    const auto cutLast = problemOf(cut);
    EXPECT_TRUE(cutLast.first);
    EXPECT_NE(cutLast.second.find("ignored"), std::string::npos);
    EXPECT_FALSE(openDepthRecording(folder.file("missing.rec")).frames);
    EXPECT_NE(openDepthRecording(folder.path()).problem.find("folder"), std::string::npos);
}

TEST(FakenectDumpReader, PlaysTheDepthFramesWithTheReadingBeforeEach) {
    Folder folder("dump");
    std::vector<std::uint16_t> first(80 * 60, 500), second(80 * 60, 800);
    writeFile(folder.file("d1"), depthFileBytes(first, 80, 60));
    writeFile(folder.file("d2"), depthFileBytes(second, 80, 60));
    writeFile(folder.file("a1"), tiltStateBytes(0, 819, 0, 0));
    writeFile(folder.file("a2"), tiltStateBytes(-819, 0, 0, 0));
    std::filesystem::create_symlink("d1", folder.file("d-1.0-1-x"));
    std::filesystem::create_symlink("a1", folder.file("a-1.1-1-x"));
    std::filesystem::create_symlink("d2", folder.file("d-1.2-2-x"));
    std::filesystem::create_symlink("a2", folder.file("a-1.3-2-x"));
    std::filesystem::create_symlink("d1", folder.file("d-1.4-3-x"));
    writeText(folder.file("INDEX.txt"), "d-1.0-1-x\na-1.1-1-x\nr-1.15-1-color\nd-1.2-2-x\na-1.3-2-x\nd-1.4-3-x\n");
    writeFile(folder.file("r-1.15-1-color"), {1, 2, 3});
    ReplayOpening opening = openFakenectDump(folder.path());
    ASSERT_TRUE(opening.frames) << opening.problem;
    EXPECT_EQ(opening.problem, "");
    ASSERT_EQ(opening.frames->frameCount(), 3u);
    std::vector<std::uint16_t> samples(80 * 60);
    const std::uint16_t expected[] = {557 << 3, 1144 << 3, 557 << 3};
    const float expectedX[] = {0.0f, 0.0f, 1.0f};  // the first frame takes the first reading
    for (std::size_t i = 0; i < 3; ++i) {
        Vector4 reading{};
        std::string problem;
        ASSERT_TRUE(opening.frames->read(i, samples.data(), reading, problem)) << problem;
        EXPECT_EQ(samples[0], expected[i]);
        EXPECT_EQ(samples.back(), expected[i]);
        EXPECT_EQ(reading.x, expectedX[i]) << "frame " << i;
    }
}

TEST(FakenectDumpReader, SkipsWhatItCannotPlayWithOneLine) {
    Folder folder("dump");
    writeFile(folder.file("good"), depthFileBytes(std::vector<std::uint16_t>(80 * 60, 500), 80, 60));
    std::vector<std::uint8_t> cut = depthFileBytes(std::vector<std::uint16_t>(80 * 60, 500), 80, 60);
    cut.pop_back();
    writeFile(folder.file("cut"), cut);
    writeFile(folder.file("huge"), depthFileBytes(std::vector<std::uint16_t>(80 * 60, 500), 1280, 960));
    writeFile(folder.file("noheader"), std::vector<std::uint8_t>(200, 'x'));
    writeFile(folder.file("tilt"), {1, 2, 3});
    writeText(folder.file("INDEX.txt"),
              "d-1-1-cut\nd-1-1-huge\nd-1-1-noheader\na-1-1-tilt\nd-1-1-missing\nnonsense\nd-1-2-good\n");
    for (const char* name : {"cut", "huge", "noheader", "tilt", "good"}) {
        std::filesystem::create_symlink(
            name,
            folder.file(std::string(name == std::string("tilt") ? "a-1-1-"
                                                                : (name == std::string("good") ? "d-1-2-" : "d-1-1-")) +
                        name));
    }
    ReplayOpening opening = openFakenectDump(folder.path());
    ASSERT_TRUE(opening.frames) << opening.problem;
    EXPECT_EQ(opening.frames->frameCount(), 1u);
    EXPECT_EQ(opening.problem.find('\n'), std::string::npos);
    EXPECT_NE(opening.problem.find("5 more problems"), std::string::npos) << opening.problem;
    Folder empty("dump");
    EXPECT_FALSE(openFakenectDump(empty.path()).frames);
    writeText(empty.file("INDEX.txt"), "r-1-1-x\n");
    EXPECT_NE(openFakenectDump(empty.path()).problem.find("no depth frame"), std::string::npos);
}

// A replay naming a FIFO (the recording, a dump's INDEX.txt or one of its
// frame files) is refused at once: opening one to read would wait for a
// writer that never comes, and hang the program's first sensor call.
TEST(ReplayReaders, RefuseWhatIsNotARegularFileWithoutWaiting) {
    struct Case {
        const char* fifo;  // in the folder
        bool dump;
        const char* index;
    };
    const Case cases[] = {
        {"r.rec", false, nullptr},
        {"INDEX.txt", true, nullptr},
        {"d-1-1-x", true, "d-1-1-x\n"},
    };
    for (const Case& c : cases) {
        Folder folder("fifo");
        const std::string fifo = folder.file(c.fifo);
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        if (c.index != nullptr) writeText(folder.file("INDEX.txt"), c.index);
        auto opened = std::async(std::launch::async,
                                 [&] { return c.dump ? openFakenectDump(folder.path()) : openDepthRecording(fifo); });
        if (opened.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            // Let the stuck reader go before failing.
            const int writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0) close(writer);
            ADD_FAILURE() << c.fifo << ": the reader waited on the FIFO";
        }
        const ReplayOpening opening = opened.get();
        EXPECT_FALSE(opening.frames) << c.fifo;
        EXPECT_NE(opening.problem.find("not a regular file"), std::string::npos) << c.fifo << ": " << opening.problem;
    }
}

}  // namespace
