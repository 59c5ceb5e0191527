// Loading a shared library by name at run time, and finding its functions:
// dlopen and dlsym on POSIX systems, LoadLibraryW and GetProcAddress on
// Windows. A library loaded here is never unloaded: code that loads one
// (libfreenect) leaves threads and callbacks in it that may run until the
// process ends.
#pragma once

#include <string>

namespace plexa {

class SharedLibrary {
public:
    // Loads `name` (a UTF-8 file name or path, as the system's loader takes
    // it). Check loaded(); when it failed, problem() says why.
    explicit SharedLibrary(const std::string& name);

    bool loaded() const { return handle_ != nullptr; }
    const std::string& problem() const { return problem_; }

    // The address of an exported symbol, or nullptr.
    void* symbol(const char* name) const;

    // Finds a function of the library's by its exported name; false (and
    // `function` null) when it has none.
    template <typename Function>
    bool find(const char* name, Function& function) const {
        function = reinterpret_cast<Function>(symbol(name));
        return function != nullptr;
    }

private:
    void* handle_ = nullptr;
    std::string problem_;
};

}  // namespace plexa
