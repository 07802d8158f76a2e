# Regenerates the service tables into OUT and fails on any byte that differs
# from the copy in the source tree.
file(REMOVE_RECURSE "${OUT}")
execute_process(COMMAND "${PY}" "${SRC}/tools/make-service-places" --out "${OUT}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "tools/make-service-places failed: ${rc}")
endif()
foreach(name us_places.txt zip_codes.txt metar_stations.txt wmo_stations.txt)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${OUT}/service/${name}"
                          "${SRC}/resources/service/${name}" RESULT_VARIABLE diff)
  if(NOT diff EQUAL 0)
    message(FATAL_ERROR "resources/service/${name} differs from the generator's output; rerun tools/make-service-places")
  endif()
endforeach()
