# The machine's figures for the About window (plain C++), and the window.
add_library(cirrodex_system_resources STATIC system_resources.cpp)
target_link_libraries(cirrodex_system_resources PUBLIC cirrodex_platform)

if(NOT CIRRODEX_LOGIC_ONLY)
  add_library(cirrodex_about_window STATIC about_window.cpp)
  target_link_libraries(cirrodex_about_window PUBLIC cirrodex_system_resources cirrodex_app_windows Qt6::Widgets Qt6::Network)
  set_target_properties(cirrodex_about_window PROPERTIES AUTOMOC ON)
endif()
