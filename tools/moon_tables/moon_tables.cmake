# make-moon-tables writes resources/moon/years.txt from the moon library.
add_executable(make-moon-tables ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(make-moon-tables PRIVATE cirrodex_moon_picture)
