# First-generation depth frames: the bridge's cost per frame against the floor
# that any bridge pays to hand fresh Java arrays over (one attach and detach,
# arrays created and filled) and against a plain memcpy of the same bytes.
# The bridge's own sources are compiled in, so the benchmark can drive a
# session's depth handler directly, without the event thread in between.
if(TARGET qbl_plexa_64bit AND TARGET plexa_test_harness)
  file(GLOB PLEXA_BRIDGE1_BENCH_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/bridge1/*.cpp)
  list(FILTER PLEXA_BRIDGE1_BENCH_SOURCES EXCLUDE REGEX "/Plexa1\\.cpp$")
  plexa_add_benchmark(bridge1_depth_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/bridge1_depth_bench.cpp ${PLEXA_BRIDGE1_BENCH_SOURCES}
    LIBS plexa_test_harness plexa_common plexa_bridge1_frames plexa_files Kinect10)
  target_include_directories(bridge1_depth_bench PRIVATE ${PROJECT_SOURCE_DIR}/bridge1)
  add_dependencies(bridge1_depth_bench plexa_test_java qbl_plexa_64bit)
endif()
