#include "FakeJvm.h"

#include <algorithm>
#include <iostream>
#include <sstream>
#include <stdexcept>

namespace plexa::e2e {
namespace {

std::string threadName(std::thread::id id) {
    std::ostringstream out;
    out << id;
    return out.str();
}

}  // namespace

FakeJvm::FakeJvm() {
    fillWithUnexpectedCalls(nativeTable_);
    fillWithUnexpectedCalls(invokeTable_);
    installNativeFunctions(nativeTable_);
    installInvokeFunctions(invokeTable_);
    vm_.vm.functions = &invokeTable_;
    vm_.owner = this;
    std::lock_guard<std::mutex> lock(mutex_);
    main_ = &attachCurrentLocked();
    main_->isMain = true;
    balance_.attaches = 0;  // the main thread is Java's own, not an attachment
    classes_.push_back(static_cast<const FakeClass*>(
        keepLocked(std::make_unique<FakeClass>("java/lang/Object", std::vector<FakeMethod>{}))));
}

FakeJvm::~FakeJvm() = default;

jclass FakeJvm::defineClass(const std::string& name, const std::vector<FakeMethod>& methods) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto* type = static_cast<FakeClass*>(keepLocked(std::make_unique<FakeClass>(name, methods)));
    classes_.push_back(type);
    return reinterpret_cast<jclass>(static_cast<FakeObject*>(type));
}

jobject FakeJvm::newInstance(jclass type) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto* instanceClass = resolveAs<FakeClass>(type, ObjectKind::Class, "newInstance");
    if (instanceClass == nullptr) return nullptr;
    return reinterpret_cast<jobject>(keepLocked(std::make_unique<FakeInstance>(*instanceClass)));
}

jstring FakeJvm::newString(const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    return reinterpret_cast<jstring>(keepLocked(std::make_unique<FakeString>(text)));
}

const CallRecorder& FakeJvm::callsOn(jobject instance) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto* target = resolveAs<FakeInstance>(instance, ObjectKind::Instance, "callsOn");
    if (target == nullptr) throw std::invalid_argument("callsOn: not an instance");
    return target->calls;
}

std::string FakeJvm::takePendingException() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string pending;
    pending.swap(main_->pendingException);
    return pending;
}

FakeJvm::Balance FakeJvm::balance() const {
    std::lock_guard<std::mutex> lock(mutex_);
    Balance now = balance_;
    for (const auto& entry : threads_) {
        const ThreadState& thread = *entry.second;
        if (thread.isMain) continue;
        now.attachedNow += thread.attached ? 1 : 0;
        now.liveLocals += thread.locals.size();
    }
    return now;
}

std::vector<std::string> FakeJvm::violations() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return violations_;
}

FakeJvm::Call::Call(FakeJvm& vm, JNIEnv* env, const char* function, bool allowedWithException)
    : vm_(vm), lock_(vm.mutex_), function_(function) {
    ThreadState* caller = vm.threadForCurrentLocked();
    ThreadState* owner = reinterpret_cast<EnvHandle*>(env)->thread;
    const std::string name(function);
    if (caller == nullptr || !caller->attached) {
        vm.violationLocked(name + " from a thread that is not attached");
    } else if (caller != owner) {
        vm.violationLocked(name + " with the JNIEnv of another thread");
    } else if (caller->criticalArraysHeld > 0 && name != "ReleasePrimitiveArrayCritical") {
        // Between GetPrimitiveArrayCritical and its release, a VM allows no other call.
        vm.violationLocked(name + " while a critical array is held");
    } else if (!allowedWithException && !caller->pendingException.empty()) {
        vm.violationLocked(name + " with " + caller->pendingException + " pending");
    } else {
        thread_ = caller;
    }
}

FakeObject* FakeJvm::resolve(jobject reference, const char* function) {
    auto* object = reinterpret_cast<FakeObject*>(reference);
    if (objects_.count(object) == 0) {
        violationLocked(std::string(function) + ": reference that is not live");
        return nullptr;
    }
    return object;
}

jobject FakeJvm::addLocal(ThreadState& thread, std::unique_ptr<FakeObject> object) {
    FakeObject* kept = keepLocked(std::move(object));
    thread.locals.push_back(kept);
    return reinterpret_cast<jobject>(kept);
}

void FakeJvm::deleteLocal(ThreadState& thread, jobject reference) {
    auto* object = reinterpret_cast<FakeObject*>(reference);
    const auto found = std::find(thread.locals.begin(), thread.locals.end(), object);
    if (found == thread.locals.end()) {
        violationLocked("DeleteLocalRef: not a local reference of this thread");
        return;
    }
    thread.locals.erase(found);
    eraseLocked(object);
}

void FakeJvm::freeLocalsFrom(ThreadState& thread, std::size_t mark, jobject keep) {
    auto* kept = reinterpret_cast<FakeObject*>(keep);
    bool keepIt = false;
    for (std::size_t i = mark; i < thread.locals.size(); ++i) {
        if (thread.locals[i] == kept) {
            keepIt = true;
        } else {
            eraseLocked(thread.locals[i]);
        }
    }
    thread.locals.resize(std::min(mark, thread.locals.size()));
    if (keepIt) thread.locals.push_back(kept);
}

void FakeJvm::throwException(ThreadState& thread, const std::string& exceptionClass) {
    thread.pendingException = exceptionClass;
}

void FakeJvm::violationLocked(const std::string& what) {
    std::cerr << "JNI misuse: " << what << std::endl;
    violations_.push_back(what);
}

const FakeClass* FakeJvm::findClassLocked(const char* name) const {
    for (const FakeClass* type : classes_) {
        if (type->name == name) return type;
    }
    return nullptr;
}

ThreadState* FakeJvm::threadForCurrentLocked() {
    const auto found = threads_.find(std::this_thread::get_id());
    return found == threads_.end() ? nullptr : found->second.get();
}

ThreadState& FakeJvm::attachCurrentLocked() {
    std::unique_ptr<ThreadState>& slot = threads_[std::this_thread::get_id()];
    // A thread keeps its state (and so its JNIEnv address) across attachments,
    // so that an environment kept past a detach is caught, not dereferenced.
    if (!slot) {
        slot = std::make_unique<ThreadState>();
        slot->id = std::this_thread::get_id();
        slot->handle.env.functions = &nativeTable_;
        slot->handle.vm = this;
        slot->handle.thread = slot.get();
    }
    if (!slot->attached) {
        slot->attached = true;
        ++balance_.attaches;
    }
    return *slot;
}

void FakeJvm::detachLocked(ThreadState& thread) {
    if (!thread.frameMarks.empty()) {
        violationLocked("detach of thread " + threadName(thread.id) + " with a local frame still pushed");
    }
    if (!thread.pendingException.empty()) {
        violationLocked("detach of thread " + threadName(thread.id) + " with " + thread.pendingException +
                        " pending");
    }
    freeLocalsFrom(thread, 0, nullptr);
    thread.frameMarks.clear();
    thread.pendingException.clear();
    thread.attached = false;
    ++balance_.detaches;
}

void FakeJvm::removeGlobalLocked(FakeObject* object) {
    const auto found = globalRefs_.find(object);
    if (found == globalRefs_.end() || found->second == 0) {
        violationLocked("DeleteGlobalRef: not a global reference");
        return;
    }
    --found->second;
}

FakeObject* FakeJvm::keepLocked(std::unique_ptr<FakeObject> object) {
    FakeObject* kept = object.get();
    objects_.emplace(kept, std::move(object));
    return kept;
}

void FakeJvm::eraseLocked(FakeObject* object) {
    // An object some global reference still holds outlives its local one.
    const auto global = globalRefs_.find(object);
    if (global != globalRefs_.end() && global->second > 0) return;
    objects_.erase(object);
}

}  // namespace plexa::e2e
