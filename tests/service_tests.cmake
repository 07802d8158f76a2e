# The conditions service.

# METAR reports and documents.
cirrodex_add_test(test_metar SOURCES metar_test.cpp weather_math_test.cpp condition_words_test.cpp
  LIBS cirrodex_metar cirrodex_presentation)
cirrodex_add_test(test_service_documents SOURCES service_documents_test.cpp
  LIBS cirrodex_service_documents cirrodex_conditions)

# Places, time zones, sun and moon times.

# The server.
