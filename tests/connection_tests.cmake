# Connection handling through the fakes, and the preferences values.
cirrodex_add_test(test_connection SOURCES connection_test.cpp LIBS cirrodex_connection cirrodex_startup)

if(NOT CIRRODEX_LOGIC_ONLY)
  # The dialog offscreen and the Linux adapters over stand-in commands.
  cirrodex_add_widget_test(test_connection_qt SOURCES connection_window_test.cpp connection_adapters_test.cpp
    LIBS cirrodex_connect_pref_window cirrodex_dialup_qt)
endif()
