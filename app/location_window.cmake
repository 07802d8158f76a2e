# TfrmLocation, the location chooser.
if(NOT CIRRODEX_LOGIC_ONLY)
  add_library(cirrodex_location_window STATIC location_window.cpp)
  target_link_libraries(cirrodex_location_window PUBLIC cirrodex_locations Qt6::Widgets)
endif()
