# What differs when the target is Windows: module names, the C++ runtime, and
# where jni.h and its machine half come from.

# Windows modules carry no "lib" prefix: Kinect10.dll, qbl_plexa_64bit.dll.
set(CMAKE_SHARED_LIBRARY_PREFIX "")

# A DLL of ours may depend on the system's DLLs and the sensor runtime, nothing
# else: libstdc++, libgcc and winpthread are linked in. A module exports what it
# declares exported and nothing more (the linker would otherwise export every
# symbol of a module that declares none).
add_link_options(-static)
string(APPEND CMAKE_SHARED_LINKER_FLAGS " -Wl,--exclude-all-symbols")

# The host JDK's jni.h, with the Windows machine half (jni_md.h) of our own in
# front of it; the JDK's Linux folder stays out.
include(${CMAKE_CURRENT_LIST_DIR}/HostJdk.cmake)
set(JNI_INCLUDE_DIRS ${PROJECT_SOURCE_DIR}/platform/windows/jni ${PLEXA_JDK_INCLUDE_DIR})
