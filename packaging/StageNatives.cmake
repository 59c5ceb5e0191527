# cmake -DINPUT=<list> -DSTAGE=<dir> -DPLATFORM=<os-arch> [-DSTRIP=<strip>] -P StageNatives.cmake
#
# Lays out one platform's part of the jar's native/ tree: native/<platform>/
# with each library under its file name in the jar, debug sections stripped,
# on Linux its run path set to $ORIGIN alone (a build's run path names the
# build tree, and "$ORIGIN/../lib" would reach outside the private folder the
# loader extracts into), and plexa-natives.list with the load order, SHA-256
# sums and needs; native/plexa-platforms.list names this platform (a jar of
# several platforms gets its own from scripts/package.sh).
cmake_minimum_required(VERSION 3.21)
file(REMOVE_RECURSE ${STAGE})
set(folder ${STAGE}/native/${PLATFORM})
file(MAKE_DIRECTORY ${folder})
set(list_text "# Plexa native libraries for ${PLATFORM}, in load order.\n# name sha256 file needs... (runtime:NAME: the installed sensor runtime where there is one, else NAME)\n")
file(STRINGS ${INPUT} lines)
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
  if(NOT PLATFORM MATCHES "^windows-")
    file(RPATH_SET FILE ${target} NEW_RPATH "$ORIGIN")
  endif()
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
file(WRITE ${STAGE}/native/plexa-platforms.list "${PLATFORM}\n")
