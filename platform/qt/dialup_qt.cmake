# Dial-up lines through NetworkManager's nmcli or pppd's pon and poff, and
# the online detector over the routing tables and NetworkManager's state.
add_library(cirrodex_dialup_qt STATIC nm_dialup.cpp online_detector.cpp)
target_link_libraries(cirrodex_dialup_qt PUBLIC cirrodex_platform Qt6::Core Qt6::DBus)
