#include "plexa/shared_library.h"

#include <dlfcn.h>

namespace plexa {

SharedLibrary::SharedLibrary(const std::string& name) : handle_(dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL)) {
    if (handle_ != nullptr) return;
    const char* reason = dlerror();
    problem_ = reason != nullptr ? reason : "it cannot be loaded";
}

void* SharedLibrary::symbol(const char* name) const { return handle_ != nullptr ? dlsym(handle_, name) : nullptr; }

}  // namespace plexa
