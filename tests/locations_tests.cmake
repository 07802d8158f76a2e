# The station table, the location tree and the chooser's logic.
cirrodex_add_test(test_location_data SOURCES station_lookup_test.cpp location_tree_test.cpp location_data_test.cpp
  LIBS cirrodex_locations cirrodex_retrieval)
include(${CMAKE_CURRENT_SOURCE_DIR}/locations_repro_test.cmake OPTIONAL)
if(NOT CIRRODEX_LOGIC_ONLY)
  cirrodex_add_widget_test(test_location_window SOURCES location_window_test.cpp
    LIBS cirrodex_location_window cirrodex_app_windows)
endif()
