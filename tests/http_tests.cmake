# The transfer component against local HTTP and FTP servers (a Python child
# process on 127.0.0.1), and its fake; the desktop proxy lookup with Qt.
cirrodex_add_test(test_http SOURCES http_test.cpp LIBS cirrodex_http)
target_compile_definitions(test_http PRIVATE
  CIRRODEX_HTTP_SERVER="${CMAKE_CURRENT_SOURCE_DIR}/support/http_server.py")
if(NOT CIRRODEX_LOGIC_ONLY)
  # The desktop's proxy lookup is tested in the same program.
  target_link_libraries(test_http PRIVATE cirrodex_http_qt)
  target_compile_definitions(test_http PRIVATE CIRRODEX_HTTP_QT)
endif()

# The retrieval cycle over the real transfer component and a local service.
cirrodex_add_test(test_retrieval_server SOURCES retrieval_server_test.cpp LIBS cirrodex_retrieval cirrodex_locations cirrodex_http)
target_compile_definitions(test_retrieval_server PRIVATE
  CIRRODEX_CONDITIONS_SERVER="${CMAKE_CURRENT_SOURCE_DIR}/support/conditions_server.py")
