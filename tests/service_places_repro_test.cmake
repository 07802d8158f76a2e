# The shipped service tables are exactly what the generator makes from its sources.
find_package(Python3 COMPONENTS Interpreter)
if(Python3_FOUND AND EXISTS "${PROJECT_SOURCE_DIR}/../shared/data/isd-history.csv" AND EXISTS "/usr/share/weather-util/zctas.gz")
  add_test(NAME service_places_repro COMMAND ${CMAKE_COMMAND} -DPY=${Python3_EXECUTABLE} -DSRC=${PROJECT_SOURCE_DIR}
    -DOUT=${CMAKE_CURRENT_BINARY_DIR}/service_places_repro -P ${CMAKE_CURRENT_LIST_DIR}/service_places_repro_test_run.cmake)
endif()
