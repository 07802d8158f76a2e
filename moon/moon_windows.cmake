# The texts of the Moontool and More Data windows and the place file.
add_library(cirrodex_moon_windows STATIC ${CMAKE_CURRENT_LIST_DIR}/moon_windows.cpp)
target_link_libraries(cirrodex_moon_windows PUBLIC cirrodex_moon cirrodex_platform)
