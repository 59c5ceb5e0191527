# What differs when the target is Linux on another processor (arm64): jni.h.
# The host JDK's jni.h with its Linux machine half (jni_md.h), which is the same
# file on every Linux processor; the target's libjvm is only needed at run time.
find_package(Java 11 REQUIRED COMPONENTS Development)
include(UseJava)
find_path(PLEXA_JDK_INCLUDE_DIR jni.h PATHS "$ENV{JAVA_HOME}/include" NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT PLEXA_JDK_INCLUDE_DIR)
  message(FATAL_ERROR "jni.h not found under JAVA_HOME ($ENV{JAVA_HOME})")
endif()
set(JNI_INCLUDE_DIRS ${PLEXA_JDK_INCLUDE_DIR} ${PLEXA_JDK_INCLUDE_DIR}/linux)
