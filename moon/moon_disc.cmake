# The moon control's disc: sizes, phase angle and the dark lines (plain C++).
add_library(cirrodex_moon_disc STATIC ${CMAKE_CURRENT_LIST_DIR}/moon_disc.cpp)
target_link_libraries(cirrodex_moon_disc PUBLIC cirrodex_moon)
