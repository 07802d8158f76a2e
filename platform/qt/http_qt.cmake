# The desktop's proxy settings for the transfer component (Qt Network, libproxy).
add_library(cirrodex_http_qt STATIC ${CMAKE_CURRENT_LIST_DIR}/system_proxy.cpp)
target_link_libraries(cirrodex_http_qt PUBLIC cirrodex_http PRIVATE Qt6::Network)
