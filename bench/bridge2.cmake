# One second-generation frame through qbl_plexa2_64bit in a real VM, against
# the JNI floor and a plain copy of the same bytes.
if(TARGET qbl_plexa2_64bit AND TARGET plexa_test_harness)
  plexa_add_benchmark(bridge2_frame_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/bridge2_frame_bench.cpp
    LIBS plexa_test_harness Kinect20)
  add_dependencies(bridge2_frame_bench qbl_plexa2_64bit plexa_test_java)
endif()
