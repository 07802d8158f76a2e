# TMoon, the moon picture control.
if(NOT CIRRODEX_LOGIC_ONLY)
  add_library(cirrodex_moon_control STATIC ${CMAKE_CURRENT_LIST_DIR}/moon_control.cpp)
  target_link_libraries(cirrodex_moon_control PUBLIC cirrodex_moon_disc cirrodex_resources Qt6::Widgets)
endif()
