# The conditions service.

# METAR reports and documents.

# Places, time zones, sun and moon times.

# The server.
cirrodex_add_test(test_service_request SOURCES service_request_test.cpp LIBS cirrodex_service_request)
cirrodex_add_test(test_service_server SOURCES service_cache_test.cpp service_sources_test.cpp service_handler_test.cpp
  LIBS cirrodex_service_core)
