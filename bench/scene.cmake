# The synthetic scene: cost per frame of each render and of every stream a
# virtual sensor films at once, against the 33.3 ms of a 30 fps frame.
if(TARGET plexa_scene)
  plexa_add_benchmark(scene_bench SOURCES scene_bench.cpp LIBS plexa_scene)
endif()
