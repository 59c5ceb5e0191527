#include "jvm.h"

#include <cstdlib>
#include <mutex>

namespace plexa::test {
namespace {

std::string joinClassPath(const std::vector<std::string>& entries) {
    std::string joined;
    for (const std::string& entry : entries) {
        if (!joined.empty()) joined += ':';
        joined += entry;
    }
    return joined;
}

}  // namespace

JvmOptions soakJvmOptions() {
    JvmOptions options;
    options.extraOptions = {"-Xms512m", "-XX:+AlwaysPreTouch"};
    return options;
}

std::string referenceJar() { return PLEXA_REFERENCE_JAR; }
std::string fixturesJar() { return PLEXA_FIXTURES_JAR; }
std::string variantJar(const std::string& name) { return std::string(PLEXA_VARIANTS_DIR) + "/" + name + ".jar"; }
std::string libraryDir() { return PLEXA_LIBRARY_DIR; }

Jvm& Jvm::start(const JvmOptions& options) {
    static std::once_flag once;
    static Jvm* instance = nullptr;
    std::call_once(once, [&options]() {
        std::vector<std::string> classPath = options.classPath;
        if (classPath.empty()) classPath = {referenceJar(), fixturesJar()};
        std::vector<std::string> strings = {
            "-Djava.class.path=" + joinClassPath(classPath),
            "-Djava.library.path=" + libraryDir(),
            "-Xmx512m",
        };
        if (options.checkJni) strings.push_back("-Xcheck:jni");
        for (const std::string& extra : options.extraOptions)
            strings.push_back(extra);
        std::vector<JavaVMOption> vmOptions(strings.size());
        for (std::size_t i = 0; i < strings.size(); ++i) {
            vmOptions[i].optionString = const_cast<char*>(strings[i].c_str());
            vmOptions[i].extraInfo = nullptr;
        }
        JavaVMInitArgs args{};
        args.version = JNI_VERSION_1_8;
        args.nOptions = static_cast<jint>(vmOptions.size());
        args.options = vmOptions.data();
        args.ignoreUnrecognized = JNI_FALSE;
        JavaVM* vm = nullptr;
        JNIEnv* env = nullptr;
        if (JNI_CreateJavaVM(&vm, reinterpret_cast<void**>(&env), &args) != JNI_OK) {
            throw std::runtime_error("cannot create the Java VM");
        }
        // Lives until the process ends; a VM cannot be created twice.
        instance = new Jvm(vm);
    });
    return *instance;
}

JNIEnv* Jvm::env() const {
    JNIEnv* env = nullptr;
    if (vm_->GetEnv(reinterpret_cast<void**>(&env), JNI_VERSION_1_6) == JNI_EDETACHED) {
        vm_->AttachCurrentThread(reinterpret_cast<void**>(&env), nullptr);
    }
    return env;
}

jclass Jvm::findClass(const char* name) const {
    JNIEnv* e = env();
    jclass local = e->FindClass(name);
    if (local == nullptr) {
        takeException(e);
        throw std::runtime_error(std::string("class not found: ") + name);
    }
    auto global = static_cast<jclass>(e->NewGlobalRef(local));
    e->DeleteLocalRef(local);
    return global;
}

jobject Jvm::newObject(const char* className) const {
    JNIEnv* e = env();
    jclass cls = findClass(className);
    jmethodID constructor = e->GetMethodID(cls, "<init>", "()V");
    if (constructor == nullptr) {
        takeException(e);
        throw std::runtime_error(std::string("no default constructor: ") + className);
    }
    jobject local = e->NewObject(cls, constructor);
    if (local == nullptr || e->ExceptionCheck()) {
        takeException(e);
        throw std::runtime_error(std::string("cannot construct ") + className);
    }
    jobject global = e->NewGlobalRef(local);
    e->DeleteLocalRef(local);
    return global;
}

std::string takeException(JNIEnv* env) {
    jthrowable pending = env->ExceptionOccurred();
    if (pending == nullptr) return "";
    env->ExceptionClear();
    jclass cls = env->GetObjectClass(pending);
    jclass classClass = env->FindClass("java/lang/Class");
    jmethodID getName = env->GetMethodID(classClass, "getName", "()Ljava/lang/String;");
    auto name = static_cast<jstring>(env->CallObjectMethod(cls, getName));
    std::string result = "(unnamed)";
    if (env->ExceptionCheck()) {
        env->ExceptionClear();
    } else if (name != nullptr) {
        const char* chars = env->GetStringUTFChars(name, nullptr);
        if (chars != nullptr) {
            result = chars;
            env->ReleaseStringUTFChars(name, chars);
        }
    }
    env->DeleteLocalRef(name);
    env->DeleteLocalRef(classClass);
    env->DeleteLocalRef(cls);
    env->DeleteLocalRef(pending);
    return result;
}

std::string takePendingException() { return takeException(Jvm::start().env()); }

}  // namespace plexa::test
