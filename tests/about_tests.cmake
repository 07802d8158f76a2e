# The About window and the machine's figures behind it, offscreen.
add_executable(test_about about_test.cpp)
target_link_libraries(test_about PRIVATE cirrodex_about_window Qt6::Test GTest::gtest)
gtest_discover_tests(test_about DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
