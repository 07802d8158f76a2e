# The moon control: its disc (plain C++) and the widget offscreen. The
# bitmaps' script is checked by moon_pictures_reproducible.
cirrodex_add_test(test_moon_disc SOURCES moon_disc_test.cpp LIBS cirrodex_moon_disc)
if(NOT CIRRODEX_LOGIC_ONLY)
  cirrodex_add_widget_test(test_moon_control SOURCES moon_control_test.cpp LIBS cirrodex_moon_control)
endif()
