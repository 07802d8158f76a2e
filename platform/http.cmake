# The transfer component over libcurl (libcurl4-openssl-dev): plain C++, no Qt.
find_package(CURL REQUIRED)
add_library(cirrodex_http STATIC ${CMAKE_CURRENT_LIST_DIR}/curl_http.cpp)
target_link_libraries(cirrodex_http PUBLIC cirrodex_platform PRIVATE CURL::libcurl)
