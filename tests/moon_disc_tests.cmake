# The moon control: its disc (plain C++) and the widget offscreen. The
# bitmaps' script is checked by moon_pictures_reproducible.
cirrodex_add_test(test_moon_disc SOURCES moon_disc_test.cpp LIBS cirrodex_moon_disc)
if(NOT CIRRODEX_LOGIC_ONLY)
  add_executable(test_moon_control moon_control_test.cpp)
  target_link_libraries(test_moon_control PRIVATE cirrodex_moon_control Qt6::Test GTest::gtest)
  gtest_discover_tests(test_moon_control DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endif()
