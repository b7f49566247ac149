# xmlrpc_client: XmlRpcClient over the transport seam, with the platform's transport
# (WinINet in the Windows build, POSIX sockets natively).
add_library(xmlrpc_client STATIC
  ${CMAKE_CURRENT_LIST_DIR}/client.cpp
  ${CMAKE_CURRENT_LIST_DIR}/client_call.cpp
  ${CMAKE_CURRENT_LIST_DIR}/internet_errors.cpp
)
if(WIN32)
  target_sources(xmlrpc_client PRIVATE ${CMAKE_CURRENT_LIST_DIR}/internet_transport_wininet.cpp)
  target_link_libraries(xmlrpc_client PUBLIC wininet)
else()
  target_sources(xmlrpc_client PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/internet_transport_posix.cpp
    ${CMAKE_CURRENT_LIST_DIR}/posix_socket.cpp
  )
endif()
# The HTTP response reader is portable: the POSIX transport uses it, and the unit tests of
# both builds check it.
target_sources(xmlrpc_client PRIVATE ${CMAKE_CURRENT_LIST_DIR}/http_response_reader.cpp)
target_link_libraries(xmlrpc_client PUBLIC xmlrpc_core)
