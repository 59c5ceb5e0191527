# One second-generation frame through qbl_plexa2_64bit in a real VM, against
# the JNI floor and a plain copy of the same bytes.
if(TARGET qbl_plexa2_64bit AND TARGET plexa_test_harness)
  plexa_add_benchmark(bridge2_frame_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/bridge2_frame_bench.cpp
    LIBS plexa_test_harness Kinect20)
  add_dependencies(bridge2_frame_bench qbl_plexa2_64bit plexa_test_java)
endif()

# Both bridges through their event threads: signal-to-callback latency and the
# native allocations per frame (the program replaces malloc and operator new,
# so it exports them to the libraries it loads).
if(TARGET qbl_plexa_64bit AND TARGET qbl_plexa2_64bit AND TARGET plexa_test_harness AND NOT WIN32)
  plexa_add_benchmark(pipeline_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/pipeline_bench.cpp ${CMAKE_CURRENT_LIST_DIR}/allocation_counter.cpp
    LIBS plexa_test_harness Kinect10 Kinect20)
  set_target_properties(pipeline_bench PROPERTIES ENABLE_EXPORTS ON)
  add_dependencies(pipeline_bench qbl_plexa_64bit qbl_plexa2_64bit plexa_test_java)
endif()
