# The conditions service.

# METAR reports and documents.

# Places, time zones, sun and moon times.
cirrodex_add_test(test_service_places SOURCES service_places_test.cpp LIBS cirrodex_service_places cirrodex_resources)
cirrodex_add_test(test_service_time SOURCES service_time_zones_test.cpp service_tzif_test.cpp service_sky_times_test.cpp
  LIBS cirrodex_service_sky cirrodex_service_places)
include(${CMAKE_CURRENT_SOURCE_DIR}/service_places_repro_test.cmake OPTIONAL)

# The server.
