# The station table, the location tree and the chooser's logic.
cirrodex_add_test(test_location_data SOURCES station_lookup_test.cpp location_tree_test.cpp location_data_test.cpp
  LIBS cirrodex_locations cirrodex_retrieval)
include(${CMAKE_CURRENT_SOURCE_DIR}/locations_repro_test.cmake OPTIONAL)
if(NOT CIRRODEX_LOGIC_ONLY)
  add_executable(test_location_window location_window_test.cpp)
  target_link_libraries(test_location_window PRIVATE cirrodex_location_window cirrodex_app_windows cirrodex_fakes Qt6::Test GTest::gtest)
  gtest_discover_tests(test_location_window DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endif()
