# The conditions service.

# METAR reports and documents.

# Places, time zones, sun and moon times.
cirrodex_add_test(test_service_places SOURCES service_places_test.cpp LIBS cirrodex_service_places cirrodex_resources)
include(${CMAKE_CURRENT_SOURCE_DIR}/service_places_repro_test.cmake OPTIONAL)

# The server.
