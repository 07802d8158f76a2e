# The moon windows: their texts and place file, and the windows offscreen.
cirrodex_add_test(test_moon_windows SOURCES moon_windows_test.cpp LIBS cirrodex_moon_windows)
if(NOT CIRRODEX_LOGIC_ONLY)
  add_executable(test_moon_window moon_window_test.cpp)
  target_link_libraries(test_moon_window PRIVATE cirrodex_moon_window cirrodex_fakes Qt6::Test GTest::gtest)
  gtest_discover_tests(test_moon_window DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endif()
