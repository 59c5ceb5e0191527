# What differs when the target is Linux on another processor (arm64): jni.h.
# The host JDK's jni.h with its Linux machine half (jni_md.h), which is the same
# file on every Linux processor; the target's libjvm is only needed at run time.
include(${CMAKE_CURRENT_LIST_DIR}/HostJdk.cmake)
set(JNI_INCLUDE_DIRS ${PLEXA_JDK_INCLUDE_DIR} ${PLEXA_JDK_INCLUDE_DIR}/linux)
