// The depth recording file written by a session in a real VM: its bytes, its
// life cycle through _saveDepthFrames and _closeDepthFile, and a Java thread
// replacing files while frames are written.
#include "pipeline_session.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <future>
#include <thread>

namespace plexa::test::pipelines {
namespace {

using virtual1::Operation;

// A recording file taken apart.
struct Recording {
    int width = -1, height = -1;
    struct Record {
        float accelerometer[3];
        std::vector<std::uint16_t> samples;
    };
    std::vector<Record> records;
    std::size_t trailingBytes = 0;  // bytes after the last whole record
};

Recording parse(const std::vector<std::uint8_t>& bytes) {
    Recording r;
    if (bytes.size() < 4) {
        r.trailingBytes = bytes.size();
        return r;
    }
    r.width = bytes[0] | (bytes[1] << 8);
    r.height = bytes[2] | (bytes[3] << 8);
    const std::size_t pixels = static_cast<std::size_t>(r.width) * r.height;
    const std::size_t recordBytes = 12 + 2 * pixels;
    std::size_t at = 4;
    while (bytes.size() - at >= recordBytes) {
        Recording::Record record;
        std::memcpy(record.accelerometer, bytes.data() + at, 12);
        record.samples.resize(pixels);
        std::memcpy(record.samples.data(), bytes.data() + at + 12, 2 * pixels);
        r.records.push_back(std::move(record));
        at += recordBytes;
    }
    r.trailingBytes = bytes.size() - at;
    return r;
}

std::vector<std::uint16_t> unsignedOf(const std::vector<jshort>& java) {
    std::vector<std::uint16_t> out(java.size());
    std::memcpy(out.data(), java.data(), java.size() * sizeof(jshort));
    return out;
}

class DepthRecordingAtResolution : public ::testing::TestWithParam<int> {};

TEST_P(DepthRecordingAtResolution, HeaderThenOneRecordPerFrameAsJavaAndTheRuntimeSawIt) {
    const int code = GetParam();
    const Size size = sizeOf(code);
    const std::size_t recordBytes[] = {9612, 153612, 614412};
    Jvm::start();
    Session session({false, code, -1, false});
    const TempFolder folder("growth");
    const std::string path = folder.file("depth.bin");
    ASSERT_TRUE(session.saveDepthFrames(path));
    const Vector4 readings[] = {{0.25f, -1.0f, 0.125f, 1.0f}, {-0.5f, 0.75f, 3.0f, 0.0f}};
    for (int frame = 0; frame < 2; ++frame) {
        virtual1::setAccelerometer(kSensor, readings[frame]);
        queueDepth(patternSamples(size, frame));
        ASSERT_TRUE(session.waitForDepth(frame + 1));
        EXPECT_EQ(readFile(path).size(), 4 + (frame + 1) * recordBytes[code]) << "after frame " << frame;
    }
    EXPECT_TRUE(session.closeDepthFile());

    const std::vector<std::uint8_t> bytes = readFile(path);
    ASSERT_EQ(bytes.size(), 4 + 2 * recordBytes[code]);
    EXPECT_EQ(bytes[0], size.width & 0xFF);
    EXPECT_EQ(bytes[1], size.width >> 8);
    EXPECT_EQ(bytes[2], size.height & 0xFF);
    EXPECT_EQ(bytes[3], size.height >> 8);
    const Recording recording = parse(bytes);
    ASSERT_EQ(recording.records.size(), 2u);
    ASSERT_EQ(session.received("depthFrames"), 2);
    for (int frame = 0; frame < 2; ++frame) {
        const Recording::Record& record = recording.records[frame];
        EXPECT_EQ(record.accelerometer[0], readings[frame].x);
        EXPECT_EQ(record.accelerometer[1], readings[frame].y);
        EXPECT_EQ(record.accelerometer[2], readings[frame].z);
        EXPECT_EQ(record.samples, unsignedOf(session.depth(frame)));
        EXPECT_EQ(record.samples, patternSamples(size, frame));
    }
}

INSTANTIATE_TEST_SUITE_P(Pipelines, DepthRecordingAtResolution, ::testing::Values(0, 1, 2));

TEST(DepthRecording, At320x240TheFileStartsWith40_01_F0_00) {
    Jvm::start();
    Session session({false, 1, -1, false});
    const TempFolder folder("header");
    const std::string path = folder.file("depth.bin");
    ASSERT_TRUE(session.saveDepthFrames(path));
    ASSERT_TRUE(session.closeDepthFile());
    EXPECT_EQ(readFile(path), (std::vector<std::uint8_t>{0x40, 0x01, 0xF0, 0x00}));
}

TEST(DepthRecording, WithoutADepthStreamTheHeaderIsZero) {
    Jvm::start();
    Session session({false, -1, 1, false});
    const TempFolder folder("nodepth");
    const std::string path = folder.file("depth.bin");
    ASSERT_TRUE(session.saveDepthFrames(path));
    virtual1::queueImageFrame(kSensor, virtual1::Stream::Video, imageFrame(patternBytes(320 * 240 * 4, 0)));
    ASSERT_TRUE(session.waitForVideo(1));
    EXPECT_TRUE(session.closeDepthFile());
    EXPECT_EQ(readFile(path), (std::vector<std::uint8_t>{0, 0, 0, 0}));
}

TEST(DepthRecording, ASecondFileClosesTheFirstWithWhatItHolds) {
    Jvm::start();
    Session session({false, 0, -1, false});
    const TempFolder folder("second");
    ASSERT_TRUE(session.saveDepthFrames(folder.file("first.bin")));
    queueDepth(patternSamples(sizeOf(0), 0));
    ASSERT_TRUE(session.waitForDepth(1));
    ASSERT_TRUE(session.saveDepthFrames(folder.file("second.bin")));
    queueDepth(patternSamples(sizeOf(0), 1));
    queueDepth(patternSamples(sizeOf(0), 2));
    ASSERT_TRUE(session.waitForDepth(3));
    ASSERT_TRUE(session.closeDepthFile());

    const Recording first = parse(readFile(folder.file("first.bin")));
    const Recording second = parse(readFile(folder.file("second.bin")));
    EXPECT_EQ(first.width, 80);
    EXPECT_EQ(second.width, 80);
    EXPECT_EQ(first.trailingBytes, 0u);
    EXPECT_EQ(second.trailingBytes, 0u);
    ASSERT_EQ(first.records.size(), 1u);
    ASSERT_EQ(second.records.size(), 2u);
    EXPECT_EQ(first.records[0].samples, patternSamples(sizeOf(0), 0));
    EXPECT_EQ(second.records[1].samples, patternSamples(sizeOf(0), 2));
}

TEST(DepthRecording, CloseReportsWhetherAFileWasOpenAndClosedCleanly) {
    Jvm::start();
    Session session({false, 0, -1, false});
    const TempFolder folder("close");
    EXPECT_FALSE(session.closeDepthFile());  // nothing open
    EXPECT_FALSE(session.saveDepthFramesToNull());
    EXPECT_FALSE(session.saveDepthFrames(folder.file("no/such/folder/depth.bin")));
    EXPECT_FALSE(session.closeDepthFile());  // a failed open leaves no file

    const std::string path = folder.file("depth.bin");
    ASSERT_TRUE(session.saveDepthFrames(path));
    queueDepth(patternSamples(sizeOf(0), 0));
    ASSERT_TRUE(session.waitForDepth(1));
    EXPECT_TRUE(session.closeDepthFile());
    EXPECT_FALSE(session.closeDepthFile());
    // Frames after the close are not recorded.
    queueDepth(patternSamples(sizeOf(0), 1));
    ASSERT_TRUE(session.waitForDepth(2));
    EXPECT_EQ(readFile(path).size(), 4u + 9612u);
}

TEST(DepthRecording, AFileThatCannotTakeTheHeaderIsNotOpened) {
    Jvm::start();
    Session session({false, 0, -1, false});
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    // /dev/full opens and refuses every write.
    EXPECT_FALSE(session.saveDepthFrames("/dev/full"));
    EXPECT_FALSE(session.closeDepthFile());
}

// Limits the size of files this process writes. A write beyond it fails
// instead of ending the process: the VM's own handler takes SIGXFSZ (and
// -Xcheck:jni warns about any other handler put in its place).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_{};
};

TEST(DepthRecording, AfterAWriteFailsNothingMoreIsAppendedAndTheCloseReportsIt) {
    Jvm::start();
    Session session({false, 0, -1, false});
    const TempFolder folder("writefails");
    const std::string path = folder.file("depth.bin");
    ASSERT_TRUE(session.saveDepthFrames(path));
    queueDepth(patternSamples(sizeOf(0), 0));
    ASSERT_TRUE(session.waitForDepth(1));
    const std::size_t limit = 4 + 9612 + 1000;
    {
        FileSizeLimit limited(limit);
        queueDepth(patternSamples(sizeOf(0), 1));  // written only in part
        ASSERT_TRUE(session.waitForDepth(2));
    }
    queueDepth(patternSamples(sizeOf(0), 2));  // could be written again, but must not follow a partial record
    ASSERT_TRUE(session.waitForDepth(3));
    EXPECT_FALSE(session.closeDepthFile());
    const std::vector<std::uint8_t> bytes = readFile(path);
    EXPECT_EQ(bytes.size(), limit);
    const Recording recording = parse(bytes);
    ASSERT_EQ(recording.records.size(), 1u);
    EXPECT_EQ(recording.records[0].samples, patternSamples(sizeOf(0), 0));
    EXPECT_EQ(session.received("depthFrames"), 3);  // Java still gets every frame
}

// A recording that cannot start (its header does not fit: the file system
// is full for this process) leaves no file behind, and the recording that
// was open is closed with the records it holds.
TEST(DepthRecording, ARecordingThatCannotTakeItsHeaderLeavesNoFileBehind) {
    Jvm::start();
    Session session({false, 0, -1, false});
    const TempFolder folder("noroom");
    const std::string first = folder.file("first.bin");
    const std::string second = folder.file("second.bin");
    ASSERT_TRUE(session.saveDepthFrames(first));
    queueDepth(patternSamples(sizeOf(0), 0));
    ASSERT_TRUE(session.waitForDepth(1));
    {
        FileSizeLimit limited(2);  // half a header
        EXPECT_FALSE(session.saveDepthFrames(second));
    }
    EXPECT_FALSE(std::filesystem::exists(second));
    EXPECT_FALSE(session.closeDepthFile()) << "no recording is open";
    queueDepth(patternSamples(sizeOf(0), 1));
    ASSERT_TRUE(session.waitForDepth(2));
    const Recording recording = parse(readFile(first));
    ASSERT_EQ(recording.records.size(), 1u);
    EXPECT_EQ(recording.trailingBytes, 0u);
}

// Runs `call` on a thread of its own; true when it returned within the
// deadline. Otherwise `unblock` frees it, so the test can end and fail.
template <typename Call, typename Unblock>
bool returnsInTime(Call&& call, Unblock&& unblock) {
    std::packaged_task<void()> task([&] {
        call();
        Jvm::start().vm()->DetachCurrentThread();
    });
    std::future<void> done = task.get_future();
    std::thread thread(std::move(task));
    const bool inTime = done.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    if (!inTime) unblock();
    thread.join();
    return inTime;
}

// A FIFO is refused at once, with or without a reader, and nothing waits on
// it: the recording that was open is closed, frames keep flowing into Java
// and a stop from another thread returns.
TEST(DepthRecording, AFifoIsRefusedWithoutWaitingAndFramesKeepFlowing) {
    Jvm::start();
    Session session({false, 0, -1, false});
    const TempFolder folder("fifo");
    const std::string fifo = folder.file("depth.fifo");
    const std::string regular = folder.file("depth.bin");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_TRUE(session.saveDepthFrames(regular));
    // A writer blocked in open() is let go by a reader; one reading end is
    // opened and closed again for it.
    const auto releaseWriter = [&] { ::close(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK)); };
    bool saved = true;
    ASSERT_TRUE(returnsInTime([&] { saved = session.saveDepthFrames(fifo); }, releaseWriter));
    EXPECT_FALSE(saved);
    EXPECT_EQ(readFile(regular).size(), 4u) << "the open recording was closed";

    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ASSERT_TRUE(returnsInTime([&] { saved = session.saveDepthFrames(fifo); }, [] {}));
    EXPECT_FALSE(saved);
    queueDepth(patternSamples(sizeOf(0), 0));
    ASSERT_TRUE(session.waitForDepth(1));
    EXPECT_EQ(session.received("depthFrames"), 1);
    char byte = 0;
    EXPECT_LE(::read(reader, &byte, 1), 0) << "nothing went into the FIFO";
    ::close(reader);
    EXPECT_TRUE(returnsInTime([&] { session.stop(); }, releaseWriter));
}

TEST(DepthRecording, EmptyShortAndUnfetchedFramesAddNothing) {
    Jvm::start();
    Session session({false, 0, -1, false});
    const TempFolder folder("empty");
    const std::string path = folder.file("depth.bin");
    ASSERT_TRUE(session.saveDepthFrames(path));
    const std::vector<std::uint16_t> samples = patternSamples(sizeOf(0), 5);
    virtual1::queueImageFrame(kSensor, virtual1::Stream::Depth, depthFrame(samples, 0));
    ASSERT_TRUE(session.waitForDepth(1));
    virtual1::ScriptedImageFrame shortFrame = depthFrame(samples);
    shortFrame.bytes.resize(shortFrame.bytes.size() / 2);
    virtual1::queueImageFrame(kSensor, virtual1::Stream::Depth, shortFrame);
    ASSERT_TRUE(session.waitForDepth(2));
    virtual1::injectFailure(Operation::ImageStreamGetNextFrame, E_NUI_FRAME_NO_DATA, 1);
    queueDepth(samples);
    ASSERT_TRUE(session.waitForDepth(3));
    ASSERT_TRUE(session.closeDepthFile());
    EXPECT_EQ(session.depthCount(), 3);
    EXPECT_EQ(loggedCalls(Operation::ImageStreamGetNextFrame, false), 1);
    const Recording recording = parse(readFile(path));
    ASSERT_EQ(recording.records.size(), 1u);
    EXPECT_EQ(recording.records[0].samples, samples);
    EXPECT_EQ(recording.trailingBytes, 0u);
}

TEST(DepthRecording, AFailedAccelerometerReadingIsRecordedAsZeros) {
    Jvm::start();
    Session session({false, 0, -1, false});
    const TempFolder folder("accelerometer");
    const std::string path = folder.file("depth.bin");
    virtual1::setAccelerometer(kSensor, {1.0f, 2.0f, 3.0f, 4.0f});
    ASSERT_TRUE(session.saveDepthFrames(path));
    virtual1::injectFailure(Operation::AccelerometerGetCurrentReading, E_FAIL, 1);
    queueDepth(patternSamples(sizeOf(0), 0));
    ASSERT_TRUE(session.waitForDepth(1));
    queueDepth(patternSamples(sizeOf(0), 1));
    ASSERT_TRUE(session.waitForDepth(2));
    ASSERT_TRUE(session.closeDepthFile());
    const Recording recording = parse(readFile(path));
    ASSERT_EQ(recording.records.size(), 2u);
    EXPECT_EQ(recording.records[0].accelerometer[0], 0.0f);
    EXPECT_EQ(recording.records[0].accelerometer[1], 0.0f);
    EXPECT_EQ(recording.records[0].accelerometer[2], 0.0f);
    EXPECT_EQ(recording.records[1].accelerometer[0], 1.0f);
    EXPECT_EQ(recording.records[1].accelerometer[2], 3.0f);
}

TEST(DepthRecording, AFileLeftOpenAtStopIsStillClosedByCloseDepthFile) {
    Jvm::start();
    Session session({false, 0, -1, false});
    const TempFolder folder("afterstop");
    const std::string path = folder.file("depth.bin");
    ASSERT_TRUE(session.saveDepthFrames(path));
    queueDepth(patternSamples(sizeOf(0), 0));
    ASSERT_TRUE(session.waitForDepth(1));
    session.stop();
    EXPECT_TRUE(session.closeDepthFile());
    EXPECT_EQ(parse(readFile(path)).records.size(), 1u);
}

TEST(DepthRecordingStress, FilesReplacedWhileFramesArriveHoldOnlyWholeRecords) {
    Jvm::start();
    Session session({false, 1, -1, false});
    const Size size = sizeOf(1);
    const TempFolder folder("stress");
    JNIEnv* env = Jvm::start().env();
    jstring javaFolder = env->NewStringUTF(folder.path().c_str());
    jobject loop = javaStatic<jobject>("edu/qet/brightloom/plexa/testing/PipelineRecordingLoop", "start",
                                       "(Ljava/lang/String;I)Ledu/qet/brightloom/plexa/testing/PipelineRecordingLoop;",
                                       javaFolder, static_cast<jint>(kSensor));
    ASSERT_NE(loop, nullptr);
    // Each frame is one value everywhere, so a record mixing two frames shows.
    // The queue is kept well filled: the event thread takes the frames back
    // to back, so records are being written nearly all the time the loop runs.
    constexpr int kFrames = 1500;
    for (int frame = 0; frame < kFrames; ++frame) {
        queueDepth(std::vector<std::uint16_t>(size.pixels(), static_cast<std::uint16_t>(8 * frame + 1)));
        if (frame - session.depthCount() > 64) {
            ASSERT_TRUE(session.waitForDepth(frame - 32));
        }
    }
    ASSERT_TRUE(session.waitForDepth(kFrames));
    javaMethod<void>(loop, "stop", "()V");
    ASSERT_EQ(takeException(env), "");
    EXPECT_EQ(javaMethod<jboolean>(loop, "allCallsSucceeded", "()Z"), JNI_TRUE);

    auto files = static_cast<jobjectArray>(javaMethod<jobject>(loop, "files", "()[Ljava/lang/String;"));
    const jsize fileCount = env->GetArrayLength(files);
    EXPECT_GT(fileCount, 2);
    std::size_t records = 0;
    int lastFrame = -1;
    for (jsize f = 0; f < fileCount; ++f) {
        auto name = static_cast<jstring>(env->GetObjectArrayElement(files, f));
        ASSERT_FALSE(env->ExceptionCheck());
        const char* chars = env->GetStringUTFChars(name, nullptr);
        const std::string file = chars;
        env->ReleaseStringUTFChars(name, chars);
        env->DeleteLocalRef(name);
        SCOPED_TRACE(file);
        const Recording recording = parse(readFile(file));
        ASSERT_EQ(recording.width, 320);
        ASSERT_EQ(recording.height, 240);
        ASSERT_EQ(recording.trailingBytes, 0u);
        for (const Recording::Record& record : recording.records) {
            const int frame = (record.samples.front() - 1) / 8;
            ASSERT_GT(frame, lastFrame);  // each frame at most once, in order
            ASSERT_LT(frame, kFrames);
            lastFrame = frame;
            ASSERT_EQ(record.samples,
                      std::vector<std::uint16_t>(size.pixels(), static_cast<std::uint16_t>(8 * frame + 1)));
        }
        records += recording.records.size();
    }
    EXPECT_GT(records, 0u);
    env->DeleteLocalRef(files);
    env->DeleteLocalRef(loop);
    env->DeleteLocalRef(javaFolder);
}

}  // namespace
}  // namespace plexa::test::pipelines
