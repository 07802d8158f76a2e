# Window-manager states: the X11 cases under Xvfb with openbox, the offscreen
# case on its own.
add_executable(test_window_states window_states_test.cpp)
target_link_libraries(test_window_states PRIVATE cirrodex_platform_qt Qt6::Test GTest::gtest)
add_test(NAME window_states_offscreen COMMAND test_window_states --gtest_filter=OffscreenWindowStates.*)
set_tests_properties(window_states_offscreen PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
find_program(XVFB_RUN xvfb-run)
if(XVFB_RUN)
  add_test(NAME window_states_x11 COMMAND ${XVFB_RUN} -a -s "-screen 0 1024x768x24 -noreset"
    ${CMAKE_CURRENT_SOURCE_DIR}/window_states_test.sh $<TARGET_FILE:test_window_states>)
  set_tests_properties(window_states_x11 PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)
endif()
