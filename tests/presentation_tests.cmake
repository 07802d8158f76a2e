# Readings presentation: derived readings, the condition picture and tip, the
# task-bar summary; and the pictures' script, which must reproduce them.
cirrodex_add_test(test_presentation SOURCES presentation_test.cpp presentation_taskbar_test.cpp
  LIBS cirrodex_presentation cirrodex_resources)
add_test(NAME condition_icons_reproducible COMMAND ${CMAKE_COMMAND} -DSRC=${PROJECT_SOURCE_DIR}
  -DWORK=${CMAKE_CURRENT_BINARY_DIR} -P ${CMAKE_CURRENT_SOURCE_DIR}/presentation_icons_repro_test.cmake)
