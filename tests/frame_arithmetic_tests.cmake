# From the bridge folders, only the frame arithmetic: the rest hosts a VM. The
# suites that run without one (Windows under wine, arm64 under qemu) take these.
set(bridge1_tests ${PROJECT_SOURCE_DIR}/tests/bridge1_pipelines)
plexa_add_unit_test(bridge1_frames_tests
  SOURCES ${bridge1_tests}/depth_geometry_test.cpp ${bridge1_tests}/locked_image_test.cpp
          ${bridge1_tests}/skeleton_packing_test.cpp ${bridge1_tests}/depth_record_format_test.cpp
  LIBS plexa_bridge1_frames)
plexa_add_unit_test(spine_status_map_tests
  SOURCES ${PROJECT_SOURCE_DIR}/tests/bridge1_spine/StatusMapTest.cpp LIBS plexa_bridge1_frames)
set(bridge2_tests ${PROJECT_SOURCE_DIR}/tests/bridge2)
plexa_add_unit_test(bridge2_frames_tests
  SOURCES ${bridge2_tests}/frames_test.cpp ${bridge2_tests}/wait_loop_test.cpp LIBS plexa_bridge2_frames)
