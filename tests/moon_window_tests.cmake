# The moon windows: their texts and place file, and the windows offscreen.
cirrodex_add_test(test_moon_windows SOURCES moon_windows_test.cpp LIBS cirrodex_moon_windows)
if(NOT CIRRODEX_LOGIC_ONLY)
  cirrodex_add_widget_test(test_moon_window SOURCES moon_window_test.cpp LIBS cirrodex_moon_window)
endif()
