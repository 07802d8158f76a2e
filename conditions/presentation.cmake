# How the readings are presented beyond the parser's slots: the derived heat
# index and wind chill, the main icon's tip and condition picture, and the
# summary for the task-bar companion (plain C++).
add_library(cirrodex_presentation STATIC
  ${CMAKE_CURRENT_LIST_DIR}/derive_readings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/condition_picture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/taskbar_summary.cpp)
target_link_libraries(cirrodex_presentation PUBLIC cirrodex_conditions cirrodex_tray cirrodex_resources)
