# Connection handling: proxy settings, dial-up and hang-up, the online
# indicator and the Connection Preferences values (plain C++).
add_library(cirrodex_connection STATIC connection.cpp)
target_link_libraries(cirrodex_connection PUBLIC cirrodex_settings)

if(NOT CIRRODEX_LOGIC_ONLY)
  # The Connection Preferences dialog.
  add_library(cirrodex_connect_pref_window STATIC connect_pref_window.cpp)
  target_link_libraries(cirrodex_connect_pref_window PUBLIC cirrodex_connection Qt6::Widgets)
  set_target_properties(cirrodex_connect_pref_window PROPERTIES AUTOMOC ON)
endif()
