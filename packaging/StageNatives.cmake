# cmake -DINPUT=<list> -DSTAGE=<dir> -DPLATFORM=<os-arch> [-DSTRIP=<strip>] -P StageNatives.cmake
#
# Lays out the jar's native/ tree: native/<platform>/ with each library under
# its soname, its run path set to $ORIGIN alone (a build's run path names the
# build tree, and "$ORIGIN/../lib" would reach outside the private folder the
# loader extracts into), debug sections stripped, and plexa-natives.list with
# the load order, SHA-256 sums and dependencies; native/plexa-platforms.list
# names the platforms.
cmake_minimum_required(VERSION 3.21)
file(REMOVE_RECURSE ${STAGE})
set(platforms "")

function(stage_platform platform lines)
  set(folder ${STAGE}/native/${platform})
  file(MAKE_DIRECTORY ${folder})
  set(list_text "# Plexa native libraries for ${platform}, in load order.\n# name sha256 file needs...\n")
  foreach(line ${lines})
    string(REPLACE "|" ";" fields "${line}")
    list(GET fields 0 name)
    list(GET fields 1 source)
    list(GET fields 2 file_name)
    list(LENGTH fields count)
    set(needs "")
    if(count GREATER 3)
      list(GET fields 3 needs)
    endif()
    set(target ${folder}/${file_name})
    file(COPY_FILE ${source} ${target})
    file(RPATH_SET FILE ${target} NEW_RPATH "$ORIGIN")
    if(STRIP)
      execute_process(COMMAND ${STRIP} --strip-debug ${target} RESULT_VARIABLE stripped)
      if(NOT stripped EQUAL 0)
        message(FATAL_ERROR "cannot strip ${target}")
      endif()
    endif()
    file(SHA256 ${target} sum)
    string(STRIP "${name} ${sum} ${file_name} ${needs}" entry)
    string(APPEND list_text "${entry}\n")
  endforeach()
  file(WRITE ${folder}/plexa-natives.list "${list_text}")
endfunction()

file(STRINGS ${INPUT} lines)
stage_platform(${PLATFORM} "${lines}")
list(APPEND platforms ${PLATFORM})

list(JOIN platforms "\n" platforms_text)
file(WRITE ${STAGE}/native/plexa-platforms.list "${platforms_text}\n")
