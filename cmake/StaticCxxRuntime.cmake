# The jar's Linux natives carry their own C++ runtime: libstdc++ and libgcc
# linked in, their symbols hidden (--exclude-libs), so a library loads on a
# system whose libstdc++ is older than the build machine's, or absent, and
# never lends its copy to, or takes one from, another module of the process.
# The faces between our modules and toward the JVM are plain C tables of
# functions, so no C++ object crosses from one copy to another. Builds for the
# tests and for `cmake --install` keep the shared C++ runtime, which C++
# programs that script the virtual sensors share with them. --gc-sections
# leaves out the parts of the C++ runtime nothing calls, and with them their
# needs of a newer C library (std::random_device's arc4random, glibc 2.36).
option(PLEXA_STATIC_CXX_RUNTIME "Link libstdc++ and libgcc into the shared libraries, hidden" OFF)
if(PLEXA_STATIC_CXX_RUNTIME AND NOT WIN32)
  if(PLEXA_SANITIZE)
    message(FATAL_ERROR "PLEXA_STATIC_CXX_RUNTIME and PLEXA_SANITIZE do not go together: the sanitizers replace the shared C++ runtime's allocator")
  endif()
  string(APPEND CMAKE_SHARED_LINKER_FLAGS " -static-libstdc++ -static-libgcc -Wl,--exclude-libs,ALL -Wl,--gc-sections")
endif()
