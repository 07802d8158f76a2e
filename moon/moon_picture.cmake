# The main window's moon picture: almanac tables, the library's lit fraction
# for other years, and the twenty built-in pictures.
add_library(cirrodex_moon_picture STATIC ${CMAKE_CURRENT_LIST_DIR}/moon_picture.cpp)
target_link_libraries(cirrodex_moon_picture PUBLIC cirrodex_moon cirrodex_platform cirrodex_resources)
