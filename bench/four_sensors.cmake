# Four first-generation virtual sensors streaming live at once through
# qbl_plexa_64bit: the slowest stream's rate and the whole process's
# processor use. Names its sensors with setenv, so POSIX only.
if(TARGET qbl_plexa_64bit AND TARGET plexa_test_harness AND NOT WIN32)
  plexa_add_benchmark(four_sensors_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/four_sensors_bench.cpp
    LIBS plexa_test_harness)
  add_dependencies(four_sensors_bench qbl_plexa_64bit Kinect10 plexa_test_java)
endif()
