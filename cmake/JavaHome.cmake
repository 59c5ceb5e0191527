# FindJNI and FindJava need JAVA_HOME on machines without a default-java link.
# Derive it from the javac on the PATH: <home>/bin/javac.
if(NOT DEFINED ENV{JAVA_HOME} OR "$ENV{JAVA_HOME}" STREQUAL "")
  find_program(PLEXA_JAVAC javac REQUIRED)
  get_filename_component(_javac_real "${PLEXA_JAVAC}" REALPATH)
  get_filename_component(_javac_bin "${_javac_real}" DIRECTORY)
  get_filename_component(_java_home "${_javac_bin}" DIRECTORY)
  set(ENV{JAVA_HOME} "${_java_home}")
  set(JAVA_HOME "${_java_home}")
  message(STATUS "JAVA_HOME derived from javac: ${_java_home}")
endif()
