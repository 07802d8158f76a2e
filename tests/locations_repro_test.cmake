# The shipped location data is exactly what the generator makes from its sources.
find_package(Python3 COMPONENTS Interpreter)
if(Python3_FOUND AND EXISTS "${PROJECT_SOURCE_DIR}/../shared/data/isd-history.csv" AND EXISTS "/usr/share/weather-util/places.gz")
  add_test(NAME locations_repro COMMAND ${CMAKE_COMMAND} -DPY=${Python3_EXECUTABLE} -DSRC=${PROJECT_SOURCE_DIR} -DOUT=${CMAKE_CURRENT_BINARY_DIR}/locations_repro -P ${CMAKE_CURRENT_LIST_DIR}/locations_repro_test_run.cmake)
endif()
