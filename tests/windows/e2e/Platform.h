// Everything that differs between Windows and Linux for the end-to-end
// programs: loading a library and finding a symbol in it, where the bridge
// libraries lie (threads are counted by the harness). Nothing else in this
// folder looks at the platform.
#pragma once

#include "thread_count.h"

#include <stdexcept>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#endif

namespace plexa::e2e {

// A library loaded for the lifetime of the object.
class SharedLibrary {
public:
    explicit SharedLibrary(const std::string& path) {
#if defined(_WIN32)
        handle_ = LoadLibraryW(widen(path).c_str());
        if (handle_ == nullptr) {
            throw std::runtime_error("LoadLibraryW(" + path + ") failed, error " + std::to_string(GetLastError()));
        }
#else
        handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle_ == nullptr) throw std::runtime_error("dlopen(" + path + ") failed: " + dlerror());
#endif
    }
    ~SharedLibrary() {
#if defined(_WIN32)
        FreeLibrary(handle_);
#else
        dlclose(handle_);
#endif
    }
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // The exported function `name` as a `Function` pointer; throws when the
    // library does not export it.
    template <typename Function>
    Function function(const char* name) const {
#if defined(_WIN32)
        FARPROC address = GetProcAddress(handle_, name);
#else
        void* address = dlsym(handle_, name);
#endif
        if (address == nullptr) throw std::runtime_error(std::string("missing export ") + name);
        // Through void(*)(), the one function type that converts to any
        // other without a cast-function-type complaint.
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
    }

private:
#if defined(_WIN32)
    static std::wstring widen(const std::string& text) {
        const int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), length);
        wide.resize(wide.size() - 1);
        return wide;
    }
    HMODULE handle_;
#else
    void* handle_;
#endif
};

// The folder of the running program.
inline std::string executableFolder() {
#if defined(_WIN32)
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path, length);
    const auto slash = text.find_last_of("\\/");
#else
    char path[PATH_MAX] = {};
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    std::string text(path, length > 0 ? static_cast<std::size_t>(length) : 0);
    const auto slash = text.find_last_of('/');
#endif
    return slash == std::string::npos ? std::string(".") : text.substr(0, slash);
}

// Where a library built with the programs lies: on Windows every library
// sits beside the programs; on Linux libraries go to lib/ beside bin/.
inline std::string builtLibraryPath(const std::string& fileName) {
#if defined(_WIN32)
    return executableFolder() + "\\" + fileName;
#else
    return executableFolder() + "/../lib/" + fileName;
#endif
}

using plexa::test::processThreadCount;

}  // namespace plexa::e2e
