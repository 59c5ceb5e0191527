# Cross builds take jni.h from the host's JDK (found through JAVA_HOME, which
# JavaHome.cmake derives from javac): PLEXA_JDK_INCLUDE_DIR is its include
# folder. The machine half, jni_md.h, is the target's: the caller says where.
find_package(Java 11 REQUIRED COMPONENTS Development)
include(UseJava)
find_path(PLEXA_JDK_INCLUDE_DIR jni.h PATHS "$ENV{JAVA_HOME}/include" NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT PLEXA_JDK_INCLUDE_DIR)
  message(FATAL_ERROR "jni.h not found under JAVA_HOME ($ENV{JAVA_HOME})")
endif()
