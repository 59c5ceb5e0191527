// PLEXA_SENSOR1 through the bridge, in a real VM: what Java sees of the
// source the runtime chose. Each case runs in its own process and sets the
// variable before the runtime first reads it.
#include "jvm.h"
#include "pipeline_session.h"
#include "capture.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>

namespace plexa::test::pipelines {
namespace {

jint sensorCount() {
    return javaStatic<jint>(kPlexa1, "_getSensorCount", "()I");
}

bool createNUI(int index) {
    return javaStatic<jboolean>(kPlexa1, "_createNUI", "(I)Z", static_cast<jint>(index)) == JNI_TRUE;
}

TEST(SourceSelection, FreenectWithoutLibfreenectIsOneLineNoSensorAndNoSession) {
    ::setenv("PLEXA_SENSOR1", "freenect", 1);
    ::setenv("PLEXA_FREENECT_LIBRARY", "/nonexistent/libfreenect.so.0.5", 1);
    Jvm::start();
    StderrCapture capture;
    EXPECT_EQ(sensorCount(), 0);
    EXPECT_FALSE(createNUI(0));
    EXPECT_EQ(sensorCount(), 0);
    const std::string said = capture.finish();
    EXPECT_EQ(lineCount(said), 1u) << said;
    EXPECT_NE(said.find("libfreenect"), std::string::npos) << said;
}

TEST(SourceSelection, AutoWithoutLibfreenectSaysSoAndIsTheVirtualSensor) {
    ::unsetenv("PLEXA_SENSOR1");
    ::setenv("PLEXA_FREENECT_LIBRARY", "/nonexistent/libfreenect.so.0.5", 1);
    Jvm::start();
    StderrCapture capture;
    EXPECT_EQ(sensorCount(), 1);
    EXPECT_TRUE(createNUI(0));
    Session session({false, 1, -1, false});
    EXPECT_EQ(session.startResult(), 0);
    queueDepth(patternSamples(sizeOf(1), 0));
    EXPECT_TRUE(session.waitForDepth(1));
    const std::string said = capture.finish();
    EXPECT_EQ(lineCount(said), 1u) << said;
    EXPECT_NE(said.find("the virtual sensor stands in"), std::string::npos) << said;
}

TEST(SourceSelection, AutoWhereLibfreenectFindsNoSensorIsTheVirtualSensor) {
    ::unsetenv("PLEXA_SENSOR1");
    ::unsetenv("PLEXA_FREENECT_LIBRARY");
    // This machine's libfreenect, asked directly: the test means a machine
    // with libfreenect installed and no sensor plugged in.
    void* library = dlopen("libfreenect.so.0.5", RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << "libfreenect is not installed: scripts/setup.sh installs it";
    using Init = int (*)(void**, void*);
    using Count = int (*)(void*);
    using Shutdown = int (*)(void*);
    auto init = reinterpret_cast<Init>(dlsym(library, "freenect_init"));
    auto count = reinterpret_cast<Count>(dlsym(library, "freenect_num_devices"));
    auto shutdown = reinterpret_cast<Shutdown>(dlsym(library, "freenect_shutdown"));
    ASSERT_TRUE(init && count && shutdown);
    void* context = nullptr;
    int plugged = 0;
    if (init(&context, nullptr) >= 0) {
        plugged = count(context);
        shutdown(context);
    }
    if (plugged > 0) GTEST_SKIP() << "a real sensor is plugged in";
    Jvm::start();
    EXPECT_EQ(sensorCount(), 1);
    EXPECT_TRUE(createNUI(0));
    Session session({false, 1, -1, false});
    EXPECT_EQ(session.startResult(), 0);
    queueDepth(patternSamples(sizeOf(1), 0));
    EXPECT_TRUE(session.waitForDepth(1));
}

}  // namespace
}  // namespace plexa::test::pipelines
