# Connection handling through the fakes, and the preferences values.
cirrodex_add_test(test_connection SOURCES connection_test.cpp LIBS cirrodex_connection cirrodex_startup)

if(NOT CIRRODEX_LOGIC_ONLY)
  # The dialog offscreen and the Linux adapters over stand-in commands; the
  # dialog test's main makes the QApplication.
  add_executable(test_connection_qt connection_window_test.cpp connection_adapters_test.cpp)
  target_link_libraries(test_connection_qt PRIVATE cirrodex_connect_pref_window cirrodex_dialup_qt cirrodex_fakes
    Qt6::Test GTest::gtest)
  target_compile_definitions(test_connection_qt PRIVATE CIRRODEX_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data")
  gtest_discover_tests(test_connection_qt DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endif()
