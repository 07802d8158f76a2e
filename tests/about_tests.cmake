# The About window and the machine's figures behind it, offscreen.
cirrodex_add_widget_test(test_about SOURCES about_test.cpp LIBS cirrodex_about_window)
