# TfrmMoon and Tfrm_more, the moon windows.
if(NOT CIRRODEX_LOGIC_ONLY)
  add_library(cirrodex_moon_window STATIC ${CMAKE_CURRENT_LIST_DIR}/moon_window.cpp)
  target_link_libraries(cirrodex_moon_window PUBLIC cirrodex_moon_control cirrodex_moon_windows Qt6::Widgets)
endif()
