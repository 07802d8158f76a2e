# Regenerates the location data into OUT and fails on any byte that differs
# from the copy in the source tree.
file(REMOVE_RECURSE "${OUT}")
execute_process(COMMAND "${PY}" "${SRC}/tools/make-locations" --out "${OUT}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "tools/make-locations failed: ${rc}")
endif()
foreach(name tree.txt stations.txt)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${OUT}/locations/${name}"
                          "${SRC}/resources/locations/${name}" RESULT_VARIABLE diff)
  if(NOT diff EQUAL 0)
    message(FATAL_ERROR "resources/locations/${name} differs from the generator's output; rerun tools/make-locations")
  endif()
endforeach()
