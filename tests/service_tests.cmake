# The conditions service.

# METAR reports and documents.
cirrodex_add_test(test_metar SOURCES metar_test.cpp weather_math_test.cpp condition_words_test.cpp
  LIBS cirrodex_metar cirrodex_presentation)
cirrodex_add_test(test_service_documents SOURCES service_documents_test.cpp
  LIBS cirrodex_service_documents cirrodex_conditions)

# Places, time zones, sun and moon times.
cirrodex_add_test(test_service_places SOURCES service_places_test.cpp LIBS cirrodex_service_places cirrodex_resources)
cirrodex_add_test(test_service_time SOURCES service_time_zones_test.cpp service_tzif_test.cpp service_sky_times_test.cpp
  LIBS cirrodex_service_sky cirrodex_service_places)
include(${CMAKE_CURRENT_SOURCE_DIR}/service_places_repro_test.cmake OPTIONAL)

# The server.
cirrodex_add_test(test_service_request SOURCES service_request_test.cpp LIBS cirrodex_service_request)
cirrodex_add_test(test_service_server SOURCES service_cache_test.cpp service_sources_test.cpp service_handler_test.cpp
  LIBS cirrodex_service_core)
# The handler with the real places, time zones and documents over a fake upstream.
cirrodex_add_test(test_service_pipeline SOURCES service_pipeline_test.cpp service_parts_test.cpp
  LIBS cirrodex_service_directory cirrodex_service_writer cirrodex_conditions)
# The real binary against a stand-in for the NOAA hosts, both on 127.0.0.1.
cirrodex_add_test(test_service_e2e SOURCES service_e2e_test.cpp LIBS cirrodex_conditions)
add_dependencies(test_service_e2e cirrodex-service)
target_compile_definitions(test_service_e2e PRIVATE CIRRODEX_SERVICE_BINARY="$<TARGET_FILE:cirrodex-service>"
  CIRRODEX_NOAA_SERVER="${CMAKE_CURRENT_SOURCE_DIR}/support/noaa_server.py")
cirrodex_add_test(test_service_http SOURCES service_http_server_test.cpp service_upstream_test.cpp
  LIBS cirrodex_service_curl)
target_compile_definitions(test_service_http PRIVATE
  CIRRODEX_HTTP_SERVER="${CMAKE_CURRENT_SOURCE_DIR}/support/http_server.py")

# The systemd user unit loads cleanly (where systemd-analyze is at hand).
find_program(SYSTEMD_ANALYZE systemd-analyze)
if(SYSTEMD_ANALYZE)
  add_test(NAME service_systemd_unit COMMAND ${CMAKE_COMMAND} -DANALYZE=${SYSTEMD_ANALYZE}
    -DUNIT=${PROJECT_BINARY_DIR}/service/systemd/build-tree/cirrodex-service.service
    -DWORK=${CMAKE_CURRENT_BINARY_DIR}/systemd_unit_runtime -P ${CMAKE_CURRENT_SOURCE_DIR}/systemd_unit_test.cmake)
else()
  message(STATUS "systemd-analyze not found; service_systemd_unit test skipped")
endif()
